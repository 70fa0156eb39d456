// Starts a program under the X server of $DISPLAY and reports, on one line of key=value pairs:
//   map_ms   exec to the first top-level window mapped
//   rss_kib  resident memory 1.5 s after that map
//   engine   1 when the browser engine, the chart library or a GL driver is mapped into the process at that time
// With --sign-in USER PASS it types the sign-in at once (user, Enter, password, Enter) instead and reports
//   main_ms           exec to the next top-level window mapped (the main window)
//   enter_to_main_ms  the last Enter to that map
//   main_rss_kib      resident memory 1.5 s after it
// The program is ended afterwards; with PROBE_SHOT=FILE set, a main window that never comes leaves a screenshot of the
// display in FILE first. Usage: map_probe [--sign-in USER PASS] -- program [args...]
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace
{
using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

int widthOf(xcb_connection_t *c, xcb_window_t window)
{
    xcb_get_geometry_reply_t *geometry = xcb_get_geometry_reply(c, xcb_get_geometry(c, window), nullptr);
    const int width = geometry ? geometry->width : 0;
    std::free(geometry);
    return width;
}

// Waits for a MapNotify of a window other than `skip`, at least minWidth wide, on the root; returns the window or 0
// on time-out.
xcb_window_t waitForMap(xcb_connection_t *c, xcb_window_t skip, int timeoutMs, int minWidth = 0)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    pollfd pfd{xcb_get_file_descriptor(c), POLLIN, 0};
    while (Clock::now() < deadline) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(c)) {
            const bool map = (event->response_type & 0x7f) == XCB_MAP_NOTIFY;
            const xcb_window_t window = map ? reinterpret_cast<xcb_map_notify_event_t *>(event)->window : 0;
            const bool overrideRedirect = map && reinterpret_cast<xcb_map_notify_event_t *>(event)->override_redirect;
            std::free(event);
            if (map && window != skip && !overrideRedirect && (minWidth == 0 || widthOf(c, window) >= minWidth))
                return window;
        }
        poll(&pfd, 1, 5);
    }
    return 0;
}

long residentKib(pid_t pid)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

bool engineLoaded(pid_t pid)
{
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::stringstream text;
    text << maps.rdbuf();
    const std::string all = text.str();
    // Qt's GUI library itself links the GL dispatch libraries; a context or the engine brings these.
    for (const char *name : {"libQt6WebEngine", "libQt6Quick", "libQt6Charts", "libGLX_mesa", "libEGL_mesa", "_dri.so",
                             "libgallium", "glx-integration", "egl-integration"})
        if (all.find(name) != std::string::npos)
            return true;
    return false;
}

void type(const char *text)
{
    const std::string cmd = std::string("xdotool type --delay 5 '") + text + "' && xdotool key Return";
    if (std::system(cmd.c_str()) != 0)
        std::fprintf(stderr, "xdotool failed\n");
}
} // namespace

int main(int argc, char *argv[])
{
    const char *user = nullptr;
    const char *pass = nullptr;
    int arg = 1;
    if (arg + 2 < argc && std::strcmp(argv[arg], "--sign-in") == 0) {
        user = argv[arg + 1];
        pass = argv[arg + 2];
        arg += 3;
    }
    if (arg < argc && std::strcmp(argv[arg], "--") == 0)
        ++arg;
    if (arg >= argc) {
        std::fprintf(stderr, "usage: map_probe [--sign-in USER PASS] -- program [args...]\n");
        return 2;
    }

    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "no X server\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c);

    const auto start = Clock::now();
    const pid_t pid = fork();
    if (pid == 0) {
        execv(argv[arg], argv + arg);
        _exit(127);
    }
    int rc = 0;
    const xcb_window_t first = waitForMap(c, 0, 20000);
    if (!first) {
        std::fprintf(stderr, "no window mapped\n");
        rc = 1;
    } else {
        const double mapMs = msSince(start);
        if (!user) {
            usleep(1500 * 1000);
            std::printf("map_ms=%.1f rss_kib=%ld engine=%d", mapMs, residentKib(pid), engineLoaded(pid) ? 1 : 0);
        } else {
            type(user);
            type(pass);
            const auto entered = Clock::now();
            // The main window, not the busy indicator that the sign-in request shows.
            if (waitForMap(c, first, 20000, 600)) {
                const double mainMs = msSince(start);
                const double enteredMs = msSince(entered);
                usleep(1500 * 1000);
                std::printf("map_ms=%.1f main_ms=%.1f enter_to_main_ms=%.1f main_rss_kib=%ld", mapMs, mainMs, enteredMs,
                            residentKib(pid));
            } else {
                std::fprintf(stderr, "main window not mapped\n");
                rc = 1;
                if (std::getenv("PROBE_SHOT"))
                    std::system((std::string("import -window root ") + std::getenv("PROBE_SHOT")).c_str());
            }
        }
        std::printf("\n");
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    xcb_disconnect(c);
    return rc;
}
