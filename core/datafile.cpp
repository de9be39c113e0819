// The data file: "QDAT", version 1, checksum, and the record's input part with
// every byte's top bit inverted.
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "core/Quil_c.h"

namespace {

constexpr std::uint8_t MAGIC[4] = {'Q', 'D', 'A', 'T'};
constexpr std::int16_t VERSION = 1;

void transform(std::uint8_t* bytes, std::size_t n) {
    for (std::size_t i = 0; i < n; ++i) bytes[i] ^= 0x80;
}

// Reads until n bytes, end of file or an error; returns how many arrived.
std::size_t read_full(int fd, std::uint8_t* buf, std::size_t n) {
    std::size_t got = 0;
    while (got < n) {
        const ssize_t r = ::read(fd, buf + got, n - got);
        if (r < 0 && errno == EINTR) continue;
        if (r <= 0) break;
        got += static_cast<std::size_t>(r);
    }
    return got;
}

bool write_full(int fd, const std::uint8_t* buf, std::size_t n) {
    std::size_t done = 0;
    while (done < n) {
        const ssize_t w = ::write(fd, buf + done, n - done);
        if (w < 0 && errno == EINTR) continue;
        if (w <= 0) return false;
        done += static_cast<std::size_t>(w);
    }
    return true;
}

std::string folder_of(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

// Follows symbolic links to the file that is really written, so that a link
// stays a link. False on a loop or an unreadable link.
bool resolve_links(const char* path, std::string& out) {
    out = path;
    for (int hops = 0; hops < 40; ++hops) {
        struct stat st;
        if (::lstat(out.c_str(), &st) != 0) return errno == ENOENT;  // a new file
        if (!S_ISLNK(st.st_mode)) return true;
        char link[4096];
        const ssize_t len = ::readlink(out.c_str(), link, sizeof link);
        if (len <= 0 || static_cast<std::size_t>(len) >= sizeof link) return false;
        std::string next(link, static_cast<std::size_t>(len));
        out = next.front() == '/' ? next : folder_of(out) + "/" + next;
    }
    return false;
}

// A new file beside the target. Created with 0666 so that the umask applies
// as it would to a file opened the ordinary way.
int create_temporary(const std::string& folder, std::string& name) {
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        timespec ts{};
        ::clock_gettime(CLOCK_REALTIME, &ts);
        char leaf[64];
        std::snprintf(leaf, sizeof leaf, "/.parieta-%ld-%u-%ld.tmp", static_cast<long>(::getpid()),
                      ++counter, static_cast<long>(ts.tv_nsec));
        name = folder + leaf;
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

void sync_folder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

// Writes all of `bytes` to `path`, or leaves whatever was there untouched.
bool replace_file(const char* path, const std::uint8_t* bytes, std::size_t n) {
    std::string target;
    if (!resolve_links(path, target)) return false;
    struct stat old;
    const bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode)) return false;  // never replace a folder or device
    if (!exists && errno != ENOENT) return false;

    const std::string folder = folder_of(target);
    std::string temporary;
    const int fd = create_temporary(folder, temporary);
    if (fd < 0) return false;
    bool ok = true;
    if (exists) {
        ok = ::fchmod(fd, old.st_mode & 07777) == 0;
        if (ok && ::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // Without the right to give it away the group may still be kept.
            (void)::fchown(fd, static_cast<uid_t>(-1), old.st_gid);
        }
    }
    ok = ok && write_full(fd, bytes, n) && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok) {
        ::unlink(temporary.c_str());
        return false;
    }
    sync_folder(folder);
    return true;
}

bool has_data_extension(const char* path) {
    const char* leaf = std::strrchr(path, '/');
    leaf = leaf ? leaf + 1 : path;
    const char* dot = std::strrchr(leaf, '.');
    return dot != nullptr && ::strcasecmp(dot, ".PAR") == 0;
}

}  // namespace

// Fletcher-style sums modulo 65535: a += x, b += a; result b * 65536 + a.
std::uint32_t data_checksum(const std::uint8_t* bytes, std::size_t length) {
    std::uint32_t a = 0, b = 0;
    for (std::size_t i = 0; i < length; ++i) {
        a = (a + bytes[i]) % 65535u;
        b = (b + a) % 65535u;
    }
    return b * 65536u + a;
}

int read_data_file(Partition& target, const char* path) {
    if (path == nullptr || *path == '\0') return 1;
    // Non-blocking so that a pipe cannot hang the caller; only regular files are read.
    const int fd = ::open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return 1;
    struct stat st;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return 1;
    }
    std::uint8_t file[DATA_FILE_SIZE];
    const std::size_t got = read_full(fd, file, sizeof file);
    ::close(fd);

    if (got < HEADER_SIZE || std::memcmp(file, MAGIC, sizeof MAGIC) != 0) return 2;
    std::int16_t version;
    std::memcpy(&version, file + 4, sizeof version);
    if (version != VERSION || got < DATA_FILE_SIZE) return 2;
    std::uint32_t stored;
    std::memcpy(&stored, file + 8, sizeof stored);
    std::uint8_t* payload = file + HEADER_SIZE;
    if (data_checksum(payload, PAYLOAD_SIZE) != stored) return 2;

    transform(payload, PAYLOAD_SIZE);
    std::memcpy(static_cast<PartitionInput*>(&target), payload, PAYLOAD_SIZE);
    target.modified = 0;
    return 0;
}

int write_data_file(Partition& source, const char* path) {
    if (!validate_partition(source)) return 2;
    if (path == nullptr || *path == '\0') return 1;

    std::uint8_t file[DATA_FILE_SIZE] = {};
    std::memcpy(file, MAGIC, sizeof MAGIC);
    std::memcpy(file + 4, &VERSION, sizeof VERSION);
    std::uint8_t* payload = file + HEADER_SIZE;
    std::memcpy(payload, static_cast<const PartitionInput*>(&source), PAYLOAD_SIZE);
    transform(payload, PAYLOAD_SIZE);
    const std::uint32_t sum = data_checksum(payload, PAYLOAD_SIZE);
    std::memcpy(file + 8, &sum, sizeof sum);

    if (!replace_file(path, file, sizeof file)) return 1;
    source.modified = 0;
    return 0;
}

void read_data_file_title(const char* path, char* out, std::size_t n) {
    if (out == nullptr || n == 0) return;
    copy_bounded(out, "", n);
    if (path == nullptr || *path == '\0' || !has_data_extension(path)) return;
    Partition scratch;
    if (read_data_file(scratch, path) != 0) return;
    // The stored title need not end in a NUL: take no more than its 80 characters.
    char title[TITLE_SIZE];
    std::memcpy(title, scratch.title, TITLE_SIZE);
    title[TITLE_SIZE - 1] = '\0';
    copy_bounded(out, title, n);
}
