// Kills the report tool at random points of its runs and counts what the
// writer leaves beside the target. Each run writes one of two data files'
// reports over the other's, so a whole target is one report or the other.
//
// Usage: kill_loop SIGNAL RUNS MAX_STRAYS PARIETA_REPORT [OPTION...]
// SIGNAL is KILL, TERM, INT or HUP. Options:
//   --in-place    the target's folder may not be written (the tool runs as
//                 nobody when this is root), so the file is written in place
//   --group       the signal goes to the tool's whole process group; a run
//                 may then leave one temporary file, which the next write
//                 must remove once it is a minute old
//   --folder DIR  the target's folder is made inside DIR (a file system
//                 without unnamed temporary files, say)
// Exit 0 when at most MAX_STRAYS stray files were found and the target was
// always whole; 1 otherwise.
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <sys/prctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/Quil_c.h"
#include "storage/datafile.h"

namespace {

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

constexpr uid_t NOBODY = 65534;

struct Run {
    const char* tool;
    std::string target;
    bool as_nobody = false;
    bool own_group = false;
};

pid_t start(const Run& run, const char* data_file) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (run.own_group) setpgid(0, 0);
        if (run.as_nobody &&
            (setgroups(0, nullptr) != 0 || setgid(NOBODY) != 0 || setuid(NOBODY) != 0))
            _exit(126);
        const int null = ::open("/dev/null", O_WRONLY);
        if (null >= 0) dup2(null, STDERR_FILENO);
        execl(run.tool, run.tool, "--lang", "en", "--separator", ".", "-o", run.target.c_str(),
              data_file, static_cast<char*>(nullptr));
        _exit(127);
    }
    if (run.own_group) setpgid(pid, pid);  // whichever of the two comes first
    return pid;
}

int wait_for(pid_t pid) {
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    return status;
}

// The entries but the target.
std::vector<std::string> strays_in(const std::string& folder, const std::string& keep) {
    std::vector<std::string> names;
    DIR* d = opendir(folder.c_str());
    if (d == nullptr) return names;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name != "." && name != ".." && name != keep) names.push_back(name);
    }
    closedir(d);
    return names;
}

// Removes and counts every entry but the target.
int remove_strays(const std::string& folder, const std::string& keep) {
    int strays = 0;
    DIR* d = opendir(folder.c_str());
    if (d == nullptr) return 0;
    while (dirent* e = readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == ".." || name == keep) continue;
        ++strays;
        std::printf("  stray: %s\n", name.c_str());
        unlink((folder + "/" + name).c_str());
    }
    closedir(d);
    return strays;
}

