// The one writer of the settings file, the data file and the report: what a
// long name, a planted link, a read-only folder, a signal or a size limit
// does to it. The data-file and report suites cover the ordinary replace.
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "storage/atomic_file.h"
#include "tests/support/other_user.h"

namespace {

constexpr uid_t NOBODY = 65534;

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void put_file(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool write_whole(const std::string& path, const std::string& bytes) {
    AtomicFile file;
    return file.open(path.c_str()) && file.write(bytes.data(), bytes.size()) && file.commit();
}

class AtomicFileTest : public testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/parieta-atomic-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override {
        atomic_file_unnamed_for_testing(true);
        const std::string cmd = "chmod -R u+w '" + dir_ + "' && rm -rf '" + dir_ + "'";
        EXPECT_EQ(std::system(cmd.c_str()), 0);
    }
    std::string path(const std::string& name) const { return dir_ + "/" + name; }
    std::vector<std::string> entries(const std::string& folder = "") const {
        std::vector<std::string> names;
        DIR* d = opendir(folder.empty() ? dir_.c_str() : path(folder).c_str());
        if (d == nullptr) return names;
        while (dirent* e = readdir(d))
            if (std::strcmp(e->d_name, ".") != 0 && std::strcmp(e->d_name, "..") != 0)
                names.push_back(e->d_name);
        closedir(d);
        std::sort(names.begin(), names.end());
        return names;
    }

    std::string dir_;
};

TEST_F(AtomicFileTest, EveryNameTheFileSystemTakesSavesWithEitherTemporaryFile) {
    for (bool unnamed : {true, false}) {
        atomic_file_unnamed_for_testing(unnamed);
        for (std::size_t length : {1, 200, 241, 242, 250, 255}) {
            SCOPED_TRACE(std::to_string(length) + (unnamed ? " bytes, unnamed" : " bytes, named"));
            const std::string name(length, 'n');
            EXPECT_TRUE(write_whole(path(name), "first"));
            EXPECT_TRUE(write_whole(path(name), "second"));
            EXPECT_EQ(read_file(path(name)), "second");
            EXPECT_EQ(entries(), std::vector<std::string>{name});
            unlink(path(name).c_str());
        }
        EXPECT_FALSE(write_whole(path(std::string(256, 'n')), "x"));
        EXPECT_TRUE(entries().empty());
    }
}

// A link in a sticky, world-writable folder is followed only when it is ours
// or the folder owner's; elsewhere every link is followed.
TEST_F(AtomicFileTest, LinksAreFollowedWhereTheKernelsRuleWouldFollowThem) {
    if (geteuid() != 0) GTEST_SKIP() << "planting another user's link needs root";
    struct Case {
        const char* name;
        mode_t folder_mode;
        uid_t folder_owner;
        uid_t link_owner;
        bool followed;
    };
    const Case cases[] = {
        {"another user's link in a sticky, world-writable folder", 01777, 0, NOBODY, false},
        {"our own link there", 01777, 0, 0, true},
        {"the link of the folder's owner there", 01777, NOBODY, NOBODY, true},
        {"another user's link in a world-writable folder that is not sticky", 0777, 0, NOBODY,
         true},
        {"another user's link in a sticky folder only its group may write", 01775, 0, NOBODY, true},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = "folder" + std::to_string(i);
        const std::string victim = "victim" + std::to_string(i++);
        ASSERT_EQ(mkdir(path(folder).c_str(), 0700), 0);
        ASSERT_EQ(chown(path(folder).c_str(), c.folder_owner, 0), 0);
        ASSERT_EQ(chmod(path(folder).c_str(), c.folder_mode), 0);
        put_file(path(victim), "root's");
        const std::string link = path(folder + "/REPORT.TXT");
        ASSERT_EQ(symlink(("../" + victim).c_str(), link.c_str()), 0);
        ASSERT_EQ(lchown(link.c_str(), c.link_owner, 0), 0);

        EXPECT_EQ(write_whole(link, "new"), c.followed);
        EXPECT_EQ(read_file(path(victim)), c.followed ? "new" : "root's");
        struct stat st;
        ASSERT_EQ(lstat(link.c_str(), &st), 0);
        EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link itself stays";
        EXPECT_EQ(entries(folder), std::vector<std::string>{"REPORT.TXT"});
    }

    // A planted link that stands for a folder on the way counts the same.
    ASSERT_EQ(mkdir(path("shared").c_str(), 01777), 0);
    ASSERT_EQ(chmod(path("shared").c_str(), 01777), 0);
    ASSERT_EQ(mkdir(path("private").c_str(), 0700), 0);
    ASSERT_EQ(symlink("../private", path("shared/jobs").c_str()), 0);
    ASSERT_EQ(lchown(path("shared/jobs").c_str(), NOBODY, 0), 0);
    EXPECT_FALSE(write_whole(path("shared/jobs/WALL.PAR"), "new"));
    EXPECT_TRUE(entries("private").empty());
}

TEST_F(AtomicFileTest, TheReplacementCarriesNoSetIdOrStickyBits) {
    const std::string target = path("WALL.PAR");
    put_file(target, "old");
    ASSERT_EQ(chmod(target.c_str(), 07755), 0);
    if (geteuid() == 0) {
        ASSERT_EQ(chown(target.c_str(), NOBODY, NOBODY), 0);
    }
    for (bool unnamed : {true, false}) {
        atomic_file_unnamed_for_testing(unnamed);
        ASSERT_TRUE(write_whole(target, "new"));
        struct stat st;
        ASSERT_EQ(stat(target.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0755u);
        if (geteuid() == 0) {
            EXPECT_EQ(st.st_uid, NOBODY) << "the owner is kept";
        }
        ASSERT_EQ(chmod(target.c_str(), 07755), 0);
    }
}

// Nothing may be made in a folder of mode 555, but a file there that may be
// written is overwritten in place, and put back whole when that fails.
TEST_F(AtomicFileTest, AFolderThatMayNotBeWrittenHasItsFileWrittenInPlace) {
    if (!as_ordinary_user()) return;
    const std::string small(10, 's'), large(3000, 'L');
    ASSERT_EQ(mkdir(path("ro").c_str(), 0755), 0);
    put_file(path("ro/grows"), small);
    put_file(path("ro/shrinks"), large);
    put_file(path("ro/locked"), small);
    put_file(path("ro/limited"), small);
    ASSERT_EQ(chmod(path("ro/locked").c_str(), 0444), 0);
    ASSERT_EQ(chmod(path("ro").c_str(), 0555), 0);
    const auto before = entries("ro");
    struct stat st_before, st_after;
    ASSERT_EQ(stat(path("ro/grows").c_str(), &st_before), 0);

    EXPECT_TRUE(write_whole(path("ro/grows"), large));
    EXPECT_EQ(read_file(path("ro/grows")), large);
    ASSERT_EQ(stat(path("ro/grows").c_str(), &st_after), 0);
    EXPECT_EQ(st_after.st_ino, st_before.st_ino) << "the same file, written in place";
    EXPECT_TRUE(write_whole(path("ro/shrinks"), small));
    EXPECT_EQ(read_file(path("ro/shrinks")), small);

    EXPECT_FALSE(write_whole(path("ro/locked"), large)) << "a file that may not be written";
    EXPECT_EQ(read_file(path("ro/locked")), small);
    EXPECT_FALSE(write_whole(path("ro/new"), small)) << "a new file has nowhere to go";

    // The write stops at 1000 bytes: the old 10 bytes come back, and no more.
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        rlimit limit{1000, 1000};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(write_whole(path("ro/limited"), large) ? 1 : 0);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    EXPECT_EQ(read_file(path("ro/limited")), small);
    EXPECT_EQ(entries("ro"), before);
}

// Without the signal ignored, a write past the limit would end the program
// with SIGXFSZ and a temporary file beside the target.
TEST_F(AtomicFileTest, AFileSizeLimitIsAWriteErrorNotAKill) {
    const std::string target = path("R.TXT");
    put_file(target, "old");
    for (bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed" : "named");
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            atomic_file_unnamed_for_testing(unnamed);
            signal(SIGXFSZ, SIG_DFL);
            rlimit limit{100, 100};
            setrlimit(RLIMIT_FSIZE, &limit);
            const bool written = write_whole(target, std::string(884, 'x'));
            struct sigaction after;
            sigaction(SIGXFSZ, nullptr, &after);
            _exit(!written && after.sa_handler == SIG_DFL ? 0 : 1);
        }
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
        EXPECT_EQ(read_file(target), "old");
        EXPECT_EQ(entries(), std::vector<std::string>{"R.TXT"});
    }
}

// Where there is no unnamed file, nothing is left on the way out. The steps
// that make and name the file run in a child that outlives the program, so
// the writer's children come to this test to be waited for.
TEST_F(AtomicFileTest, EndingSignalsLeaveNoNamedTemporaryFile) {
    atomic_file_unnamed_for_testing(false);
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    const std::string target = path("WALL.PAR");
    const std::string versions[2] = {std::string(884, 'a'), std::string(884, 'b')};
    put_file(target, versions[0]);
    std::mt19937 random(7);
    std::uniform_int_distribution<int> delay_us(0, 3000);
    for (int sig : {SIGTERM, SIGINT, SIGHUP}) {
        int ended = 0;
        for (int run = 0; run < 40; ++run) {
            int ready[2];
            ASSERT_EQ(pipe(ready), 0);
            const pid_t child = fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                close(ready[0]);
                if (write(ready[1], "r", 1) != 1) _exit(2);
                for (unsigned i = 0;; ++i) write_whole(target, versions[i % 2]);
            }
            close(ready[1]);
            char c;
            ASSERT_EQ(read(ready[0], &c, 1), 1);
            close(ready[0]);
            usleep(useconds_t(delay_us(random)));
            kill(child, sig);
            int status = 0;
            ASSERT_EQ(waitpid(child, &status, 0), child);
            ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == sig) << status;
            while (waitpid(-1, nullptr, __WALL) > 0) {
            }
            ++ended;
            ASSERT_EQ(entries(), std::vector<std::string>{"WALL.PAR"}) << "signal " << sig;
            const std::string now = read_file(target);
            ASSERT_TRUE(now == versions[0] || now == versions[1]);
        }
        EXPECT_EQ(ended, 40);
    }
    prctl(PR_SET_CHILD_SUBREAPER, 0);
}

