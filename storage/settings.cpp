#include "storage/settings.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "lang/file_names.h"
#include "storage/atomic_file.h"
#include "storage/io.h"

namespace {

// The value last read successfully, 1 until then.
std::int32_t saved = 1;
bool directory_overridden = false;
std::string directory_override;

// The folder part of the executable's full name, with its final "/".
std::string executable_folder() {
    if (directory_overridden) return directory_override;
    char path[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof path) return "";
    std::string full(path, static_cast<std::size_t>(n));
    std::size_t slash = full.rfind('/');
    return slash == std::string::npos ? "" : full.substr(0, slash + 1);
}

void set_empty(char* buffer, std::size_t size) {
    if (buffer != nullptr && size > 0) buffer[0] = '\0';
}

// The text, or the empty text when it does not fit with its terminator.
void copy_or_empty(const std::string& text, char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return;
    if (text.size() + 1 > size) return set_empty(buffer, size);
    std::memcpy(buffer, text.c_str(), text.size() + 1);
}

bool in_group(gid_t gid) {
    if (getegid() == gid) return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0) return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int got = getgroups(count, groups.data());
    for (int i = 0; i < got; ++i)
        if (groups[static_cast<std::size_t>(i)] == gid) return true;
    return false;
}

// What the mode bits allow this user, without root's licence to write anywhere.
bool mode_lets_us_write(const struct stat& st) {
    const mode_t need_user = S_IWUSR | S_IXUSR;
    const mode_t need_group = S_IWGRP | S_IXGRP;
    const mode_t need_other = S_IWOTH | S_IXOTH;
    if (st.st_uid == geteuid()) return (st.st_mode & need_user) == need_user;
    if (in_group(st.st_gid)) return (st.st_mode & need_group) == need_group;
    return (st.st_mode & need_other) == need_other;
}

std::string without_final_slash(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

// An absolute path from the environment; relative ones are not to be used.
std::string absolute_env(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && value[0] == '/' ? without_final_slash(value) : std::string();
}

std::string home_folder() {
    std::string home = absolute_env("HOME");
    if (!home.empty()) return home;
    passwd entry;
    passwd* found = nullptr;
    char buffer[4096];
    if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
        found->pw_dir != nullptr && found->pw_dir[0] == '/')
        return without_final_slash(found->pw_dir);
    return "";
}

std::string config_home() {
    std::string config = absolute_env("XDG_CONFIG_HOME");
    if (!config.empty()) return config;
    const std::string home = home_folder();
    return home.empty() ? "" : home + "/.config";
}

// At most `limit` bytes of a small file; non-blocking for the same reason as
// the settings file.
std::string read_small_file(const std::string& path, std::size_t limit) {
    std::string text;
    int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return text;
    text.resize(limit);
    text.resize(read_full(fd, text.data(), limit));
    ::close(fd);
    return text;
}

// XDG_DOCUMENTS_DIR as user-dirs.dirs sets it: a shell line
// XDG_DOCUMENTS_DIR="$HOME/..." or ="/...". The last such line counts, as
// when the shell reads the file. Empty when there is none.
std::string documents_from_user_dirs(const std::string& home) {
    const std::string config = config_home();
    if (config.empty()) return "";
    const std::string text = read_small_file(config + "/user-dirs.dirs", 65536);
    static constexpr char KEY[] = "XDG_DOCUMENTS_DIR";
    std::string found;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::size_t i = text.find_first_not_of(" \t", start);
        start = end + 1;
        if (i == std::string::npos || i >= end || text.compare(i, sizeof KEY - 1, KEY) != 0)
            continue;
        i += sizeof KEY - 1;
        if (i + 1 >= end || text[i] != '=' || text[i + 1] != '"') continue;
        std::string value;
        bool closed = false;
        for (i += 2; i < end; ++i) {
            if (text[i] == '"') {
                closed = true;
                break;
            }
            if (text[i] == '\\' && i + 1 < end) ++i;
            value += text[i];
        }
        if (!closed) continue;
        if (value.compare(0, 5, "$HOME") == 0 && (value.size() == 5 || value[5] == '/')) {
            if (home.empty()) continue;
            found = without_final_slash(home + value.substr(5));
        } else if (!value.empty() && value[0] == '/') {
            found = without_final_slash(value);
        }
    }
    return found;
}

std::string documents_folder() {
    std::string documents = absolute_env("XDG_DOCUMENTS_DIR");
    if (!documents.empty()) return documents;
    const std::string home = home_folder();
    documents = documents_from_user_dirs(home);
    if (!documents.empty()) return documents;
    return home.empty() ? "" : home + "/Documents";
}

