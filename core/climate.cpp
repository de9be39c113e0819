#include "core/climate.h"

#include <cstring>
#include <iterator>

namespace {

constexpr const char* KIND_NAMES[] = {"none",          "external_wall",   "roof",
                                      "floor_over_unheated", "floor_on_ground", "internal_wall"};

}  // namespace

const char* partition_kind_name(PartitionKind kind) {
    const int i = static_cast<int>(kind);
    return i >= 0 && i < static_cast<int>(std::size(KIND_NAMES)) ? KIND_NAMES[i] : "none";
}

bool parse_partition_kind(const char* name, PartitionKind& out) {
    if (!name) return false;
    for (int i = 0; i < static_cast<int>(std::size(KIND_NAMES)); ++i) {
        if (std::strcmp(name, KIND_NAMES[i]) == 0) {
            out = static_cast<PartitionKind>(i);
            return true;
        }
    }
    return false;
}