// Only a regular file is replaced. A pipe planted under the target's name
// would hand the bytes to whoever reads it; a device is no file to replace.
TEST_F(AtomicFileTest, ATargetThatIsNotARegularFileIsRefused) {
    const std::string fifo = path("R.TXT");
    ASSERT_EQ(mkfifo(fifo.c_str(), 0666), 0);
    // A reader waits at the other end, as a planted one would.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    for (bool unnamed : {true, false}) {
        atomic_file_unnamed_for_testing(unnamed);
        EXPECT_FALSE(write_whole(fifo, "report"));
    }
    char got[16];
    EXPECT_LE(read(reader, got, sizeof got), 0) << "no byte reached the reader";
    close(reader);
    EXPECT_FALSE(write_whole("/dev/null", "report"));
    EXPECT_EQ(entries(), std::vector<std::string>{"R.TXT"});
}

// As the kernel's protected_regular rule: in a sticky, world-writable folder
// another user's file is not replaced unless that user owns the folder.
TEST_F(AtomicFileTest, AnotherUsersFileInAStickySharedFolderIsRefused) {
    if (geteuid() != 0) GTEST_SKIP() << "planting another user's file needs root";
    struct Case {
        const char* name;
        mode_t folder_mode;
        uid_t folder_owner;
        uid_t file_owner;
        bool replaced;
    };
    const Case cases[] = {
        {"another user's file in a sticky, world-writable folder", 01777, 0, NOBODY, false},
        {"our own file there", 01777, NOBODY, 0, true},
        {"the folder owner's file there", 01777, NOBODY, NOBODY, true},
        {"another user's file in a world-writable folder that is not sticky", 0777, 0, NOBODY,
         true},
    };
    int i = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string folder = "shared" + std::to_string(i++);
        ASSERT_EQ(mkdir(path(folder).c_str(), 0700), 0);
        ASSERT_EQ(chown(path(folder).c_str(), c.folder_owner, 0), 0);
        ASSERT_EQ(chmod(path(folder).c_str(), c.folder_mode), 0);
        const std::string target = path(folder + "/R.TXT");
        put_file(target, "planted");
        ASSERT_EQ(chmod(target.c_str(), 0666), 0);
        ASSERT_EQ(chown(target.c_str(), c.file_owner, 0), 0);
        for (bool unnamed : {true, false}) {
            atomic_file_unnamed_for_testing(unnamed);
            EXPECT_EQ(write_whole(target, "report"), c.replaced);
            EXPECT_EQ(read_file(target), c.replaced ? "report" : "planted");
        }
        EXPECT_EQ(entries(folder), std::vector<std::string>{"R.TXT"});
    }
}

