#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "storage/settings.h"

namespace {

using Bytes = std::vector<unsigned char>;

std::string exe_dir(std::size_t size = SETTINGS_PATH_SIZE) {
    std::vector<char> buf(size, 'x');
    exe_directory(buf.data(), size);
    return buf.data();
}

std::string settings(std::size_t size = SETTINGS_PATH_SIZE) {
    std::vector<char> buf(size, 'x');
    settings_path(buf.data(), size);
    return buf.data();
}

TEST(ExeDirectory, IsTheFolderOfTheRunningProgram) {
    set_exe_directory_for_testing(nullptr);
    std::string dir = exe_dir();
    ASSERT_FALSE(dir.empty());
    EXPECT_EQ(dir.back(), '/');
    EXPECT_TRUE(std::ifstream(dir + "test_lang").good()) << dir;
}

TEST(ExeDirectory, EndsWithOneSlashAndFitsOrIsEmpty) {
    struct Case {
        const char* folder;
        std::size_t size;
        const char* expected;
    };
    const std::string long_folder(247, 'a');  // with "/" and NUL: 249 bytes
    const Case cases[] = {
        {"/opt/parieta", 260, "/opt/parieta/"},
        {"/opt/parieta/", 260, "/opt/parieta/"},
        {"/", 260, "/"},
        {"/opt/parieta", 14, "/opt/parieta/"},  // exactly fits
        {"/opt/parieta", 13, ""},               // no room for the slash
        {"/opt/parieta/", 13, ""},
        {"", 260, ""},  // never the root by accident
    };
    for (const Case& c : cases) {
        set_exe_directory_for_testing(c.folder);
        EXPECT_EQ(exe_dir(c.size), c.expected) << c.folder << " in " << c.size;
    }
    set_exe_directory_for_testing(nullptr);
}

TEST(SettingsPath, IsTheFolderAndTheNameWhenBothFit) {
    std::string folder = "/" + std::string(246, 'a') + "/";  // 248 characters
    set_exe_directory_for_testing(folder.c_str());
    EXPECT_EQ(settings(), folder + "PARIETA.CFG");  // 259 characters and NUL
    folder.insert(1, "b");
    set_exe_directory_for_testing(folder.c_str());
    EXPECT_EQ(settings(), "");
    set_exe_directory_for_testing("/opt/parieta");
    EXPECT_EQ(settings(), "/opt/parieta/PARIETA.CFG");
    set_exe_directory_for_testing(nullptr);
}

// Every test gets an empty folder of its own as the executable's folder.
class SettingsFile : public ::testing::Test {
protected:
    std::string folder;
    std::string file;

    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "parieta_settings_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        folder = pattern + "/";
        file = folder + "PARIETA.CFG";
        set_exe_directory_for_testing(folder.c_str());
        fresh();
    }
    // No file, and the language last read (process-wide) back at its start value.
    void fresh() {
        put({1, 0, 0, 0});
        ASSERT_EQ(read_settings(), 1);
        ::unlink(file.c_str());
    }
    void TearDown() override {
        ::unlink(file.c_str());
        ::rmdir(folder.c_str());
        set_exe_directory_for_testing(nullptr);
    }
    void put(const Bytes& bytes) {
        std::ofstream(file, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    }
    bool exists() {
        struct stat st;
        return ::lstat(file.c_str(), &st) == 0;
    }
    Bytes content() {
        std::ifstream f(file, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(f), {});
    }
    // The language last read, seen from what a write does: only another one
    // reaches the file. The file is put back as it was.
    int remembered() {
        const bool had = exists();
        const Bytes before = content();
        ::unlink(file.c_str());
        write_settings(0);
        const int language = exists() ? 1 : 0;
        ::unlink(file.c_str());
        if (had) put(before);
        return language;
    }
};

TEST_F(SettingsFile, ReadsTheFirstFourBytesAndFallsBackToPolish) {
    struct Case {
        const char* name;
        bool present;
        Bytes bytes;
        int language;
        int saved_after;  // the language last read starts as 1 here
    };
    const Case cases[] = {
        {"no file", false, {}, 1, 1},
        {"English", true, {0, 0, 0, 0}, 0, 0},
        {"Polish", true, {1, 0, 0, 0}, 1, 1},
        {"seven", true, {7, 0, 0, 0}, 1, 1},
        {"minus one", true, {0xFF, 0xFF, 0xFF, 0xFF}, 1, 1},
        {"high byte set", true, {0, 0, 0, 1}, 1, 1},
        {"six bytes", true, {0, 0, 0, 0, 9, 9}, 0, 0},
    };
    for (const Case& c : cases) {
        fresh();
        if (c.present) put(c.bytes);
        EXPECT_EQ(read_settings(), c.language) << c.name;
        EXPECT_EQ(remembered(), c.saved_after) << c.name;
    }
}

TEST_F(SettingsFile, AShortFileReadsAsPolishAndLeavesTheLastValue) {
    put({0, 0, 0, 0});
    ASSERT_EQ(read_settings(), 0);
    put({0, 0});
    EXPECT_EQ(read_settings(), 1);
    EXPECT_EQ(remembered(), 0);
}

TEST_F(SettingsFile, WritesOnlyWhenTheLanguageChanged) {
    struct Case {
        const char* name;
        bool present;
        Bytes start;
        int end_language;
        bool file_after;
        Bytes expected;
    };
    const Case cases[] = {
        {"no file, ends Polish", false, {}, 1, false, {}},
        {"no file, ends English", false, {}, 0, true, {0, 0, 0, 0}},
        {"English, ends English", true, {0, 0, 0, 0, 9, 9}, 0, true, {0, 0, 0, 0, 9, 9}},
        {"English, ends Polish", true, {0, 0, 0, 0, 9, 9}, 1, true, {1, 0, 0, 0}},
        {"seven, ends Polish", true, {7, 0, 0, 0}, 1, true, {7, 0, 0, 0}},
        {"two bytes, ends Polish", true, {0, 0}, 1, true, {0, 0}},
        {"two bytes, ends English", true, {0, 0}, 0, true, {0, 0, 0, 0}},
        {"out of range stored as Polish", true, {0, 0, 0, 0}, 5, true, {1, 0, 0, 0}},
    };
    for (const Case& c : cases) {
        fresh();
        if (c.present) put(c.start);
        read_settings();
        const int saved = remembered();
        write_settings(c.end_language);
        EXPECT_EQ(exists(), c.file_after) << c.name;
        EXPECT_EQ(content(), c.expected) << c.name;
        EXPECT_EQ(remembered(), saved) << c.name;
    }
}

TEST_F(SettingsFile, AnIncompleteWriteRemovesTheFile) {
    // A link to a device is no file to replace: refused, and left as it is.
    ASSERT_EQ(::symlink("/dev/full", file.c_str()), 0);
    write_settings(0);
    struct stat st;
    EXPECT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(::unlink(file.c_str()), 0);

    // The file may not grow beyond two bytes.
    put({0, 0, 0, 0});
    ASSERT_EQ(read_settings(), 0);
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit old;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &old), 0);
    rlimit tiny = old;
    tiny.rlim_cur = 2;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &tiny), 0);
    write_settings(1);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, SIG_DFL);
    EXPECT_FALSE(exists());
    EXPECT_EQ(read_settings(), 1);
}

