#include "lang/file_names.h"

namespace {
constexpr const char* FILE_NAMES[] = {".PAR", "PAR", "DAT", "PARI", "TXT", "PARIETA.CFG"};
constexpr int FILE_NAME_COUNT = sizeof FILE_NAMES / sizeof FILE_NAMES[0];
}  // namespace

const char* file_name_of(int index) {
    return index >= 0 && index < FILE_NAME_COUNT ? FILE_NAMES[index] : "";
}