// A kill of the whole process group can leave one temporary file; the next
// write to the same target removes it once it is a minute old, and nothing
// else: not a younger one, not another target's, not another user's.
TEST_F(AtomicFileTest, TheNextWriteSweepsItsOwnStaleTemporaryFiles) {
    const auto plant = [&](const std::string& name, long age_s, uid_t owner) {
        put_file(path(name), "left");
        const timespec when[2] = {{time(nullptr) - age_s, 0}, {time(nullptr) - age_s, 0}};
        ASSERT_EQ(utimensat(AT_FDCWD, path(name).c_str(), when, 0), 0);
        if (owner != geteuid()) {
            ASSERT_EQ(chown(path(name).c_str(), owner, 0), 0);
        }
    };
    const bool root = geteuid() == 0;
    for (bool unnamed : {true, false}) {
        SCOPED_TRACE(unnamed ? "unnamed" : "named");
        atomic_file_unnamed_for_testing(unnamed);
        plant(".WALL.PAR.0123abcd.tmp", 120, geteuid());
        plant(".WALL.PAR.89abcdef.tmp", 120, geteuid());
        plant(".WALL.PAR.89ABCDEF.tmp", 120, geteuid());
        plant(".WALL.PAR.00000001.tmp", 5, geteuid());
        plant(".WALL.PAR.0000000g.tmp", 120, geteuid());
        plant(".WALL.PAR.tmp", 120, geteuid());
        plant(".ROOF.PAR.0123abcd.tmp", 120, geteuid());
        if (root) plant(".WALL.PAR.fedcba98.tmp", 120, NOBODY);
        ASSERT_TRUE(write_whole(path("WALL.PAR"), "new"));
        std::vector<std::string> kept = {".ROOF.PAR.0123abcd.tmp", ".WALL.PAR.00000001.tmp",
                                         ".WALL.PAR.0000000g.tmp", ".WALL.PAR.89ABCDEF.tmp",
                                         ".WALL.PAR.tmp",          "WALL.PAR"};
        if (root) kept.insert(kept.begin() + 4, ".WALL.PAR.fedcba98.tmp");
        EXPECT_EQ(entries(), kept);
        for (const std::string& name : entries()) unlink(path(name).c_str());
    }
    // A long name's pattern is the shortened one the writer makes.
    const std::string long_name(255, 'n');
    const std::string stale = "." + long_name.substr(0, 241) + ".0123abcd.tmp";
    plant(stale, 120, geteuid());
    ASSERT_TRUE(write_whole(path(long_name), "new"));
    EXPECT_EQ(entries(), std::vector<std::string>{long_name});
}

int handled_signal = 0;
void program_handler(int sig) { handled_signal = sig; }

TEST_F(AtomicFileTest, AProgramsOwnSignalHandlerStaysInCharge) {
    atomic_file_unnamed_for_testing(false);
    struct sigaction own = {}, before;
    own.sa_handler = program_handler;
    sigemptyset(&own.sa_mask);
    ASSERT_EQ(sigaction(SIGTERM, &own, &before), 0);
    handled_signal = 0;
    {
        AtomicFile file;
        ASSERT_TRUE(file.open(path("R.TXT").c_str()));
        raise(SIGTERM);
        EXPECT_EQ(handled_signal, SIGTERM);
        EXPECT_TRUE(entries().empty()) << "without unnamed files nothing is on disk before commit";
        ASSERT_TRUE(file.write("x", 1));
        EXPECT_TRUE(file.commit());
    }
    EXPECT_EQ(entries(), std::vector<std::string>{"R.TXT"});
    struct sigaction now;
    ASSERT_EQ(sigaction(SIGTERM, &before, &now), 0);
    EXPECT_EQ(now.sa_handler, program_handler) << "the program's handler is back";
}

}  // namespace
