#include "mci/XlibErrorGuard.h"

#include <X11/Xlib.h>

#include <cstdio>
#include <cstdlib>
#include <dlfcn.h>

namespace {

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

using SetHandler = XErrorHandler (*)(XErrorHandler);

SetHandler realSetHandler()
{
    static const SetHandler real = reinterpret_cast<SetHandler>(dlsym(RTLD_NEXT, "XSetErrorHandler"));
    return real;
}

} // namespace

// Takes the place of libX11's function for the whole process (the executable's
// definition comes first in symbol lookup); the real one does the work.
extern "C" XErrorHandler XSetErrorHandler(XErrorHandler handler)
{
    const SetHandler real = realSetHandler();
    if (!real)
        return nullptr;
    return real(handler ? handler : &quietHandler);
}

namespace mci {

void KeepXlibErrorsNonFatal()
{
    // Until now the handler is Xlib's default or the toolkit's; from here on a
    // protocol error never ends the program, whoever set the handler last.
    static const bool done = (XSetErrorHandler(nullptr), true);
    (void)done;
}

} // namespace mci
