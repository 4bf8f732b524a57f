#include "mci/X11Surface.h"

#include "mci/XlibErrorGuard.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <atomic>
#include <mutex>
#include <cstdlib>
#include <vector>

namespace mci {
namespace {

// Window ids are 29-bit numbers; anything larger names no window.
constexpr uint64_t kLargestWindowId = 0x1FFFFFFF;

std::atomic<bool> requestFailed {false};

int noteFailure(::Display*, XErrorEvent*)
{
    requestFailed = true;
    return 0;
}

// Runs X requests and tells whether the server refused any of them.
template <typename F>
bool succeeds(::Display* dpy, F requests)
{
    // The handler is the process's: one window at a time.
    static std::mutex serial;
    std::lock_guard<std::mutex> lock(serial);
    XSync(dpy, False);
    requestFailed = false;
    const XErrorHandler previous = XSetErrorHandler(&noteFailure);
    requests();
    XSync(dpy, False);
    XSetErrorHandler(previous);
    return !requestFailed;
}

// Pixels are written as B, G, R, A bytes: the visual must read them that way.
bool drawable(::Display* dpy, Visual* visual, int depth)
{
    return visual && (depth == 24 || depth == 32) && visual->red_mask == 0xff0000 && visual->green_mask == 0xff00
           && visual->blue_mask == 0xff && ImageByteOrder(dpy) == LSBFirst;
}

} // namespace

struct X11Surface::Impl {
    ::Display* dpy = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    XShmSegmentInfo shm {};
    bool shmAvailable = false;
    bool usingShm = false;
    Atom deleteWindow = 0;
};

X11Surface::X11Surface() : d_(new Impl) {}

X11Surface::~X11Surface()
{
    detach();
    if (d_->dpy)
        XCloseDisplay(d_->dpy);
    delete d_;
}

bool X11Surface::connect()
{
    KeepXlibErrorsNonFatal();
    d_->dpy = XOpenDisplay(nullptr);
    if (!d_->dpy)
        return false;
    d_->shmAvailable = XShmQueryExtension(d_->dpy) && !std::getenv("KELD32_MCI_NO_SHM");
    d_->deleteWindow = XInternAtom(d_->dpy, "WM_DELETE_WINDOW", False);
    return true;
}

int X11Surface::fd() const
{
    return d_->dpy ? ConnectionNumber(d_->dpy) : -1;
}

ErrorCode X11Surface::attach(uint64_t parent, const Rect& own)
{
    detach();
    ::Display* dpy = d_->dpy;
    if (!dpy)
        return MCIERR_DEVICE_NOT_READY;
    if (parent > kLargestWindowId)
        return MCIERR_OUTOFRANGE;
    XWindowAttributes a {};
    if (parent) {
        if (!succeeds(dpy, [&] { XGetWindowAttributes(dpy, Window(parent), &a); }) || a.width <= 0)
            return MCIERR_OUTOFRANGE;   // names no window
    } else {
        a.visual = DefaultVisual(dpy, DefaultScreen(dpy));
        a.depth = DefaultDepth(dpy, DefaultScreen(dpy));
        a.width = own.width > 0 ? own.width : 320;
        a.height = own.height > 0 ? own.height : 240;
    }
    if (!drawable(dpy, a.visual, a.depth))
        return MCIERR_UNSUPPORTED_FUNCTION;
    d_->visual = a.visual;
    d_->depth = a.depth;
    XSetWindowAttributes swa {};
    swa.background_pixel = 0;
    swa.border_pixel = 0;
    const Window host = parent ? Window(parent) : RootWindow(dpy, DefaultScreen(dpy));
    Window w = 0;
    const bool made = succeeds(dpy, [&] {
        w = XCreateWindow(dpy, host, parent ? 0 : own.left, parent ? 0 : own.top, unsigned(a.width),
                          unsigned(a.height), 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWBackPixel | CWBorderPixel, &swa);
    });
    if (!made || !w)
        return MCIERR_OUTOFRANGE;
    window_ = w;
    parent_ = parent;
    if (parent) {
        // Only what the window needs to draw itself: input stays the owner's.
        XSelectInput(dpy, w, ExposureMask);
        XSelectInput(dpy, Window(parent), StructureNotifyMask);
        XMapWindow(dpy, w);
    } else {
        XStoreName(dpy, w, "KELD32");
        XSetWMProtocols(dpy, w, &d_->deleteWindow, 1);
        XSelectInput(dpy, w, ExposureMask | StructureNotifyMask);
    }
    d_->gc = XCreateGC(dpy, w, 0, nullptr);
    width_ = a.width;
    height_ = a.height;
    makeImage();
    XSync(dpy, False);
    return MCI_OK;
}

void X11Surface::detach()
{
    if (!d_->dpy)
        return;
    freeImage();
    if (d_->gc)
        XFreeGC(d_->dpy, d_->gc);
    d_->gc = nullptr;
    if (window_) {
        // The parent may be gone already, and our window with it: nothing to report.
        succeeds(d_->dpy, [&] {
            XDestroyWindow(d_->dpy, window_);
            if (parent_)
                XSelectInput(d_->dpy, parent_, NoEventMask);
        });
    }
    window_ = 0;
    parent_ = 0;
    width_ = height_ = 0;
}

bool X11Surface::makeImage()
{
    ::Display* dpy = d_->dpy;
    if (width_ <= 0 || height_ <= 0)
        return false;
    if (d_->shmAvailable) {
        XImage* image = XShmCreateImage(dpy, d_->visual, unsigned(d_->depth), ZPixmap, nullptr, &d_->shm,
                                        unsigned(width_), unsigned(height_));
        if (image && image->bits_per_pixel == 32) {
            d_->shm.shmid = shmget(IPC_PRIVATE, size_t(image->bytes_per_line) * size_t(height_), IPC_CREAT | 0600);
            d_->shm.shmaddr = d_->shm.shmid >= 0 ? static_cast<char*>(shmat(d_->shm.shmid, nullptr, 0)) : nullptr;
            if (d_->shm.shmaddr && d_->shm.shmaddr != reinterpret_cast<char*>(-1)) {
                image->data = d_->shm.shmaddr;
                d_->shm.readOnly = False;
                const bool attached = succeeds(dpy, [&] { XShmAttach(dpy, &d_->shm); });
                // Marked for removal now: it goes when both sides let go, even after a crash.
                shmctl(d_->shm.shmid, IPC_RMID, nullptr);
                if (attached) {
                    d_->image = image;
                    d_->usingShm = true;
                    return true;
                }
                shmdt(d_->shm.shmaddr);
            }
            image->data = nullptr;
        }
        if (image)
            XDestroyImage(image);
        d_->shmAvailable = false;   // a remote server: plain images from now on
    }
    char* data = static_cast<char*>(std::calloc(size_t(width_) * size_t(height_), 4));
    if (!data)
        return false;
    d_->image = XCreateImage(dpy, d_->visual, unsigned(d_->depth), ZPixmap, 0, data, unsigned(width_),
                             unsigned(height_), 32, 0);
    if (!d_->image) {
        std::free(data);
        return false;
    }
    d_->usingShm = false;
    return true;
}

void X11Surface::freeImage()
{
    if (!d_->image)
        return;
    if (d_->usingShm) {
        succeeds(d_->dpy, [&] { XShmDetach(d_->dpy, &d_->shm); });
        shmdt(d_->shm.shmaddr);
        d_->image->data = nullptr;
    }
    XDestroyImage(d_->image);   // frees a plain image's pixels too
    d_->image = nullptr;
    d_->usingShm = false;
}

void X11Surface::resize(int width, int height)
{
    if (width == width_ && height == height_)
        return;
    freeImage();
    width_ = width;
    height_ = height;
    makeImage();
}

void X11Surface::setOwnGeometry(const Rect& r)
{
    if (!ownWindow() || r.width <= 0 || r.height <= 0)
        return;
    XMoveResizeWindow(d_->dpy, window_, r.left, r.top, unsigned(r.width), unsigned(r.height));
    XFlush(d_->dpy);
}

void X11Surface::setOwnVisible(bool visible)
{
    if (!ownWindow())
        return;
    if (visible)
        XMapRaised(d_->dpy, window_);
    else
        XUnmapWindow(d_->dpy, window_);
    XFlush(d_->dpy);
}

bool X11Surface::handleEvents()
{
    bool again = false;
    while (d_->dpy && XPending(d_->dpy)) {
        XEvent ev;
        XNextEvent(d_->dpy, &ev);
        switch (ev.type) {
        case Expose:
            again = again || ev.xexpose.count == 0;
            break;
        case ConfigureNotify:
            if (parent_ && ev.xconfigure.window == parent_ && window_) {
                XResizeWindow(d_->dpy, window_, unsigned(ev.xconfigure.width), unsigned(ev.xconfigure.height));
                resize(ev.xconfigure.width, ev.xconfigure.height);
                again = true;
            } else if (!parent_ && ev.xconfigure.window == window_) {
                resize(ev.xconfigure.width, ev.xconfigure.height);
                again = true;
            }
            break;
        case DestroyNotify:
            if (parent_ && ev.xdestroywindow.window == parent_) {
                // Our window went with it.
                freeImage();
                window_ = 0;
                parent_ = 0;
            }
            break;
        case ClientMessage:
            if (Atom(ev.xclient.data.l[0]) == d_->deleteWindow)
                setOwnVisible(false);
            break;
        default:
            break;
        }
    }
    return again;
}

uint8_t* X11Surface::pixels()
{
    return d_->image ? reinterpret_cast<uint8_t*>(d_->image->data) : nullptr;
}

int X11Surface::stride() const
{
    return d_->image ? d_->image->bytes_per_line : 0;
}

void X11Surface::put()
{
    if (!window_ || !d_->image)
        return;
    if (d_->usingShm)
        XShmPutImage(d_->dpy, window_, d_->gc, d_->image, 0, 0, 0, 0, unsigned(width_), unsigned(height_), False);
    else
        XPutImage(d_->dpy, window_, d_->gc, d_->image, 0, 0, 0, 0, unsigned(width_), unsigned(height_));
    // The image is written again for the next frame: the server must be done with it.
    XSync(d_->dpy, False);
}

} // namespace mci
