#include "mci/output/X11FrameWindow.h"

#include "mci/output/X11Surface.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace mci {
namespace {

constexpr std::chrono::seconds kAttachTimeout {5};

} // namespace

X11FrameWindow::X11FrameWindow() : surface_(std::make_unique<X11Surface>()) {}

X11FrameWindow::~X11FrameWindow()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        quit_ = true;
    }
    wake();
    if (thread_.joinable())
        thread_.join();
    surface_.reset();
    if (wakeFd_ >= 0)
        ::close(wakeFd_);
}

bool X11FrameWindow::start()
{
    if (!surface_->connect())
        return false;
    wakeFd_ = eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (wakeFd_ < 0)
        return false;
    thread_ = std::thread(&X11FrameWindow::run, this);
    return true;
}

void X11FrameWindow::wake()
{
    if (wakeFd_ >= 0) {
        const uint64_t one = 1;
        [[maybe_unused]] const ssize_t n = ::write(wakeFd_, &one, sizeof one);
    }
}

void X11FrameWindow::show(FramePtr frame)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        frame_ = std::move(frame);
        frameChanged_ = true;
    }
    wake();
}

int64_t X11FrameWindow::shown() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return shown_;
}

bool X11FrameWindow::waitShown(int64_t n, std::chrono::milliseconds timeout)
{
    std::unique_lock<std::mutex> lock(mutex_);
    return done_.wait_for(lock, timeout, [&] { return shown_ == n || quit_; }) && shown_ == n;
}

WindowResult X11FrameWindow::attach(uint64_t parent)
{
    std::unique_lock<std::mutex> lock(mutex_);
    attachRequested_ = true;
    attachTo_ = parent;
    const unsigned serial = ++attachSerial_;
    lock.unlock();
    wake();
    lock.lock();
    if (!done_.wait_for(lock, kAttachTimeout, [&] { return attachDone_ == serial || quit_; }))
        return WindowResult::NoAnswer;
    return attachResult_;
}

void X11FrameWindow::setDestination(const PictureRect& rect)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        dest_ = rect;
        destSet_ = true;
        destChanged_ = true;
    }
    wake();
}

bool X11FrameWindow::hasDestination() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return destSet_;
}

PictureRect X11FrameWindow::destination() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return dest_;
}

void X11FrameWindow::setOwnGeometry(const PictureRect& rect)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ownGeometry_ = rect;
        ownGeometryChanged_ = true;
    }
    wake();
}

void X11FrameWindow::setOwnVisible(bool visible)
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        ownVisible_ = visible;
        ownVisibleChanged_ = true;
    }
    wake();
}

void X11FrameWindow::redraw()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        redraw_ = true;
    }
    wake();
}

void X11FrameWindow::applyRequests(std::unique_lock<std::mutex>& lock)
{
    if (attachRequested_) {
        attachRequested_ = false;
        const uint64_t parent = attachTo_;
        const PictureRect own = ownGeometry_;
        const unsigned serial = attachSerial_;
        lock.unlock();
        // The same window again keeps its picture and destination, if it is still there.
        const bool again = parent && surface_->attachedTo(parent);
        const WindowResult result = surface_->attach(parent, own);
        if (result == WindowResult::Ok)
            painter_.setFormat(surface_->pixelFormat());
        lock.lock();
        attachResult_ = result;
        attachDone_ = serial;
        if (result == WindowResult::Ok && !again) {
            // A new window starts with the picture filling it, as MCI's windows do.
            destSet_ = false;
            redraw_ = true;
            if (!parent)
                ownVisibleChanged_ = true;
        }
        done_.notify_all();
    }
    if (ownGeometryChanged_) {
        ownGeometryChanged_ = false;
        surface_->setOwnGeometry(ownGeometry_);
    }
    if (ownVisibleChanged_) {
        ownVisibleChanged_ = false;
        surface_->setOwnVisible(ownVisible_);
    }
}

void X11FrameWindow::draw(std::unique_lock<std::mutex>& lock)
{
    const FramePtr frame = frame_;
    const PictureRect dest = destSet_ ? dest_ : PictureRect {0, 0, surface_->width(), surface_->height()};
    frameChanged_ = destChanged_ = redraw_ = false;
    lock.unlock();
    // Without a server (gone) a frame counts as shown once handed over, as without
    // a display: positions, waits and the sound go on.
    if (uint8_t* pixels = surface_->pixels()) {
        if (frame)
            painter_.paint(*frame, dest, pixels, surface_->width(), surface_->height(), surface_->stride(),
                           FramePainter::kRoom);
        surface_->put();
    }
    lock.lock();
    shown_ = frame ? frame->number() : -1;
    done_.notify_all();
}

void X11FrameWindow::run()
{
    std::unique_lock<std::mutex> lock(mutex_);
    while (!quit_) {
        applyRequests(lock);
        lock.unlock();
        const bool exposed = surface_->handleEvents();
        lock.lock();
        if (exposed)
            redraw_ = true;
        if (frameChanged_ || destChanged_ || redraw_) {
            draw(lock);
            continue;
        }
        lock.unlock();
        // A lost connection's descriptor is left out (-1): it would stay readable.
        pollfd fds[2] = {{surface_->fd(), POLLIN, 0}, {wakeFd_, POLLIN, 0}};
        ::poll(fds, 2, 200);
        if (fds[1].revents & POLLIN) {
            uint64_t count = 0;
            [[maybe_unused]] const ssize_t n = ::read(wakeFd_, &count, sizeof count);
        }
        lock.lock();
    }
    lock.unlock();
    // Closed on this thread: after a lost server Xlib keeps the connection locked
    // for the thread that met the loss, and any other thread would wait for ever.
    surface_.reset();
}

} // namespace mci
