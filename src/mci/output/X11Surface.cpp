#include "mci/output/X11Surface.h"

#include "mci/frames/FramePainter.h"
#include "mci/output/XlibConnection.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <cstdio>
#include <cstdlib>

namespace mci {
namespace {

// Window ids are 29-bit numbers; anything larger names no window.
constexpr uint64_t kLargestWindowId = 0x1FFFFFFF;
constexpr int kDefaultWidth = 320;
constexpr int kDefaultHeight = 240;

int bitsPerPixelOf(::Display* dpy, int depth)
{
    int count = 0;
    XPixmapFormatValues* formats = XListPixmapFormats(dpy, &count);
    int bits = 0;
    for (int i = 0; i < count; ++i)
        if (formats[i].depth == depth)
            bits = formats[i].bits_per_pixel;
    if (formats)
        XFree(formats);
    return bits;
}

// The pixel format a window of this visual takes; -1 for one whose pixels are
// no colours of their own (a palette of 8 bits or fewer).
int formatOf(::Display* dpy, Visual* visual, int depth)
{
    if (!visual || visual->c_class != TrueColor)
        return -1;
    return FramePainter::formatFor({bitsPerPixelOf(dpy, depth), uint32_t(visual->red_mask),
                                    uint32_t(visual->green_mask), uint32_t(visual->blue_mask),
                                    ImageByteOrder(dpy) == MSBFirst});
}

} // namespace

struct X11Surface::Impl {
    XlibConnection connection;
    ::Display* dpy = nullptr;
    Visual* visual = nullptr;
    int depth = 0;
    int bitsPerPixel = 0;
    GC gc = nullptr;
    XImage* image = nullptr;
    XShmSegmentInfo shm {};
    bool shmAvailable = false;
    bool usingShm = false;
    Atom deleteWindow = 0;
    PictureRect own;   // where the own top-level window goes, outer top-left corner
};

X11Surface::X11Surface() : d_(new Impl) {}

X11Surface::~X11Surface()
{
    detach();
    delete d_;   // closes the connection
}

bool X11Surface::connect()
{
    if (!d_->connection.open())
        return false;
    d_->dpy = d_->connection.display();
    d_->shmAvailable = XShmQueryExtension(d_->dpy) && !std::getenv("KELD32_MCI_NO_SHM");
    d_->deleteWindow = XInternAtom(d_->dpy, "WM_DELETE_WINDOW", False);
    return true;
}

bool X11Surface::lost() const
{
    return d_->connection.lost();
}

int X11Surface::fd() const
{
    return lost() ? -1 : ConnectionNumber(d_->dpy);
}

WindowResult X11Surface::attach(uint64_t parent, const PictureRect& own)
{
    ::Display* dpy = d_->dpy;
    if (!dpy)
        return WindowResult::NoDisplay;
    if (lost())
        return WindowResult::DisplayGone;
    if (parent > kLargestWindowId)
        return WindowResult::NoSuchWindow;
    if (parent && attachedTo(parent))
        return checkParent();
    // The new window is checked first: a refused handle leaves the old one drawn.
    XWindowAttributes a {};
    if (parent) {
        if (!d_->connection.succeeds([&] { XGetWindowAttributes(dpy, Window(parent), &a); }) || a.width <= 0)
            return lost() ? WindowResult::DisplayGone : WindowResult::NoSuchWindow;   // names no window
    } else {
        a.visual = DefaultVisual(dpy, DefaultScreen(dpy));
        a.depth = DefaultDepth(dpy, DefaultScreen(dpy));
        a.width = own.width > 0 ? own.width : kDefaultWidth;
        a.height = own.height > 0 ? own.height : kDefaultHeight;
    }
    const int format = formatOf(dpy, a.visual, a.depth);
    if (format < 0) {
        std::fprintf(stderr, "KELD32: the video device cannot draw into a window of depth %d (%s): only "
                             "displays of 15, 16, 24 or 32 bits are supported\n",
                     a.depth, a.visual && a.visual->c_class == TrueColor ? "unknown pixel layout" : "colour palette");
        return WindowResult::UnsupportedDepth;
    }
    detach();
    d_->visual = a.visual;
    d_->depth = a.depth;
    d_->bitsPerPixel = bitsPerPixelOf(dpy, a.depth);
    format_ = format;
    return createWindow(parent, own, a.width, a.height);
}

// The same handle again: still drawn into if the window is still there.
WindowResult X11Surface::checkParent()
{
    XWindowAttributes a {};
    if (d_->connection.succeeds([&] { XGetWindowAttributes(d_->dpy, Window(parent_), &a); }))
        return WindowResult::Ok;
    if (lost())
        return WindowResult::DisplayGone;
    forgetWindow();   // went with its parent
    return WindowResult::NoSuchWindow;
}

WindowResult X11Surface::createWindow(uint64_t parent, const PictureRect& own, int width, int height)
{
    ::Display* dpy = d_->dpy;
    XSetWindowAttributes swa {};
    swa.background_pixel = 0;
    swa.border_pixel = 0;
    const Window host = parent ? Window(parent) : RootWindow(dpy, DefaultScreen(dpy));
    d_->own = {own.left, own.top, width, height};
    Window w = 0;
    const bool made = d_->connection.succeeds([&] {
        w = XCreateWindow(dpy, host, parent ? 0 : own.left, parent ? 0 : own.top, unsigned(width),
                          unsigned(height), 0, CopyFromParent, InputOutput, CopyFromParent,
                          CWBackPixel | CWBorderPixel, &swa);
    });
    if (!made || !w)
        return lost() ? WindowResult::DisplayGone : WindowResult::NoSuchWindow;
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
        placeOwn();
    }
    d_->gc = XCreateGC(dpy, w, 0, nullptr);
    width_ = width;
    height_ = height;
    makeImage();
    XSync(dpy, False);
    return lost() ? WindowResult::DisplayGone : WindowResult::Ok;
}

