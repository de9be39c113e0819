#include "storage/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <vector>

#include "storage/io.h"

namespace {

bool unnamed_allowed = true;

// --- SIGXFSZ ------------------------------------------------------------------
// Ignored while a writer is open, so that a file-size limit is a write error,
// not a kill that stops the program half-way.

struct sigaction previous_xfsz;
bool xfsz_ours = false;
int writers = 0;

void start_guard() {
    if (writers++ > 0) return;
    xfsz_ours = false;
    if (sigaction(SIGXFSZ, nullptr, &previous_xfsz) == 0 &&
        !(previous_xfsz.sa_flags & SA_SIGINFO) && previous_xfsz.sa_handler == SIG_DFL) {
        struct sigaction ignore = {};
        ignore.sa_handler = SIG_IGN;
        sigemptyset(&ignore.sa_mask);
        xfsz_ours = sigaction(SIGXFSZ, &ignore, nullptr) == 0;
    }
}

void end_guard() {
    if (writers == 0 || --writers > 0) return;
    if (xfsz_ours) sigaction(SIGXFSZ, &previous_xfsz, nullptr);
    xfsz_ours = false;
}

// --- Finding the target ---------------------------------------------------------

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// The kernel's protected_symlinks and protected_regular rules: in a folder
// that is sticky and world-writable, only a link of our own or of the
// folder's owner is followed, and only such a file is replaced.
bool trusted_in_folder(int dir, const struct stat& entry) {
    struct stat folder;
    if (fstat(dir, &folder) != 0) return false;
    const mode_t shared = S_ISVTX | S_IWOTH;
    if ((folder.st_mode & shared) != shared) return true;
    return entry.st_uid == geteuid() || entry.st_uid == folder.st_uid;
}

struct Place {
    int dir = -1;
    std::string name;
    bool exists = false;
    struct stat st = {};
};

// Walks `path` one name at a time from a held folder, never letting the
// kernel follow a link, so every link on the way meets the rule above and the
// folder reached is the one written. False on a missing folder, a link that
// may not be followed, a loop, or a path that names a folder.
bool find_place(const char* path, Place& out) {
    std::string rest = path;
    int dir = ::open(rest[0] == '/' ? "/" : ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0) return false;
    int links = 0;
    for (;;) {
        const std::size_t start = rest.find_first_not_of('/');
        if (start == std::string::npos) break;  // ends in a folder
        const std::size_t end = rest.find('/', start);
        const std::string part = rest.substr(start, end - start);
        const bool last = end == std::string::npos;
        rest = last ? std::string() : rest.substr(end);

        struct stat st;
        if (fstatat(dir, part.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) {
            if (!last || errno != ENOENT) break;
            out.dir = dir;
            out.name = part;
            out.exists = false;
            return true;
        }
        if (S_ISLNK(st.st_mode)) {
            if (++links > 40 || !trusted_in_folder(dir, st)) break;
            char text[PATH_MAX];
            const ssize_t n = readlinkat(dir, part.c_str(), text, sizeof text);
            if (n <= 0 || std::size_t(n) >= sizeof text) break;
            if (text[0] == '/') {
                const int root = ::open("/", O_PATH | O_DIRECTORY | O_CLOEXEC);
                if (root < 0) break;
                close_fd(dir);
                dir = root;
            }
            rest = std::string(text, std::size_t(n)) + rest;
            continue;
        }
        if (last) {
            out.dir = dir;
            out.name = part;
            out.exists = true;
            out.st = st;
            return true;
        }
        // Had it become a link since, this open fails rather than follow it.
        const int next = openat(dir, part.c_str(), O_PATH | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (next < 0) break;
        close_fd(dir);
        dir = next;
    }
    close_fd(dir);
    return false;
}

// ".NAME.xxxxxxxx.tmp", NAME shortened so that the whole stays within the
// longest name the folder takes.
std::string temp_name(int dir, const std::string& name, unsigned value) {
    long limit = fpathconf(dir, _PC_NAME_MAX);
    if (limit <= 0 || limit > NAME_MAX) limit = NAME_MAX;
    char tail[16];
    std::snprintf(tail, sizeof tail, ".%08x.tmp", value);
    const std::size_t room = std::size_t(limit) - 1 - std::strlen(tail);
    return "." + name.substr(0, std::min(name.size(), room)) + tail;
}

unsigned temp_seed() {
    static unsigned counter = 0;
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    return unsigned(getpid()) * 2654435761u ^ unsigned(now.tv_nsec) ^ unsigned(now.tv_sec) ^
           (++counter * 40503u);
}

// Gives the unnamed file `fd` the name `name` in `dir`. Without the
// capability that AT_EMPTY_PATH needs, /proc names the open file.
bool link_unnamed(int fd, int dir, const std::string& name) {
    if (linkat(fd, "", dir, name.c_str(), AT_EMPTY_PATH) == 0) return true;
    if (errno == EEXIST) return false;
    char proc[40];
    std::snprintf(proc, sizeof proc, "/proc/self/fd/%d", fd);
    return linkat(AT_FDCWD, proc, dir, name.c_str(), AT_SYMLINK_FOLLOW) == 0;
}

// --- The steps a kill of the program must not cut short -----------------------
// They run in a child that shares this process's memory while the process
// waits, as posix_spawn's vfork does: killing the program cannot stop a child
// already at work, so each step is done whole. Only a kill of the whole group
// or a power loss can still stop one; a named temporary file it leaves is
// swept at the next write to the same target.

enum class Step { link_and_rename, create_and_rename, overwrite };

struct Job {
    Step step;
    int dir;
    const char* name;
    const char* temp;   // link_and_rename, create_and_rename
    int fd;             // the unnamed file, or the target written over
    char proc[32];      // /proc's name of `fd`
    const char* bytes;  // create_and_rename, overwrite
    std::size_t size;
    const char* old_bytes;  // overwrite: put back when the write fails
    std::size_t old_size;
    mode_t create_mode;
    bool replaces;  // create_and_rename: take the replaced file's owner and mode
    uid_t uid;
    gid_t gid;
    mode_t mode;
    int error;
};

// Only system calls from here to run_job: this runs on a borrowed stack in
// the child, where nothing may be instrumented.
__attribute__((no_sanitize_address)) bool put_bytes(int fd, const char* bytes, std::size_t size) {
    long at = 0;
    while (size > 0) {
        const long n = syscall(SYS_pwrite64, fd, bytes, size, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        size -= std::size_t(n);
        at += n;
    }
    return true;
}

// The file holds, at every moment, the old bytes, a part of the new ones from
// their start, or all of them: never the new bytes with the old tail behind.
__attribute__((no_sanitize_address)) bool overwrite_with(int fd, const char* bytes,
                                                         std::size_t size) {
    return syscall(SYS_ftruncate, fd, 0L) == 0 && put_bytes(fd, bytes, size) &&
           syscall(SYS_fsync, fd) == 0;
}

__attribute__((no_sanitize_address)) int do_job(void* arg) {
    auto* j = static_cast<Job*>(arg);
    j->error = 0;
    switch (j->step) {
        case Step::link_and_rename: {
            long r = syscall(SYS_linkat, j->fd, "", j->dir, j->temp, AT_EMPTY_PATH);
            if (r != 0 && errno != EEXIST)
                r = syscall(SYS_linkat, AT_FDCWD, j->proc, j->dir, j->temp, AT_SYMLINK_FOLLOW);
            if (r != 0) {
                j->error = errno;
                return 0;
            }
            break;
        }
        case Step::create_and_rename: {
            const long fd =
                syscall(SYS_openat, j->dir, j->temp,
                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, j->create_mode);
            if (fd < 0) {
                j->error = errno;
                return 0;
            }
            bool ok = true;
            if (j->replaces) {
                // Owner first: a change of owner clears the set-id bits, which
                // are never carried over anyway. Another's file stays ours.
                syscall(SYS_fchown, fd, j->uid, j->gid);
                ok = syscall(SYS_fchmod, fd, j->mode) == 0;
            }
            ok = ok && put_bytes(int(fd), j->bytes, j->size) && syscall(SYS_fsync, fd) == 0;
            if (!ok) j->error = errno ? errno : EIO;
            if (syscall(SYS_close, fd) != 0 && ok) {
                ok = false;
                j->error = errno;
            }
            if (!ok) {
                syscall(SYS_unlinkat, j->dir, j->temp, 0);
                return 0;
            }
            break;
        }
        case Step::overwrite:
            if (!overwrite_with(j->fd, j->bytes, j->size)) {
                j->error = errno ? errno : EIO;
                overwrite_with(j->fd, j->old_bytes, j->old_size);
            }
            return 0;
    }
    if (syscall(SYS_renameat, j->dir, j->temp, j->dir, j->name) != 0) {
        j->error = errno;
        syscall(SYS_unlinkat, j->dir, j->temp, 0);
    }
    return 0;
}

// 0, or the error of the step.
int run_job(Job& job) {
    job.error = EINVAL;
    std::snprintf(job.proc, sizeof job.proc, "/proc/self/fd/%d", job.fd);
    alignas(64) char stack[16384];
    const pid_t child = clone(do_job, stack + sizeof stack, CLONE_VM | CLONE_VFORK, &job);
    if (child < 0) {
        do_job(&job);  // no child to be had: a kill may cut the step short
    } else {
        while (waitpid(child, nullptr, __WALL) < 0 && errno == EINTR) {
        }
    }
    return job.error;
}

// --- Stale temporary files ------------------------------------------------------

bool is_temp_of(const std::string& entry, const std::string& prefix) {
    // prefix, then eight hex digits, then ".tmp": what temp_name makes.
    if (entry.size() != prefix.size() + 12 || entry.compare(0, prefix.size(), prefix) != 0)
        return false;
    for (std::size_t i = prefix.size(); i < prefix.size() + 8; ++i)
        if (!std::isdigit(static_cast<unsigned char>(entry[i])) &&
            (entry[i] < 'a' || entry[i] > 'f'))
            return false;
    return entry.compare(prefix.size() + 8, 4, ".tmp") == 0;
}

// Removes the temporary files that an earlier write of `name` left when its
// whole process group was killed: only names of our pattern for this target,
// regular files of the user's, untouched for a minute (a write at work now
// is never that old).
void sweep_stale(int dir, const std::string& name) {
    const std::string sample = temp_name(dir, name, 0);
    const std::string prefix = sample.substr(0, sample.size() - 12);
    const int fd = openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    DIR* folder = fdopendir(fd);
    if (folder == nullptr) {
        ::close(fd);
        return;
    }
    timespec now = {};
    clock_gettime(CLOCK_REALTIME, &now);
    std::vector<std::string> stale;
    while (const dirent* e = readdir(folder)) {
        if (!is_temp_of(e->d_name, prefix)) continue;
        struct stat st;
        if (fstatat(dir, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
        if (S_ISREG(st.st_mode) && st.st_uid == geteuid() && st.st_mtim.tv_sec + 60 < now.tv_sec)
            stale.emplace_back(e->d_name);
    }
    closedir(folder);
    for (const std::string& entry : stale) unlinkat(dir, entry.c_str(), 0);
}

std::size_t pread_full(int fd, char* bytes, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const ssize_t n = ::pread(fd, bytes + got, size - got, off_t(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        got += std::size_t(n);
    }
    return got;
}

void sync_folder(int dir) {
    // The descriptor was opened only to find names; fsync needs a real one.
    const int fd = openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    fsync(fd);
    ::close(fd);
}

}  // namespace

void atomic_file_unnamed_for_testing(bool allowed) { unnamed_allowed = allowed; }

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::fail_open() {
    discard();
    return false;
}

bool AtomicFile::open(const char* path, mode_t create_mode) {
    discard();
    if (path == nullptr || path[0] == '\0') return false;
    Place place;
    if (!find_place(path, place)) return false;
    dir_ = place.dir;
    name_ = place.name;
    exists_ = place.exists;
    st_ = place.st;
    create_mode_ = create_mode;
    // Only a regular file is replaced: a pipe, a device or a socket planted
    // under the target's name would take the bytes to someone else.
    if (exists_ && (!S_ISREG(st_.st_mode) || !trusted_in_folder(dir_, st_))) return fail_open();
    start_guard();
    guarded_ = true;

    if (exists_) {
        // A file that may not be written is refused, as a plain open would.
        // Non-blocking, should a pipe have taken the name since.
        int probe =
            openat(dir_, name_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
        if (probe < 0) return fail_open();
        struct stat now;
        const bool same = fstat(probe, &now) == 0 && S_ISREG(now.st_mode) &&
                          now.st_ino == st_.st_ino && now.st_dev == st_.st_dev;
        close_fd(probe);
        if (!same) return fail_open();
    }
    const bool folder_writable = faccessat(dir_, ".", W_OK | X_OK, AT_EACCESS) == 0;
    if (folder_writable) sweep_stale(dir_, name_);

    int error = 0;
    if (unnamed_allowed && ::access("/proc/self/fd", X_OK) == 0) {
        fd_ = openat(dir_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, create_mode);
        if (fd_ >= 0) {
            mode_ = Mode::unnamed;
        } else {
            error = errno;
        }
    }
    if (fd_ < 0) {
        if (error == EROFS) return fail_open();
        if (folder_writable && error != EACCES && error != EPERM) {
            // No unnamed files here: the bytes wait, and the child below
            // makes, writes and renames the named file in one go.
            mode_ = Mode::named;
        } else if (exists_) {
            // Nothing may be made in the folder, but the file itself may be written.
            mode_ = Mode::in_place;
        } else {
            return fail_open();
        }
        return true;
    }
    if (exists_) {
        // Owner first: a change of owner clears the set-id bits, which are
        // never carried over anyway.
        if (fchown(fd_, st_.st_uid, st_.st_gid) != 0) {
            // Not ours to give away; the file simply stays the writer's.
        }
        if (fchmod(fd_, st_.st_mode & 0777) != 0) return fail_open();
    }
    return true;
}

bool AtomicFile::write(const void* data, std::size_t size) {
    if (mode_ == Mode::none || failed_) return false;
    if (mode_ != Mode::unnamed) {
        pending_.append(static_cast<const char*>(data), size);
        return true;
    }
    if (!write_all(fd_, data, size)) failed_ = true;
    return !failed_;
}

bool AtomicFile::commit() {
    bool ok = false;
    switch (mode_) {
        case Mode::none:
            return false;
        case Mode::in_place:
            ok = commit_in_place();
            break;
        case Mode::unnamed:
        case Mode::named:
            ok = commit_replacement();
            break;
    }
    finish();
    return ok;
}

bool AtomicFile::commit_replacement() {
    if (failed_) return false;
    if (mode_ == Mode::unnamed && fsync(fd_) != 0) return false;
    // A new target takes the unnamed file's name directly: no temporary name at all.
    bool ok = mode_ == Mode::unnamed && !exists_ && link_unnamed(fd_, dir_, name_);
    const unsigned seed = temp_seed();
    for (unsigned attempt = 0; attempt < 100 && !ok; ++attempt) {
        const std::string temp = temp_name(dir_, name_, seed + attempt * 7919u);
        Job job = {};
        job.dir = dir_;
        job.name = name_.c_str();
        job.temp = temp.c_str();
        if (mode_ == Mode::unnamed) {
            job.step = Step::link_and_rename;
            job.fd = fd_;
        } else {
            job.step = Step::create_and_rename;
            job.fd = -1;
            job.bytes = pending_.data();
            job.size = pending_.size();
            job.create_mode = create_mode_;
            job.replaces = exists_;
            job.uid = st_.st_uid;
            job.gid = st_.st_gid;
            job.mode = st_.st_mode & 0777;
        }
        const int error = run_job(job);
        ok = error == 0;
        if (error != EEXIST) break;
    }
    // The new name lasts only once the folder is on disk too.
    if (ok) sync_folder(dir_);
    return ok;
}

// The folder may not be written: the child writes the new bytes over the old
// ones and, should that fail, puts the old ones back.
bool AtomicFile::commit_in_place() {
    if (failed_) return false;
    int fd = openat(dir_, name_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close_fd(fd);
        return false;
    }
    std::string old(std::size_t(st.st_size), '\0');
    bool ok = pread_full(fd, old.data(), old.size()) == old.size();
    if (ok) {
        Job job = {};
        job.step = Step::overwrite;
        job.fd = fd;
        job.bytes = pending_.data();
        job.size = pending_.size();
        job.old_bytes = old.data();
        job.old_size = old.size();
        ok = run_job(job) == 0;
    }
    ok = ::close(fd) == 0 && ok;
    return ok;
}

void AtomicFile::finish() {
    close_fd(fd_);
    if (guarded_) end_guard();
    guarded_ = false;
    close_fd(dir_);
    pending_.clear();
    pending_.shrink_to_fit();
    name_.clear();
    mode_ = Mode::none;
    failed_ = false;
    exists_ = false;
}

void AtomicFile::discard() { finish(); }
