#pragma once

namespace mci {

// Xlib's own error handler ends the process on any protocol error, and libmpv's
// X11 output puts it back (XSetErrorHandler(NULL)) just before closing its
// connection, whose final sync then delivers the errors of its last requests.
// When the window libmpv draws into is destroyed shortly before a close (its
// owner exits, or tears the window down first), libmpv's last request is an
// unmap of its child window, which went with the parent: BadWindow, and the
// whole player ended with exit status 1.
//
// This unit defines XSetErrorHandler for the process: a request for Xlib's
// default handler installs a quiet one instead, which only reports the error
// (on stderr when KELD32_MPV_LOG is set). Lost connections still end the program
// through Xlib's I/O error handler, as they must.
//
// Call once before the first libmpv instance is created; the call also keeps this
// unit linked into every program that uses the service.
void KeepXlibErrorsNonFatal();

} // namespace mci
