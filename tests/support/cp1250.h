// Expected texts are written in UTF-8 in the tests and compared as the
// Windows-1250 bytes the program holds.
#pragma once

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstddef>
#include <string>

inline std::string w1250(const std::string& utf8) {
    iconv_t cd = iconv_open("WINDOWS-1250", "UTF-8");
    std::string out(utf8.size(), '\0');
    char* src = const_cast<char*>(utf8.data());
    std::size_t src_left = utf8.size();
    char* dst = out.data();
    std::size_t dst_left = out.size();
    std::size_t r = iconv(cd, &src, &src_left, &dst, &dst_left);
    iconv_close(cd);
    EXPECT_NE(r, static_cast<std::size_t>(-1)) << utf8;
    out.resize(out.size() - dst_left);
    return out;
}
