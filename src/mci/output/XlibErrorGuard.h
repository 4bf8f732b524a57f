#pragma once
#include <cstdint>

struct _XDisplay;

namespace mci {

// Xlib's own error handler ends the process on any protocol error, and a library
// may put it back (XSetErrorHandler(NULL)) just before closing its connection,
// whose final sync then delivers the errors of its last requests. libmpv's X11
// output did so when it still drew the pictures: when the window it drew into was
// destroyed shortly before a close (its owner exits, or tears the window down
// first), its last request was an unmap of its child window, which went with the
// parent: BadWindow, and the whole player ended with exit status 1.
//
// This unit defines XSetErrorHandler for the process: our handler stays installed
// whoever sets one, and passes the errors of other connections on to the handler
// last asked for (a request for Xlib's default installs a quiet one instead, which
// only reports the error on stderr when KELD32_MPV_LOG is set).
//
// Call once before the first libmpv instance is created; the call also keeps this
// unit linked into every program that uses the service.
void KeepXlibErrorsNonFatal();

// The handlers' view of the device's own connections (XlibConnection keeps them
// registered). Protocol errors are counted per connection, so that two windows on
// two threads never take each other's errors for their own. The loss of the
// server marks the connection lost, said once on stderr, and returns to the
// caller instead of ending the process from a device thread; other connections
// (the toolkit's) keep the handler they set.
namespace xlibwatch {

// A token that release() must show: the address of a closed connection may come
// back for a new one.
uint64_t adopt(_XDisplay* dpy);
void release(_XDisplay* dpy, uint64_t token);
unsigned long errors(_XDisplay* dpy);
bool lost(_XDisplay* dpy);

} // namespace xlibwatch
} // namespace mci
