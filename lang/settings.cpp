#include "lang/settings.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

namespace {

constexpr const char* FILE_NAMES[] = {".PAR", "PAR", "DAT", "PARI", "TXT", "PARIETA.CFG"};
constexpr int FILE_NAME_COUNT = sizeof FILE_NAMES / sizeof FILE_NAMES[0];
constexpr int SETTINGS_FILE = 5;

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

std::int32_t language_or_polish(std::int32_t value) { return value == 0 || value == 1 ? value : 1; }

bool write_all(int fd, const unsigned char* bytes, std::size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, bytes, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

}  // namespace

const char* file_name_of(int index) {
    return index >= 0 && index < FILE_NAME_COUNT ? FILE_NAMES[index] : "";
}

void exe_directory(char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return;
    std::string folder = executable_folder();
    // A folder we cannot name must not become "/", the root.
    if (folder.empty()) return set_empty(buffer, size);
    if (folder.back() != '/') folder += '/';
    if (folder.size() + 1 > size) return set_empty(buffer, size);
    std::memcpy(buffer, folder.c_str(), folder.size() + 1);
}

void settings_path(char* buffer, std::size_t size) {
    if (buffer == nullptr || size == 0) return;
    exe_directory(buffer, size);
    const std::size_t used = std::strlen(buffer);
    const char* name = file_name_of(SETTINGS_FILE);
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
    std::size_t got = 0;
    while (got < sizeof bytes) {
        ssize_t n = ::read(fd, bytes + got, sizeof bytes - got);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += static_cast<std::size_t>(n);
    }
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
    int fd = ::open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) return;
    const auto value = static_cast<std::uint32_t>(language_or_polish(language));
    const unsigned char bytes[4] = {
        static_cast<unsigned char>(value), static_cast<unsigned char>(value >> 8),
        static_cast<unsigned char>(value >> 16), static_cast<unsigned char>(value >> 24)};
    bool complete = write_all(fd, bytes, sizeof bytes);
    if (::close(fd) != 0) complete = false;
    // A damaged value would outlive this run; no file reads as Polish.
    if (!complete) ::unlink(path);
}

std::int32_t saved_language() { return saved; }

void set_exe_directory_for_testing(const char* directory) {
    directory_overridden = directory != nullptr;
    directory_override = directory != nullptr ? directory : "";
}
