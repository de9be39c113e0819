// Starts a program on the X display and times its windows from outside, by
// the server's MapNotify and UnmapNotify events on the root window: when the
// first window is mapped, optionally when it goes after an Enter key sent
// with xdotool (the splash), and when the next window is mapped (the main
// window). After a settling pause it ends the program and reads its peak
// resident memory from wait4, as /usr/bin/time would.
//
// Usage: startup_probe [--enter DELAY_MS] [--settle MS] -- PROGRAM [ARGS...]
// Prints: first_ms=... enter_to_main_ms=... splash_end_to_main_ms=... peak_kb=...
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

double now_ms() {
    timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

pid_t spawn(char** argv, bool quiet) {
    const pid_t pid = fork();
    if (pid == 0) {
        if (quiet) {
            freopen("/dev/null", "w", stdout);
            freopen("/dev/null", "w", stderr);
        }
        execvp(argv[0], argv);
        _exit(127);
    }
    return pid;
}

int usage() {
    std::fprintf(stderr,
                 "usage: startup_probe [--enter DELAY_MS] [--settle MS] -- PROGRAM [ARGS...]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    int enter_delay = -1;  // no Enter: one window is all there is
    int settle = 500;
    int i = 1;
    for (; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
        if (std::strcmp(argv[i], "--enter") == 0 && i + 1 < argc)
            enter_delay = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--settle") == 0 && i + 1 < argc)
            settle = std::atoi(argv[++i]);
        else
            return usage();
    }
    if (i + 1 >= argc) return usage();
    char** program = argv + i + 1;

    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "startup_probe: cannot open the display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(x);

    const double start = now_ms();
    const pid_t pid = spawn(program, true);
    double first = -1, enter = -1, first_gone = -1, second = -1;
    xcb_window_t first_window = 0;
    const double deadline = start + 30000;

    auto done = [&] { return enter_delay < 0 ? first >= 0 : second >= 0; };
    while (!done() && now_ms() < deadline) {
        if (first >= 0 && enter < 0 && now_ms() >= first + enter_delay) {
            char key[] = "xdotool", cmd[] = "key", ret[] = "Return";
            char* args[] = {key, cmd, ret, nullptr};
            enter = now_ms();
            const pid_t k = spawn(args, true);
            waitpid(k, nullptr, 0);
        }
        pollfd p{xcb_get_file_descriptor(x), POLLIN, 0};
        poll(&p, 1, 5);
        while (xcb_generic_event_t* e = xcb_poll_for_event(x)) {
            const double t = now_ms();
            const int type = e->response_type & ~0x80;
            if (type == XCB_MAP_NOTIFY) {
                const auto* m = reinterpret_cast<xcb_map_notify_event_t*>(e);
                if (first < 0) {
                    first = t;
                    first_window = m->window;
                } else if (second < 0 && m->window != first_window && enter >= 0) {
                    second = t;
                }
            } else if (type == XCB_UNMAP_NOTIFY) {
                const auto* u = reinterpret_cast<xcb_unmap_notify_event_t*>(e);
                if (u->window == first_window && first_gone < 0) first_gone = t;
            }
            std::free(e);
        }
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            std::fprintf(stderr, "startup_probe: the program ended early\n");
            return 1;
        }
    }
    if (!done()) {
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        std::fprintf(stderr, "startup_probe: no window in time\n");
        return 1;
    }
    usleep(static_cast<useconds_t>(settle) * 1000);
    kill(pid, SIGTERM);
    int status = 0;
    rusage usage{};
    wait4(pid, &status, 0, &usage);
    xcb_disconnect(x);

    std::printf("first_ms=%.1f", first - start);
    if (enter_delay >= 0)
        std::printf(" enter_to_main_ms=%.1f splash_end_to_main_ms=%.1f", second - enter,
                    first_gone >= 0 ? second - first_gone : -1.0);
    std::printf(" peak_kb=%ld\n", usage.ru_maxrss);
    return 0;
}
