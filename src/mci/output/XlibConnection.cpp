#include "mci/output/XlibConnection.h"

#include "mci/output/XlibErrorGuard.h"

#include <X11/Xlib.h>

namespace mci {

XlibConnection::~XlibConnection()
{
    if (!dpy_)
        return;
    // Closing a lost connection is safe: its requests are dropped, and the handlers
    // still know it as ours until it is gone.
    XCloseDisplay(dpy_);
    xlibwatch::release(dpy_, token_);
}

bool XlibConnection::open()
{
    KeepXlibErrorsNonFatal();
    dpy_ = XOpenDisplay(nullptr);
    if (!dpy_)
        return false;
    token_ = xlibwatch::adopt(dpy_);
    return true;
}

bool XlibConnection::lost() const
{
    return !dpy_ || xlibwatch::lost(dpy_);
}

bool XlibConnection::succeeds(const std::function<void()>& requests)
{
    if (lost())
        return false;
    // Errors of earlier requests arrive first and are not these requests' own.
    XSync(dpy_, False);
    const unsigned long before = xlibwatch::errors(dpy_);
    requests();
    XSync(dpy_, False);
    return xlibwatch::errors(dpy_) == before && !lost();
}

} // namespace mci