int signal_of(const char* name) {
    struct Named {
        const char* name;
        int number;
    };
    for (Named n : {Named{"KILL", SIGKILL}, Named{"TERM", SIGTERM}, Named{"INT", SIGINT},
                    Named{"HUP", SIGHUP}})
        if (std::strcmp(name, n.name) == 0) return n.number;
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool in_place = false, group = false, options_ok = true;
    std::string inside = "/tmp";
    for (int i = 5; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--in-place") {
            in_place = true;
        } else if (option == "--group") {
            group = true;
        } else if (option == "--folder" && i + 1 < argc) {
            inside = argv[++i];
        } else {
            options_ok = false;
        }
    }
    if (argc < 5 || signal_of(argv[1]) == 0 || !options_ok) {
        std::fprintf(stderr,
                     "usage: kill_loop KILL|TERM|INT|HUP RUNS MAX_STRAYS PARIETA_REPORT "
                     "[--in-place] [--group] [--folder DIR]\n");
        return 2;
    }
    const int sig = signal_of(argv[1]);
    // What the tool started outlives it and comes to us: a run is over only
    // when every process of it has ended.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
    const int runs = std::atoi(argv[2]);
    const int max_strays = std::atoi(argv[3]);

    std::string tmpl = inside + "/parieta-kill-XXXXXX";
    if (mkdtemp(tmpl.data()) == nullptr) return 2;
    const std::string folder = tmpl;
    // The data files lie elsewhere, so the folder holds only the target.
    const std::string files[2] = {folder + ".A.PAR", folder + ".B.PAR"};
    Partition a, b;
    set_title(b, "Second record");
    b.layers[0].thickness = 0.02;
    if (write_data_file(a, files[0].c_str()) != 0 || write_data_file(b, files[1].c_str()) != 0)
        return 2;
    const char* data[2] = {files[0].c_str(), files[1].c_str()};
    Run run{argv[4], folder + "/R.TXT"};
    run.as_nobody = in_place && geteuid() == 0;
    setenv("SOURCE_DATE_EPOCH", "962615100", 1);
    // The first runs make the target; in place, the folder is closed after them.
    if (in_place && chmod(folder.c_str(), 0777) != 0) return 2;

    // The two whole reports, and how long a run takes.
    std::string whole[2];
    std::vector<double> took;
    for (int i = 0; i < 6; ++i) {
        const auto t0 = std::chrono::steady_clock::now();
        const int status = wait_for(start(run, data[i % 2]));
        took.push_back(
            std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - t0)
                .count());
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "kill_loop: the tool failed on its own\n");
            return 2;
        }
        whole[i % 2] = read_file(run.target);
    }
    std::sort(took.begin(), took.end());
    const double run_us = took[took.size() / 2];
    if (in_place && chmod(folder.c_str(), 0555) != 0) return 2;
    run.own_group = group;

    // Kill times spread over the whole run and a little past it.
    std::mt19937 random(20240613u);
    std::uniform_real_distribution<double> delay(0.0, 1.2 * run_us);
    int killed = 0, strays = 0, broken = 0;
    for (int r = 0; r < runs; ++r) {
        const pid_t pid = start(run, data[r % 2]);
        const auto wait = std::chrono::duration<double, std::micro>(delay(random));
        const auto until = std::chrono::steady_clock::now() + wait;
        while (std::chrono::steady_clock::now() < until) {
        }
        if (!group || kill(-pid, sig) != 0) kill(pid, sig);
        const int status = wait_for(pid);
        if (WIFSIGNALED(status)) ++killed;
        while (waitpid(-1, nullptr, __WALL) > 0 || errno == EINTR) {
        }
        if (group) {
            // One file may be left; a minute on, the next write takes it away.
            const std::vector<std::string> left = strays_in(folder, "R.TXT");
            if (left.size() > 1) {
                ++broken;
                std::printf("  run %d: %zu files left beside the target\n", r, left.size());
            }
            for (const std::string& name : left) {
                const timespec old[2] = {{time(nullptr) - 120, 0}, {time(nullptr) - 120, 0}};
                utimensat(AT_FDCWD, (folder + "/" + name).c_str(), old, AT_SYMLINK_NOFOLLOW);
            }
            if (!left.empty()) {
                const int again = wait_for(start(run, data[r % 2]));
                if (!WIFEXITED(again) || WEXITSTATUS(again) != 0) ++broken;
                strays += int(left.size());
                if (!strays_in(folder, "R.TXT").empty()) {
                    ++broken;
                    std::printf("  run %d: the next write left the stale file\n", r);
                }
            }
        }
        strays += remove_strays(folder, "R.TXT");
        const std::string now = read_file(run.target);
        if (now != whole[0] && now != whole[1]) {
            ++broken;
            std::printf("  run %d: the target is not a whole report (%zu bytes)\n", r, now.size());
        }
    }
    std::printf(
        "SIG%s%s%s: %d runs of %.0f us, %d ended by the signal, %d stray files, %d broken "
        "targets\n",
        argv[1], group ? " to the group" : "", in_place ? ", in place" : "", runs, run_us, killed,
        strays, broken);
    chmod(folder.c_str(), 0755);
    std::system(("rm -rf '" + folder + "'").c_str());
    unlink(files[0].c_str());
    unlink(files[1].c_str());
    return strays <= max_strays && broken == 0 ? 0 : 1;
}
