#include <gtest/gtest.h>

#include "lang/file_names.h"

namespace {

TEST(FileNames, TableAndOutsideIt) {
    const char* expected[] = {".PAR", "PAR", "DAT", "PARI", "TXT", "PARIETA.CFG"};
    for (int i = 0; i < 6; ++i) EXPECT_STREQ(file_name_of(i), expected[i]);
    EXPECT_STREQ(file_name_of(6), "");
    EXPECT_STREQ(file_name_of(-1), "");
    EXPECT_STREQ(file_name_of(FileName::DefaultDataName), "PARI");
    EXPECT_STREQ(file_name_of(FileName::SettingsFile), "PARIETA.CFG");
}

}  // namespace
