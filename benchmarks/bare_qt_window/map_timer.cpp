// Starts a program and prints how many milliseconds passed from the fork until one of the
// windows created after it was mapped, which is when a person first sees the window. Then asks
// the window to close as the window manager's close button would, so that the program ends
// normally and a wrapper such as /usr/bin/time can report on it.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <set>

namespace {

constexpr auto kGiveUpAfter = std::chrono::seconds(30);

// Windows may be gone by the time they are looked at; that is no reason to stop.
int IgnoreErrors(Display*, XErrorEvent*) {
    return 0;
}

bool ChildExited(pid_t child, int& status) {
    return waitpid(child, &status, WNOHANG) == child;
}

bool WaitForExit(pid_t child, std::chrono::milliseconds limit, int& status) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < deadline) {
        if (ChildExited(child, status)) return true;
        usleep(10'000);
    }
    return false;
}

// Sends WM_DELETE_WINDOW to every window that takes it.
void AskToClose(Display* display, const std::set<Window>& windows) {
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
    for (const Window window : windows) {
        Atom* supported = nullptr;
        int count = 0;
        if (!XGetWMProtocols(display, window, &supported, &count)) continue;
        bool takesDelete = false;
        for (int i = 0; i < count; ++i) takesDelete = takesDelete || supported[i] == deleteWindow;
        XFree(supported);
        if (!takesDelete) continue;
        XEvent message{};
        message.xclient.type = ClientMessage;
        message.xclient.window = window;
        message.xclient.message_type = protocols;
        message.xclient.format = 32;
        message.xclient.data.l[0] = static_cast<long>(deleteWindow);
        message.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &message);
    }
    XFlush(display);
}

}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s PROGRAM [ARGUMENT...]\n", argv[0]);
        return 2;
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "map_timer: cannot open the display\n");
        return 2;
    }
    XSetErrorHandler(IgnoreErrors);
    const Window root = DefaultRootWindow(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XSync(display, False);

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execvp(argv[1], argv + 1);
        std::perror("map_timer: exec");
        _exit(127);
    }

    std::set<Window> created;
    bool mapped = false;
    int status = 0;
    std::chrono::steady_clock::time_point mappedAt;
    while (!mapped) {
        while (!mapped && XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == CreateNotify) {
                const Window window = event.xcreatewindow.window;
                created.insert(window);
                XSelectInput(display, window, StructureNotifyMask);
                // It may have been mapped before it was listened to.
                XWindowAttributes attributes;
                if (XGetWindowAttributes(display, window, &attributes) &&
                    attributes.map_state != IsUnmapped) {
                    mapped = true;
                }
            } else if (event.type == MapNotify && created.count(event.xmap.window) > 0) {
                mapped = true;
            }
            if (mapped) mappedAt = std::chrono::steady_clock::now();
        }
        if (mapped) break;
        if (ChildExited(child, status)) {
            std::fprintf(stderr, "map_timer: %s ended before it showed a window\n", argv[1]);
            return 1;
        }
        if (std::chrono::steady_clock::now() - start > kGiveUpAfter) {
            std::fprintf(stderr, "map_timer: %s showed no window\n", argv[1]);
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            return 1;
        }
        pollfd connection{ConnectionNumber(display), POLLIN, 0};
        poll(&connection, 1, 10);
    }
    const std::chrono::duration<double, std::milli> elapsed = mappedAt - start;
    std::printf("%.2f\n", elapsed.count());
    std::fflush(stdout);

    AskToClose(display, created);
    if (!WaitForExit(child, std::chrono::seconds(10), status)) {
        std::fprintf(stderr, "map_timer: %s did not close; killing it\n", argv[1]);
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        return 1;
    }
    XCloseDisplay(display);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? 0 : 1;
}
