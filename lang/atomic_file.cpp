#include "lang/atomic_file.h"

#include <fcntl.h>
#include <pthread.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "lang/write_all.h"

namespace {

bool unnamed_allowed = true;

// --- Signals ------------------------------------------------------------------
// While a temporary name exists, SIGTERM, SIGINT and SIGHUP remove it before
// the program ends as it would have; SIGXFSZ is ignored so that a file-size
// limit is a write error, not a kill.

constexpr int CLEANUP_SIGNALS[] = {SIGTERM, SIGINT, SIGHUP};
constexpr int SIGNAL_COUNT = sizeof CLEANUP_SIGNALS / sizeof CLEANUP_SIGNALS[0];

struct TempSlot {
    volatile sig_atomic_t used;
    int dir;
    char name[NAME_MAX + 1];
};
TempSlot temp_slots[8];

struct sigaction previous[SIGNAL_COUNT];
bool installed[SIGNAL_COUNT];
struct sigaction previous_xfsz;
bool xfsz_ours = false;
int writers = 0;

// Blocks the cleanup signals for its lifetime: one that arrives meanwhile
// waits until the names are settled.
class Blocked {
public:
    Blocked() {
        sigset_t set;
        sigemptyset(&set);
        for (int s : CLEANUP_SIGNALS) sigaddset(&set, s);
        pthread_sigmask(SIG_BLOCK, &set, &old_);
    }
    ~Blocked() { pthread_sigmask(SIG_SETMASK, &old_, nullptr); }
    Blocked(const Blocked&) = delete;
    Blocked& operator=(const Blocked&) = delete;

private:
    sigset_t old_;
};

void on_cleanup_signal(int sig, siginfo_t* info, void* context) {
    int k = 0;
    while (k < SIGNAL_COUNT && CLEANUP_SIGNALS[k] != sig) ++k;
    if (k == SIGNAL_COUNT) return;
    const struct sigaction& old = previous[k];
    // A handler of the program's own decides what happens next; the writer
    // then ends normally and removes its file itself.
    if (old.sa_flags & SA_SIGINFO) {
        old.sa_sigaction(sig, info, context);
        return;
    }
    if (old.sa_handler != SIG_DFL && old.sa_handler != SIG_IGN) {
        old.sa_handler(sig);
        return;
    }
    const int saved_errno = errno;
    for (TempSlot& slot : temp_slots)
        if (slot.used) unlinkat(slot.dir, slot.name, 0);
    // Ends the program as the signal would have: it is blocked in here and
    // arrives with the default action as the handler returns.
    sigaction(sig, &old, nullptr);
    raise(sig);
    errno = saved_errno;
}

void start_guard() {
    Blocked blocked;
    if (writers++ > 0) return;
    for (int k = 0; k < SIGNAL_COUNT; ++k) {
        installed[k] = false;
        if (sigaction(CLEANUP_SIGNALS[k], nullptr, &previous[k]) != 0) continue;
        if (!(previous[k].sa_flags & SA_SIGINFO) && previous[k].sa_handler == SIG_IGN) continue;
        struct sigaction ours = {};
        ours.sa_sigaction = on_cleanup_signal;
        ours.sa_flags = SA_SIGINFO | SA_RESTART;
        sigemptyset(&ours.sa_mask);
        for (int s : CLEANUP_SIGNALS) sigaddset(&ours.sa_mask, s);
        installed[k] = sigaction(CLEANUP_SIGNALS[k], &ours, nullptr) == 0;
    }
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
    Blocked blocked;
    if (writers == 0 || --writers > 0) return;
    for (int k = 0; k < SIGNAL_COUNT; ++k)
        if (installed[k]) sigaction(CLEANUP_SIGNALS[k], &previous[k], nullptr);
    if (xfsz_ours) sigaction(SIGXFSZ, &previous_xfsz, nullptr);
    xfsz_ours = false;
}

// With the signals blocked: the name is removed should the program be ended.
int remember_temp(int dir, const std::string& name) {
    if (name.size() > NAME_MAX) return -1;
    for (int i = 0; i < int(sizeof temp_slots / sizeof temp_slots[0]); ++i) {
        TempSlot& slot = temp_slots[i];
        if (slot.used) continue;
        slot.dir = dir;
        std::memcpy(slot.name, name.c_str(), name.size() + 1);
        slot.used = 1;
        return i;
    }
    return -1;
}

void forget_temp(int& slot) {
    if (slot >= 0) temp_slots[slot].used = 0;
    slot = -1;
}

// --- Finding the target ---------------------------------------------------------

void close_fd(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// The kernel's protected_symlinks rule: in a folder that is sticky and
// world-writable, only a link of our own or of the folder's owner is followed.
bool may_follow(int dir, const struct stat& link) {
    struct stat folder;
    if (fstat(dir, &folder) != 0) return false;
    const mode_t shared = S_ISVTX | S_IWOTH;
    if ((folder.st_mode & shared) != shared) return true;
    return link.st_uid == geteuid() || link.st_uid == folder.st_uid;
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
            if (++links > 40 || !may_follow(dir, st)) break;
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

struct Naming {
    int fd;
    int dir;
    const char* temp;
    const char* name;
    char proc[32];
    int error;
};

// Only system calls here: this runs in the child below, on a borrowed stack,
// where nothing may be instrumented.
__attribute__((no_sanitize_address)) int name_and_place(void* arg) {
    auto* n = static_cast<Naming*>(arg);
    long r = syscall(SYS_linkat, n->fd, "", n->dir, n->temp, AT_EMPTY_PATH);
    if (r != 0 && errno != EEXIST)
        r = syscall(SYS_linkat, AT_FDCWD, n->proc, n->dir, n->temp, AT_SYMLINK_FOLLOW);
    if (r != 0) {
        n->error = errno;
        return 0;
    }
    if (syscall(SYS_renameat, n->dir, n->temp, n->dir, n->name) != 0) {
        n->error = errno;
        syscall(SYS_unlinkat, n->dir, n->temp, 0);
        return 0;
    }
    n->error = 0;
    return 0;
}

// Links the unnamed file `fd` as `temp` and renames that over `name`: 0, or
// the error. A SIGKILL between the two steps would leave `temp` behind, so
// they run in a child that shares this process's memory while the process
// waits, as posix_spawn's vfork does: killing the process cannot stop a child
// already at work.
int link_and_rename(int fd, int dir, const std::string& temp, const std::string& name) {
    Naming n{fd, dir, temp.c_str(), name.c_str(), {}, EINVAL};
    std::snprintf(n.proc, sizeof n.proc, "/proc/self/fd/%d", fd);
    alignas(64) char stack[16384];
    const pid_t child = clone(name_and_place, stack + sizeof stack, CLONE_VM | CLONE_VFORK, &n);
    if (child < 0) {
        name_and_place(&n);  // no child to be had: the short gap stays
    } else {
        while (waitpid(child, nullptr, __WALL) < 0 && errno == EINTR) {
        }
    }
    return n.error;
}

bool pwrite_all(int fd, const char* bytes, std::size_t size) {
    off_t at = 0;
    while (size > 0) {
        const ssize_t n = ::pwrite(fd, bytes, size, at);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        bytes += n;
        size -= std::size_t(n);
        at += n;
    }
    return true;
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
    const struct stat& st = place.st;
    if (exists_ && S_ISDIR(st.st_mode)) return fail_open();
    start_guard();
    guarded_ = true;

    if (exists_ && !S_ISREG(st.st_mode)) {
        // Devices and pipes cannot be replaced; they take the bytes as they come.
        // Non-blocking only for the open, so a pipe without a reader fails at once.
        fd_ =
            openat(dir_, name_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW);
        if (fd_ < 0) return fail_open();
        fcntl(fd_, F_SETFL, fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
        mode_ = Mode::direct;
        return true;
    }
    if (exists_) {
        // A file that may not be written is refused, as a plain open would.
        int probe = openat(dir_, name_.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
        if (probe < 0) return fail_open();
        close_fd(probe);
    }

    int error = 0;
    if (unnamed_allowed && ::access("/proc/self/fd", X_OK) == 0) {
        fd_ = openat(dir_, ".", O_TMPFILE | O_WRONLY | O_CLOEXEC, create_mode);
        if (fd_ >= 0)
            mode_ = Mode::unnamed;
        else
            error = errno;
    }
    if (fd_ < 0 && error != EACCES && error != EPERM && error != EROFS) {
        Blocked blocked;
        const unsigned seed = temp_seed();
        for (unsigned attempt = 0; attempt < 100; ++attempt) {
            temp_ = temp_name(dir_, name_, seed + attempt * 7919u);
            fd_ = openat(dir_, temp_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                         create_mode);
            if (fd_ >= 0 || errno != EEXIST) break;
        }
        if (fd_ >= 0) {
            mode_ = Mode::named;
            slot_ = remember_temp(dir_, temp_);
        } else {
            error = errno;
            temp_.clear();
        }
    }
    if (fd_ < 0) {
        // Nothing may be made in the folder, but the file itself may be written.
        if (exists_ && (error == EACCES || error == EPERM)) {
            mode_ = Mode::in_place;
            return true;
        }
        return fail_open();
    }
    if (exists_) {
        // Owner first: a change of owner clears the set-id bits, which are
        // never carried over anyway.
        if (fchown(fd_, st.st_uid, st.st_gid) != 0) {
            // Not ours to give away; the file simply stays the writer's.
        }
        if (fchmod(fd_, st.st_mode & 0777) != 0) return fail_open();
    }
    return true;
}

bool AtomicFile::write(const void* data, std::size_t size) {
    if (mode_ == Mode::none || failed_) return false;
    if (mode_ == Mode::in_place) {
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
        case Mode::direct:
            ok = !failed_;
            ok = ::close(fd_) == 0 && ok;
            fd_ = -1;
            break;
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
    if (failed_ || fsync(fd_) != 0) return false;
    bool ok = false;
    {
        // A SIGTERM now waits until the new name is settled either way.
        Blocked blocked;
        if (mode_ == Mode::unnamed) {
            // A new target takes its name directly: no temporary name at all.
            ok = !exists_ && link_unnamed(fd_, dir_, name_);
            const unsigned seed = temp_seed();
            for (unsigned attempt = 0; attempt < 100 && !ok; ++attempt) {
                const std::string temp = temp_name(dir_, name_, seed + attempt * 7919u);
                slot_ = remember_temp(dir_, temp);
                const int error = link_and_rename(fd_, dir_, temp, name_);
                forget_temp(slot_);
                ok = error == 0;
                if (error != EEXIST) break;
            }
        } else {
            const int fd = fd_;
            fd_ = -1;
            if (::close(fd) != 0) failed_ = true;
        }
        if (!ok && !temp_.empty() && !failed_)
            ok = renameat(dir_, temp_.c_str(), dir_, name_.c_str()) == 0;
        if (!temp_.empty()) {
            if (!ok) unlinkat(dir_, temp_.c_str(), 0);
            temp_.clear();
        }
        forget_temp(slot_);
    }
    // The new name lasts only once the folder is on disk too.
    if (ok) sync_folder(dir_);
    return ok;
}

// The folder may not be written: the new bytes go over the old ones in one
// write, and on any failure the old bytes are put back.
bool AtomicFile::commit_in_place() {
    if (failed_) return false;
    Blocked blocked;
    int fd = openat(dir_, name_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NOFOLLOW);
    if (fd < 0) return false;
    struct stat st;
    if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        close_fd(fd);
        return false;
    }
    const std::size_t old_size = std::size_t(st.st_size);
    std::string old(std::min(old_size, pending_.size()), '\0');
    bool ok = pread_full(fd, old.data(), old.size()) == old.size();
    if (ok) {
        ok = pwrite_all(fd, pending_.data(), pending_.size()) && fsync(fd) == 0 &&
             (pending_.size() >= old_size || ftruncate(fd, off_t(pending_.size())) == 0);
        if (!ok) {
            // Back to the old bytes and the old length.
            pwrite_all(fd, old.data(), old.size());
            if (ftruncate(fd, off_t(old_size)) != 0) {
                // The old bytes are back; a longer tail is all that remains.
            }
        }
        ok = fsync(fd) == 0 && ok;
    }
    ok = ::close(fd) == 0 && ok;
    return ok;
}

void AtomicFile::finish() {
    close_fd(fd_);
    if (!temp_.empty()) {
        Blocked blocked;
        unlinkat(dir_, temp_.c_str(), 0);
        temp_.clear();
        forget_temp(slot_);
    }
    forget_temp(slot_);
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
