#include "core/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>

#include "core/io.h"

namespace {

std::string folder_of(const std::string& path) {
    std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) {
        return ".";
    }
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Follows symbolic links to the file that is really written. False on a loop
// or an error other than "the file does not exist yet".
bool resolve_links(std::string path, std::string& out) {
    for (int depth = 0; depth < 40; ++depth) {
        struct stat st;
        if (lstat(path.c_str(), &st) != 0) {
            if (errno != ENOENT) {
                return false;
            }
            out = path;
            return true;
        }
        if (!S_ISLNK(st.st_mode)) {
            out = path;
            return true;
        }
        char link[4096];
        ssize_t n = readlink(path.c_str(), link, sizeof link);
        if (n <= 0 || static_cast<std::size_t>(n) >= sizeof link) {
            return false;
        }
        std::string next(link, static_cast<std::size_t>(n));
        path = next[0] == '/' ? next : folder_of(path) + "/" + next;
    }
    return false;
}

}  // namespace

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::open(const char* path) {
    discard();
    failed_ = false;
    direct_ = false;
    if (path == nullptr || path[0] == '\0' || !resolve_links(path, target_)) {
        return false;
    }
    if (target_.back() == '/') {
        return false;
    }

    struct stat st;
    bool exists = stat(target_.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode)) {
        return false;
    }
    if (exists && !S_ISREG(st.st_mode)) {
        // Devices and pipes cannot be replaced; they take the bytes as they come.
        // Non-blocking only for the open, so a pipe without a reader fails at once.
        fd_ = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
        if (fd_ < 0) {
            return false;
        }
        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        direct_ = true;
        return true;
    }
    if (exists) {
        // A file that may not be written is refused, as a plain open would.
        int probe = ::open(target_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY);
        if (probe < 0) {
            return false;
        }
        ::close(probe);
    }

    std::size_t slash = target_.rfind('/');
    std::string folder = slash == std::string::npos ? "" : target_.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? target_ : target_.substr(slash + 1);
    unsigned long seed = static_cast<unsigned long>(getpid()) * 2654435761u ^
                         static_cast<unsigned long>(std::time(nullptr));
    for (int attempt = 0; attempt < 100; ++attempt) {
        char suffix[32];
        std::snprintf(suffix, sizeof suffix, ".%08lx.tmp", (seed + attempt * 7919u) & 0xffffffffu);
        temp_ = folder + "." + name + suffix;
        // 0666 lets the umask decide for a new file, as a plain create would.
        fd_ = ::open(temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
        if (fd_ >= 0) {
            break;
        }
        if (errno != EEXIST) {
            temp_.clear();
            return false;
        }
    }
    if (fd_ < 0) {
        temp_.clear();
        return false;
    }
    if (exists) {
        // Owner first: changing it may clear the set-id bits that fchmod then restores.
        if (fchown(fd_, st.st_uid, st.st_gid) != 0) {
            // Not ours to give away; the file simply stays the writer's.
        }
        if (fchmod(fd_, st.st_mode & 07777) != 0) {
            discard();
            return false;
        }
    }
    return true;
}

bool AtomicFile::write(const void* data, std::size_t size) {
    if (fd_ < 0 || failed_) {
        return false;
    }
    if (!write_all(fd_, static_cast<const char*>(data), size)) {
        failed_ = true;
    }
    return !failed_;
}

bool AtomicFile::commit() {
    if (fd_ < 0) {
        return false;
    }
    if (direct_) {
        bool ok = !failed_;
        ok = ::close(fd_) == 0 && ok;
        fd_ = -1;
        return ok;
    }
    if (failed_ || fsync(fd_) != 0) {
        discard();
        return false;
    }
    int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0 || rename(temp_.c_str(), target_.c_str()) != 0) {
        unlink(temp_.c_str());
        temp_.clear();
        return false;
    }
    temp_.clear();
    // The rename itself lasts only once the folder is on disk too.
    int dir = ::open(folder_of(target_).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        fsync(dir);
        ::close(dir);
    }
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temp_.empty()) {
        unlink(temp_.c_str());
        temp_.clear();
    }
}
