// Where the settings file and the data folder live: beside the executable
// while the user may write there, in the user's own folders otherwise.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "storage/settings.h"

namespace {

namespace fs = std::filesystem;

std::string settings() {
    char buf[SETTINGS_PATH_SIZE];
    settings_path(buf, sizeof buf);
    return buf;
}

std::string data() {
    char buf[SETTINGS_PATH_SIZE];
    data_directory(buf, sizeof buf);
    return buf;
}

// Sets an environment variable for the life of the object.
class EnvVar {
public:
    EnvVar(const char* name, const std::optional<std::string>& value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value)
            setenv(name, value->c_str(), 1);
        else
            unsetenv(name);
    }
    ~EnvVar() {
        if (old_)
            setenv(name_, old_->c_str(), 1);
        else
            unsetenv(name_);
    }
    EnvVar(const EnvVar&) = delete;
    EnvVar& operator=(const EnvVar&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

// A home of its own, an "installed" program folder, and the user's
// environment pointing into the home. Tests run as root too, so the
// program folder is made unwritable by its mode, not by its owner.
class SettingsPlaces : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = ::testing::TempDir() + "parieta_places_XXXXXX";
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        root = pattern;
        home = root + "/home";
        bin = root + "/bin/";
        fs::create_directories(home);
        fs::create_directories(bin);
        home_env.emplace("HOME", home);
        config_env.emplace("XDG_CONFIG_HOME", std::nullopt);
        documents_env.emplace("XDG_DOCUMENTS_DIR", std::nullopt);
        set_exe_directory_for_testing(bin.c_str());
        // The language last read back at Polish, as at the start of a run.
        put(bin + "PARIETA.CFG", std::string("\1\0\0\0", 4));
        ASSERT_EQ(read_settings(), 1);
        fs::remove(bin + "PARIETA.CFG");
    }
    void TearDown() override {
        set_exe_directory_for_testing(nullptr);
        ::chmod(bin.c_str(), 0755);
        fs::remove_all(root);
    }
    void install_read_only() { ASSERT_EQ(::chmod(bin.c_str(), 0555), 0); }
    static void put(const std::string& path, const std::string& bytes) {
        fs::create_directories(fs::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::string root, home, bin;
    std::optional<EnvVar> home_env, config_env, documents_env;
};

TEST_F(SettingsPlaces, AWritableProgramFolderKeepsEverythingBesideIt) {
    EXPECT_TRUE(files_beside_executable());
    EXPECT_EQ(settings(), bin + "PARIETA.CFG");
    EXPECT_EQ(data(), bin + "DAT");
    write_settings(0);
    EXPECT_TRUE(fs::exists(bin + "PARIETA.CFG"));
    EXPECT_FALSE(fs::exists(home + "/.config"));
}

TEST_F(SettingsPlaces, AReadOnlyProgramFolderUsesTheUsersFolders) {
    install_read_only();
    EXPECT_FALSE(files_beside_executable());
    EXPECT_EQ(settings(), home + "/.config/parieta/PARIETA.CFG");
    EXPECT_EQ(data(), home + "/Documents/PARIETA/DAT");

    // The language survives a restart there, its folders made on the way.
    write_settings(0);
    EXPECT_EQ(fs::file_size(home + "/.config/parieta/PARIETA.CFG"), 4u);
    EXPECT_FALSE(fs::exists(bin + "PARIETA.CFG"));
    EXPECT_EQ(read_settings(), 0);
    const fs::perms created = fs::status(home + "/.config/parieta").permissions();
    EXPECT_EQ(created & (fs::perms::group_all | fs::perms::others_all), fs::perms::none);
}

TEST_F(SettingsPlaces, TheUsersFolderFollowsTheEnvironment) {
    install_read_only();
    struct Case {
        const char* name;
        std::optional<std::string> config_home;  // XDG_CONFIG_HOME; relative ones are ignored
        std::optional<std::string> documents;    // XDG_DOCUMENTS_DIR
        std::optional<std::string> user_dirs;    // user-dirs.dirs in the config folder
        std::string settings;                    // below the home
        std::string data;
    };
    const std::string H = home;
    const Case cases[] = {
        {"defaults", std::nullopt, std::nullopt, std::nullopt, "/.config/parieta/PARIETA.CFG",
         "/Documents/PARIETA/DAT"},
        {"own config home", H + "/cfg/", std::nullopt, std::nullopt, "/cfg/parieta/PARIETA.CFG",
         "/Documents/PARIETA/DAT"},
        {"relative config home", "cfg", std::nullopt, std::nullopt, "/.config/parieta/PARIETA.CFG",
         "/Documents/PARIETA/DAT"},
        {"localized documents", std::nullopt, std::nullopt,
         "# written by xdg-user-dirs-update\nXDG_DESKTOP_DIR=\"$HOME/Pulpit\"\n"
         "XDG_DOCUMENTS_DIR=\"$HOME/Dokumenty\"\n",
         "/.config/parieta/PARIETA.CFG", "/Dokumenty/PARIETA/DAT"},
        {"absolute documents, last line wins", std::nullopt, std::nullopt,
         "XDG_DOCUMENTS_DIR=\"$HOME/old\"\n  XDG_DOCUMENTS_DIR=\"" + H + "/docs/\"",
         "/.config/parieta/PARIETA.CFG", "/docs/PARIETA/DAT"},
        {"documents disabled", std::nullopt, std::nullopt, "XDG_DOCUMENTS_DIR=\"$HOME/\"\n",
         "/.config/parieta/PARIETA.CFG", "/PARIETA/DAT"},
        {"unusable lines", std::nullopt, std::nullopt,
         "#XDG_DOCUMENTS_DIR=\"$HOME/a\"\nXDG_DOCUMENTS_DIR=\"$HOMEX/b\"\n"
         "XDG_DOCUMENTS_DIR=\"rel\"\nXDG_DOCUMENTS_DIR=\"$HOME/unclosed\nXDG_DOCUMENTS_DIRS=\"/c\"",
         "/.config/parieta/PARIETA.CFG", "/Documents/PARIETA/DAT"},
        {"environment first", std::nullopt, H + "/env", "XDG_DOCUMENTS_DIR=\"$HOME/Dokumenty\"\n",
         "/.config/parieta/PARIETA.CFG", "/env/PARIETA/DAT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EnvVar config("XDG_CONFIG_HOME", c.config_home);
        EnvVar documents("XDG_DOCUMENTS_DIR", c.documents);
        fs::remove(home + "/.config/user-dirs.dirs");
        if (c.user_dirs) put(home + "/.config/user-dirs.dirs", *c.user_dirs);
        EXPECT_EQ(settings(), home + c.settings);
        EXPECT_EQ(data(), home + c.data);
    }
}

TEST_F(SettingsPlaces, AUserPathTooLongIsNeitherReadNorWritten) {
    install_read_only();
    const std::string deep = "/" + std::string(250, 'd');
    EnvVar config("XDG_CONFIG_HOME", deep);
    EnvVar documents("XDG_DOCUMENTS_DIR", deep);
    EXPECT_EQ(settings(), "");
    EXPECT_EQ(data(), "");
    write_settings(0);  // silent, and nothing made
    EXPECT_FALSE(fs::exists(deep));
    EXPECT_EQ(read_settings(), 1);
}

TEST_F(SettingsPlaces, AnInstalledTreeUsesTheUsersFoldersEvenWhereItMayWrite) {
    // PREFIX/bin/ with the desktop entry in PREFIX/share/applications, as
    // make install leaves it in ~/.local, or in /usr/local for root.
    put(root + "/share/applications/pl.parieta.Parieta.desktop", "[Desktop Entry]\n");
    EXPECT_FALSE(files_beside_executable());
    EXPECT_EQ(settings(), home + "/.config/parieta/PARIETA.CFG");
    EXPECT_EQ(data(), home + "/Documents/PARIETA/DAT");
    write_settings(0);
    EXPECT_FALSE(fs::exists(bin + "PARIETA.CFG"));

    // A folder of that name elsewhere, or the entry alone, is no install.
    set_exe_directory_for_testing((root + "/share/").c_str());
    EXPECT_TRUE(files_beside_executable());
    fs::remove(root + "/share/applications/pl.parieta.Parieta.desktop");
    fs::create_directory(root + "/share/applications/pl.parieta.Parieta.desktop");
    set_exe_directory_for_testing(bin.c_str());
    EXPECT_TRUE(files_beside_executable());
}

TEST_F(SettingsPlaces, AFolderOfAnotherOwnerCountsByItsModeBits) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to give the folder away";
    ASSERT_EQ(::chown(bin.c_str(), 65534, 65534), 0);
    ASSERT_EQ(::chmod(bin.c_str(), 0755), 0);
    EXPECT_FALSE(files_beside_executable());
    ASSERT_EQ(::chmod(bin.c_str(), 0777), 0);
    EXPECT_TRUE(files_beside_executable());
}

TEST_F(SettingsPlaces, AMissingProgramFolderStaysTheNamedPlace) {
    set_exe_directory_for_testing((root + "/not/there/").c_str());
    EXPECT_TRUE(files_beside_executable());
    EXPECT_EQ(settings(), root + "/not/there/PARIETA.CFG");
}

}  // namespace