// The settings folder for a user who may not write beside the executable.
std::string user_settings_folder() {
    const std::string config = config_home();
    return config.empty() ? "" : config + "/parieta/";
}

// Creates the missing folders of `path` (ending with "/") for this user only.
void make_folders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1))
        ::mkdir(path.substr(0, slash).c_str(), 0700);
}

std::int32_t language_or_polish(std::int32_t value) { return value == 0 || value == 1 ? value : 1; }

// An installed tree: PREFIX/bin/ holding us, PREFIX/share/applications our entry.
bool installed(const std::string& folder) {
    static constexpr char BIN[] = "/bin/";
    const std::size_t bin = sizeof BIN - 1;
    if (folder.size() < bin || folder.compare(folder.size() - bin, bin, BIN) != 0) return false;
    const std::string prefix = folder.substr(0, folder.size() - bin + 1);
    struct stat st;
    return ::stat((prefix + "share/applications/pl.parieta.Parieta.desktop").c_str(), &st) == 0 &&
           S_ISREG(st.st_mode);
}

}  // namespace

void exe_directory(char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return;
    std::string folder = executable_folder();
    // A folder we cannot name must not become "/", the root.
    if (folder.empty()) return set_empty(buffer, size);
    if (folder.back() != '/') folder += '/';
    if (folder.size() + 1 > size) return set_empty(buffer, size);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
}

bool files_beside_executable() {
    const std::string folder = executable_folder();
    if (folder.empty()) return true;  // exe_directory is empty: nothing is read or written
    if (installed(folder)) return false;
    struct stat st;
    // A folder that is not there gives no reason to move elsewhere.
    if (::stat(folder.c_str(), &st) != 0) return errno == ENOENT || errno == ENOTDIR;
    if (!S_ISDIR(st.st_mode) || !mode_lets_us_write(st)) return false;
    struct statvfs fs;
    if (::statvfs(folder.c_str(), &fs) == 0 && (fs.f_flag & ST_RDONLY) != 0) return false;
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

void settings_directory(char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return;
    if (files_beside_executable()) return exe_directory(buffer, size);
    copy_or_empty(user_settings_folder(), buffer, size);
}

void data_directory(char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return;
    std::string folder;
    if (files_beside_executable()) {
        char dir[SETTINGS_PATH_SIZE];
        exe_directory(dir, sizeof dir);
        if (dir[0] != '\0') folder = std::string(dir) + file_name_of(FileName::DataFolder);
    } else {
        const std::string documents = documents_folder();
        if (!documents.empty())
            folder = documents + "/PARIETA/" + file_name_of(FileName::DataFolder);
    }
    copy_or_empty(folder, buffer, size);
}

void settings_path(char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return;
    settings_directory(buffer, size);
    const std::size_t used = std::strlen(buffer);
    const char* name = file_name_of(FileName::SettingsFile);
    const std::size_t name_length = std::strlen(name);
    if (used == 0 || used + name_length + 1 > size) return set_empty(buffer, size);
    std::memcpy(buffer + used, name, name_length + 1);
}

int read_settings() {
    char path[SETTINGS_PATH_SIZE];
    settings_path(path, sizeof path);
    if (path[0] == '\0') return 1;
    // Non-blocking, so a pipe or device in the file's place cannot stall the start.
    int fd = ::open(path, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) return 1;
    unsigned char bytes[4];
    const std::size_t got = read_full(fd, bytes, sizeof bytes);
    ::close(fd);
    if (got < sizeof bytes) return 1;
    const std::uint32_t raw = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 |
                              std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 24;
    saved = language_or_polish(static_cast<std::int32_t>(raw));
    return saved;
}

void write_settings(int language) {
    if (language == saved) return;
    char path[SETTINGS_PATH_SIZE];
    settings_path(path, sizeof path);
    if (path[0] == '\0') return;
    if (!files_beside_executable()) make_folders(user_settings_folder());
    // Through the one writer: links only as the kernel's rule would follow
    // them, and a kill never leaves half a value behind.
    AtomicFile file;
    if (!file.open(path, 0644)) return;
    const auto value = static_cast<std::uint32_t>(language_or_polish(language));
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    file.write(bytes, sizeof bytes);
    // A damaged value would outlive this run; no file reads as Polish.
    if (!file.commit()) ::unlink(path);
}

void set_exe_directory_for_testing(const char* directory) {
    directory_overridden = directory != nullptr;
    directory_override = directory != nullptr ? directory : "";
}
