// Waits, without polling, until a top-level window with the given name is
// mapped on the X display. Prints "ready" once it listens, so a caller can
// start the program; then the time (ns since the epoch) the first window of
// any name was mapped, and the time the named one was, and exits.
//
//   mapwait NAME        (built by bench/startup.sh)
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <ctime>

static bool named(Display *display, Window window, const char *name)
{
    char *title = nullptr;
    const bool same = XFetchName(display, window, &title) && title && std::strcmp(title, name) == 0;
    if (title)
        XFree(title);
    return same;
}

int main(int argc, char **argv)
{
    Display *display = argc == 2 ? XOpenDisplay(nullptr) : nullptr;
    if (!display)
        return 2;
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, False);
    std::printf("ready\n");
    std::fflush(stdout);
    bool first = true;
    for (;;) {
        XEvent event;
        XNextEvent(display, &event);
        if (event.type != MapNotify)
            continue;
        timespec now;
        clock_gettime(CLOCK_REALTIME, &now);
        const long long ns = static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
        if (first) {
            std::printf("%lld\n", ns);
            std::fflush(stdout);
            first = false;
        }
        if (named(display, event.xmap.window, argv[1])) {
            std::printf("%lld\n", ns);
            return 0;
        }
    }
}
