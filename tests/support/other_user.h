// Cases that root's licence to write anywhere would hide, such as a folder of
// mode 555, run as the user nobody. Root runs the same test again as nobody
// through runuser, and reports what that run found.
#pragma once

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cstdio>
#include <string>

namespace other_user_detail {

inline void skip(const std::string& why) { GTEST_SKIP() << why; }

}  // namespace other_user_detail

// True where the test body is to run: a process that is not root. As root,
// runs this one test as nobody, takes over its result and returns false.
inline bool as_ordinary_user() {
    if (geteuid() != 0) return true;
    if (std::system("runuser -u nobody -- true >/dev/null 2>&1") != 0) {
        other_user_detail::skip("needs a user other than root, and runuser cannot give one");
        return false;
    }
    char exe[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) {
        ADD_FAILURE() << "cannot name this test program";
        return false;
    }
    exe[n] = '\0';
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    const std::string command = std::string("runuser -u nobody -- '") + exe + "' --gtest_filter='" +
                                test->test_suite_name() + "." + test->name() + "' 2>&1";
    std::string output;
    FILE* run = popen(command.c_str(), "r");
    if (run == nullptr) {
        ADD_FAILURE() << "cannot start " << command;
        return false;
    }
    std::array<char, 4096> chunk;
    std::size_t got;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), run)) > 0)
        output.append(chunk.data(), got);
    const int status = pclose(run);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        ADD_FAILURE() << "as nobody:\n" << output;
    } else if (output.find("[  SKIPPED ] 1 test") != std::string::npos) {
        other_user_detail::skip("skipped as nobody:\n" + output);
    }
    return false;
}
