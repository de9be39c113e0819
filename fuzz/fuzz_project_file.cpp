// Any bytes as a project file: refused with the target untouched, or read
// into a project that is written and read again to the same text.
#include <string>
#include <string_view>

#include "fuzz/fuzz_common.h"
#include "storage/project_file.h"

namespace {

bool same_project(const Project& a, const Project& b) {
    if (!same_input(a.partition, b.partition) || a.partition.modified != b.partition.modified ||
        a.has_climate != b.has_climate || a.climate.humidity_class != b.climate.humidity_class ||
        a.settings.kind != b.settings.kind) {
        return false;
    }
    for (int m = 0; m < MONTHS; ++m) {
        const ClimateMonth &x = a.climate.months[m], &y = b.climate.months[m];
        if (x.theta_e != y.theta_e || x.phi_e != y.phi_e || x.theta_i != y.theta_i ||
            x.phi_i != y.phi_i)
            return false;
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const Project fresh;
    Project p = fresh;
    std::string error;
    if (!parse_project(text, p, error)) {
        require(!error.empty() && same_project(p, fresh));
        return 0;
    }
    std::string written;
    require(format_project(p, written, error));
    Project again;
    require(parse_project(written, again, error) && same_project(again, p));
    std::string twice;
    require(format_project(again, twice, error) && twice == written);
    if (calculate_partition(p.partition)) check_results(p.partition);
    return 0;
}