// Position and size of the own window, as the caller asked for them. A window
// manager places a window where it likes unless told that the user chose the
// place (USPosition): the hints go with every move, before and after mapping.
void X11Surface::placeOwn()
{
    const PictureRect& r = d_->own;
    XSizeHints hints {};
    hints.flags = USPosition | USSize | PPosition | PSize | PWinGravity;
    hints.x = r.left;
    hints.y = r.top;
    hints.width = r.width;
    hints.height = r.height;
    hints.win_gravity = NorthWestGravity;
    XSetWMNormalHints(d_->dpy, window_, &hints);
    XMoveResizeWindow(d_->dpy, window_, r.left, r.top, unsigned(r.width), unsigned(r.height));
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
        d_->connection.succeeds([&] {
            XDestroyWindow(d_->dpy, window_);
            if (parent_)
                XSelectInput(d_->dpy, parent_, NoEventMask);
        });
    }
    window_ = 0;
    parent_ = 0;
    width_ = height_ = 0;
}

void X11Surface::forgetWindow()
{
    freeImage();
    window_ = 0;
    parent_ = 0;
}

bool X11Surface::makeSharedImage()
{
    ::Display* dpy = d_->dpy;
    XImage* image = XShmCreateImage(dpy, d_->visual, unsigned(d_->depth), ZPixmap, nullptr, &d_->shm,
                                    unsigned(width_), unsigned(height_));
    if (image && image->bits_per_pixel == d_->bitsPerPixel) {
        d_->shm.shmid = shmget(IPC_PRIVATE, size_t(image->bytes_per_line) * size_t(height_) + FramePainter::kRoom,
                               IPC_CREAT | 0600);
        d_->shm.shmaddr = d_->shm.shmid >= 0 ? static_cast<char*>(shmat(d_->shm.shmid, nullptr, 0)) : nullptr;
        if (d_->shm.shmaddr && d_->shm.shmaddr != reinterpret_cast<char*>(-1)) {
            image->data = d_->shm.shmaddr;
            d_->shm.readOnly = False;
            const bool attached = d_->connection.succeeds([&] { XShmAttach(dpy, &d_->shm); });
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
    if (!lost())
        d_->shmAvailable = false;   // a remote server: plain images from now on
    return false;
}

bool X11Surface::makeImage()
{
    if (width_ <= 0 || height_ <= 0 || lost())
        return false;
    if (d_->shmAvailable && makeSharedImage())
        return true;
    // Xlib works out the row length (rows padded to 32 bits) for the visual's pixels.
    XImage* image = XCreateImage(d_->dpy, d_->visual, unsigned(d_->depth), ZPixmap, 0, nullptr, unsigned(width_),
                                 unsigned(height_), 32, 0);
    if (!image)
        return false;
    image->data = static_cast<char*>(std::calloc(size_t(image->bytes_per_line) * size_t(height_) + FramePainter::kRoom, 1));
    if (!image->data || image->bits_per_pixel != d_->bitsPerPixel) {
        XDestroyImage(image);   // frees the pixels too
        return false;
    }
    d_->image = image;
    d_->usingShm = false;
    return true;
}

void X11Surface::freeImage()
{
    if (!d_->image)
        return;
    if (d_->usingShm) {
        d_->connection.succeeds([&] { XShmDetach(d_->dpy, &d_->shm); });
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

void X11Surface::setOwnGeometry(const PictureRect& r)
{
    if (r.width <= 0 || r.height <= 0)
        return;
    d_->own = r;
    if (!ownWindow() || lost())
        return;
    placeOwn();
    XFlush(d_->dpy);
}

void X11Surface::setOwnVisible(bool visible)
{
    if (!ownWindow() || lost())
        return;
    if (visible) {
        XMapRaised(d_->dpy, window_);
        // Some window managers place a window by their own rules when it is mapped.
        placeOwn();
    } else {
        XUnmapWindow(d_->dpy, window_);
    }
    XFlush(d_->dpy);
}

bool X11Surface::handleEvents()
{
    bool again = false;
    while (d_->dpy && !lost() && XPending(d_->dpy)) {
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
            if (parent_ && ev.xdestroywindow.window == parent_)
                forgetWindow();   // our window went with it
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
    return d_->image && !lost() ? reinterpret_cast<uint8_t*>(d_->image->data) : nullptr;
}

int X11Surface::stride() const
{
    return d_->image ? d_->image->bytes_per_line : 0;
}

void X11Surface::put()
{
    if (!window_ || !d_->image || lost())
        return;
    if (d_->usingShm)
        XShmPutImage(d_->dpy, window_, d_->gc, d_->image, 0, 0, 0, 0, unsigned(width_), unsigned(height_), False);
    else
        XPutImage(d_->dpy, window_, d_->gc, d_->image, 0, 0, 0, 0, unsigned(width_), unsigned(height_));
    // The image is written again for the next frame: the server must be done with it.
    XSync(d_->dpy, False);
}

} // namespace mci
