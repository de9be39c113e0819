// A fresh folder for one test, removed with everything in it afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdlib>
#include <string>

class TempDirTest : public testing::Test {
protected:
    void SetUp() override {
        std::string tmpl = "/tmp/parieta-test-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl.data()), nullptr);
        dir_ = tmpl;
    }
    void TearDown() override {
        const std::string cmd = "rm -rf '" + dir_ + "'";
        ASSERT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string path(const char* name) const { return dir_ + "/" + name; }
    std::string dir_;
};