TEST_F(SettingsFile, APipeInItsPlaceNeitherBlocksNorBreaks) {
    ASSERT_EQ(::mkfifo(file.c_str(), 0600), 0);
    EXPECT_EQ(read_settings(), 1);
    write_settings(0);  // no reader: the open fails and the pipe is left alone
    struct stat st;
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A settings file that another user planted as a link in a shared sticky
// folder is not written through; our own link is.
TEST_F(SettingsFile, APlantedLinkInASharedFolderIsNotWrittenThrough) {
    if (geteuid() != 0) GTEST_SKIP() << "planting another user's link needs root";
    const std::string target = folder.substr(0, folder.size() - 1) + ".victim";
    std::ofstream(target, std::ios::binary).write("\x07\0\0\0", 4);
    ASSERT_EQ(::chmod(folder.c_str(), 01777), 0);
    ASSERT_EQ(::symlink(target.c_str(), file.c_str()), 0);
    ASSERT_EQ(::lchown(file.c_str(), 65534, 65534), 0);

    EXPECT_EQ(read_settings(), 1);
    write_settings(0);
    std::ifstream in(target, std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(in), {}), Bytes({7, 0, 0, 0}));
    struct stat st;
    ASSERT_EQ(::lstat(file.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));

    ASSERT_EQ(::lchown(file.c_str(), 0, 0), 0);
    write_settings(0);
    std::ifstream again(target, std::ios::binary);
    EXPECT_EQ(Bytes(std::istreambuf_iterator<char>(again), {}), Bytes({0, 0, 0, 0}));
    ::unlink(target.c_str());
}

}  // namespace
