#include "mci/output/XlibErrorGuard.h"

#include <X11/Xlib.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>
#include <mutex>
#include <unordered_map>

// Xlib's default I/O error handler (what a NULL handler means); exported, not declared in Xlib.h.
extern "C" int _XDefaultIOError(Display* dpy);

namespace {

struct Watched {
    uint64_t token = 0;
    unsigned long errors = 0;
    bool lost = false;
};

std::mutex watchMutex;
std::unordered_map<Display*, Watched>& watched()
{
    static auto* map = new std::unordered_map<Display*, Watched>;   // outlives every thread at exit
    return *map;
}

std::atomic<XErrorHandler> chainedError {nullptr};
std::atomic<XIOErrorHandler> chainedIoError {nullptr};

int quietHandler(::Display* display, XErrorEvent* event)
{
    if (const char* log = std::getenv("KELD32_MPV_LOG"); log && *log) {
        char text[80] = {};
        XGetErrorText(display, event->error_code, text, sizeof text);
        std::fprintf(stderr, "KELD32 X11: %s (request %d, resource 0x%lx), ignored\n", text,
                     int(event->request_code), static_cast<unsigned long>(event->resourceid));
    }
    return 0;
}

// True when the connection is ours; its error is counted.
bool countError(Display* dpy)
{
    std::lock_guard<std::mutex> lock(watchMutex);
    const auto it = watched().find(dpy);
    if (it == watched().end())
        return false;
    ++it->second.errors;
    return true;
}

int errorDispatch(::Display* dpy, XErrorEvent* event)
{
    if (countError(dpy)) {
        quietHandler(dpy, event);
        return 0;
    }
    const XErrorHandler chained = chainedError.load();
    return chained ? chained(dpy, event) : quietHandler(dpy, event);
}

// 1: ours, newly lost; 2: ours, lost before; 0: not ours.
int markLost(Display* dpy)
{
    std::lock_guard<std::mutex> lock(watchMutex);
    const auto it = watched().find(dpy);
    if (it == watched().end())
        return 0;
    const bool before = it->second.lost;
    it->second.lost = true;
    return before ? 2 : 1;
}

int ioErrorDispatch(::Display* dpy)
{
    switch (markLost(dpy)) {
    case 1:
        std::fprintf(stderr, "KELD32: the connection to the X server %s is lost; the video device draws no "
                             "more pictures\n", DisplayString(dpy));
        return 0;
    case 2:
        return 0;
    default:
        break;
    }
    const XIOErrorHandler chained = chainedIoError.load();
    return chained ? chained(dpy) : _XDefaultIOError(dpy);
}

// Xlib calls this after the I/O error handler; returning (rather than exit(),
// Xlib's default) leaves the connection marked broken, and every later call on it
// returns at once.
void keepRunning(Display*, void*) {}

using SetHandler = XErrorHandler (*)(XErrorHandler);

SetHandler realSetHandler()
{
    static const SetHandler real = reinterpret_cast<SetHandler>(dlsym(RTLD_NEXT, "XSetErrorHandler"));
    return real;
}

void installIoErrorDispatch()
{
    const XIOErrorHandler previous = XSetIOErrorHandler(&ioErrorDispatch);
    if (previous != &ioErrorDispatch)
        chainedIoError = previous;
}

} // namespace

// Takes the place of libX11's function for the whole process (the executable's
// definition comes first in symbol lookup); the real one does the work.
extern "C" XErrorHandler XSetErrorHandler(XErrorHandler handler)
{
    const SetHandler real = realSetHandler();
    if (!real)
        return nullptr;
    real(&errorDispatch);
    const XErrorHandler previous = chainedError.exchange(handler == &errorDispatch ? nullptr : handler);
    return previous ? previous : &quietHandler;
}

namespace mci {

void KeepXlibErrorsNonFatal()
{
    // Until now the handler is Xlib's default or the toolkit's; from here on a
    // protocol error never ends the program, whoever set the handler last.
    static const bool done = (XSetErrorHandler(nullptr), true);
    (void)done;
}

namespace xlibwatch {

uint64_t adopt(_XDisplay* dpy)
{
    static std::atomic<uint64_t> next {1};
    KeepXlibErrorsNonFatal();
    const uint64_t token = next++;
    {
        std::lock_guard<std::mutex> lock(watchMutex);
        watched()[dpy] = Watched {token, 0, false};
    }
    // Set again for each connection: a toolkit may have put its own in since.
    installIoErrorDispatch();
    XSetIOErrorExitHandler(dpy, &keepRunning, nullptr);
    return token;
}

void release(_XDisplay* dpy, uint64_t token)
{
    std::lock_guard<std::mutex> lock(watchMutex);
    const auto it = watched().find(dpy);
    if (it != watched().end() && it->second.token == token)
        watched().erase(it);
}

unsigned long errors(_XDisplay* dpy)
{
    std::lock_guard<std::mutex> lock(watchMutex);
    const auto it = watched().find(dpy);
    return it == watched().end() ? 0 : it->second.errors;
}

bool lost(_XDisplay* dpy)
{
    std::lock_guard<std::mutex> lock(watchMutex);
    const auto it = watched().find(dpy);
    return it != watched().end() && it->second.lost;
}

} // namespace xlibwatch
} // namespace mci
