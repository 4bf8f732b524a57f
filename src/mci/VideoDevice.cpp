#include "mci/VideoDevice.h"

#include "mci/BmpWriter.h"
#include "mci/FrameConversion.h"
#include "mci/frames/FramePainter.h"
#include "mci/frames/HeadlessFrameWindow.h"
#include "mci/output/X11FrameWindow.h"

#include <QImage>
#include <QString>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <new>

namespace mci {
namespace {

// How long the sound may take to start before the pictures go on without it.
constexpr std::chrono::milliseconds kSoundStart {700};
// How long an open waits for its first frame to be drawn.
constexpr std::chrono::milliseconds kFirstFrameWait {3000};
// How long a capture waits for the frame on display to be decoded.
constexpr std::chrono::milliseconds kFrameWait {20000};

int64_t saturatedSum(int64_t a, int64_t b)
{
    int64_t sum = 0;
    if (__builtin_add_overflow(a, b, &sum))
        return b > 0 ? INT64_MAX : INT64_MIN;
    return sum;
}

} // namespace

bool VideoDevice::headless()
{
    const char* forced = std::getenv("KELD32_MCI_HEADLESS");
    if (forced && *forced && std::strcmp(forced, "0") != 0)
        return true;
    const char* display = std::getenv("DISPLAY");
    return !display || !*display;
}

VideoDevice::VideoDevice(PlaybackTime& time) : clock_(server_, time) {}

VideoDevice::~VideoDevice()
{
    close();
}

void VideoDevice::makeWindow()
{
    if (window_)
        return;
    if (!headless()) {
        auto x11 = std::make_unique<X11FrameWindow>();
        if (x11->start()) {
            window_ = std::move(x11);
            return;
        }
    }
    window_ = std::make_unique<HeadlessFrameWindow>();
}

ErrorCode VideoDevice::open(const std::string& path)
{
    close();
    if (path.empty()) {
        bare_ = true;
        return MCI_OK;
    }
    if (const ErrorCode err = errorOf(AvInput::check(path)))
        return err;
    const FrameServer::Result opened = server_.open(path);
    switch (opened) {
    case FrameServer::Result::Ok:
        break;
    case FrameServer::Result::NotFound:
        close();
        return MCIERR_FILE_NOT_FOUND;
    case FrameServer::Result::OutOfMemory:
        close();
        return MCIERR_OUT_OF_MEMORY;
    case FrameServer::Result::Cancelled:
        close();
        return MCIERR_OPEN_CANCELLED;
    case FrameServer::Result::Invalid:
    case FrameServer::Result::NoVideo:
        close();
        return MCIERR_INVALID_FILE;
    }
    try {
        makeWindow();
    } catch (const std::bad_alloc&) {
        close();
        return MCIERR_OUT_OF_MEMORY;
    }
    // The sound loads while frame 0 is drawn and after the open has returned; a file
    // without one never starts libmpv.
    if (server_.hasSound())
        sound_.open(path, headless());
    FrameWindow* window = window_.get();
    server_.setListener([window](const FramePtr& frame) { window->show(frame); });
    if (handle_)
        window_->attach(handle_);
    server_.show(0);
    // Open returns with the first frame on display, as a seek with "wait" would.
    window_->waitShown(0, kFirstFrameWait);
    navigation_ = Navigation::Stopped;
    return MCI_OK;
}

void VideoDevice::close()
{
    clock_.stop();
    server_.setListener({});
    server_.close();
    window_.reset();
    sound_.close();
    ownAttached_ = false;
    bare_ = false;
    navigation_ = Navigation::Stopped;
    lastReverse_ = false;
    stopAt_ = -1;
}

bool VideoDevice::hasElement() const
{
    return server_.isOpen();
}

DeviceCapabilities VideoDevice::capabilities() const
{
    DeviceCapabilities c = playsFiles("digitalvideo");
    c.hasVideo = true;
    c.canReverse = true;
    c.canSave = true;
    c.canStretch = true;
    c.windows = true;
    return c;
}

ErrorCode VideoDevice::notOpen() const
{
    return bare_ ? MCIERR_NONAPPLICABLE_FUNCTION : MCIERR_DEVICE_NOT_READY;
}

// Play that reached its end (or its stop point) leaves the device stopped there.
void VideoDevice::refresh()
{
    const bool playing = navigation_ == Navigation::PlayingForward || navigation_ == Navigation::PlayingReverse;
    // A file that changed under play ends it: nothing more can be shown from it.
    if (playing && (!clock_.running() || server_.broken())) {
        clock_.stop();
        sound_.pause();
        server_.setMotion(Motion::Still);
        navigation_ = Navigation::Stopped;
        stopAt_ = -1;
    }
}

ErrorCode VideoDevice::halt(Navigation to)
{
    if (!server_.isOpen())
        return notOpen();
    refresh();
    clock_.stop();
    sound_.pause();
    server_.setMotion(Motion::Still);
    // A pause keeps the stop point for the resume; anything else ends it.
    if (to != Navigation::Paused || navigation_ == Navigation::Stopped)
        stopAt_ = -1;
    if (to == Navigation::Paused && navigation_ == Navigation::Stopped)
        to = Navigation::Stopped;
    navigation_ = to;
    return MCI_OK;
}

// A file that shrank or was written to since the open: every request for a picture
// is refused from then on, and play stops.
ErrorCode VideoDevice::fileError()
{
    if (!server_.broken())
        return MCI_OK;
    halt(Navigation::Stopped);
    return MCIERR_FILE_READ;
}

ErrorCode VideoDevice::showOwnWindow()
{
    if (handle_ || !window_)
        return MCI_OK;
    if (!ownAttached_) {
        if (const ErrorCode err = errorOf(window_->attach(0)))
            return err;
        ownAttached_ = true;
    }
    window_->setOwnVisible(true);
    return MCI_OK;
}

ErrorCode VideoDevice::startPlay(bool reverse, int64_t last)
{
    if (!server_.isOpen())
        return notOpen();
    if (const ErrorCode err = fileError())
        return err;
    refresh();
    const int64_t at = server_.target();
    if (last >= 0) {
        last = server_.index()->clampFrame(last);
        if (reverse ? last > at : last < at)
            return MCIERR_OUTOFRANGE;
    }
    clock_.stop();
    // Like MCI's default window, the own window appears when play starts.
    showOwnWindow();
    lastReverse_ = reverse;
    const int64_t end = reverse ? 0 : server_.length() - 1;
    // A stream still being indexed has more beyond the frames found so far.
    const bool endKnown = reverse || server_.indexComplete() || server_.indexFailed();
    if ((at == end && endKnown) || at == last) {
        // At the end of its direction a medium has nothing left to play.
        sound_.pause();
        server_.setMotion(Motion::Still);
        navigation_ = Navigation::Stopped;
        stopAt_ = -1;
        return MCI_OK;
    }
    stopAt_ = last;
    server_.setMotion(reverse ? Motion::Reverse : Motion::Forward);
    PlaybackClock::Sound sound;
    sound_.pause();
    if (!reverse && sound_.mayPlay()) {
        // Called on the clock's thread, which also waits for a sound still loading;
        // the sound is not touched here again before the clock has stopped.
        sound.begin = [this](double at) { return sound_.playFrom(at, kSoundStart); };
        sound.clock = [this] { return sound_.clock(); };
        sound.join = [this](double at) { sound_.jumpTo(at); };
    }
    clock_.start(at, reverse ? -1 : 1, last, sound);
    navigation_ = reverse ? Navigation::PlayingReverse : Navigation::PlayingForward;
    return MCI_OK;
}

ErrorCode VideoDevice::play(bool reverse)
{
    return startPlay(reverse, -1);
}

ErrorCode VideoDevice::playTo(bool reverse, int64_t last)
{
    return startPlay(reverse, std::max<int64_t>(last, 0));
}

ErrorCode VideoDevice::stop()
{
    return halt(Navigation::Stopped);
}

ErrorCode VideoDevice::pause()
{
    return halt(Navigation::Paused);
}

ErrorCode VideoDevice::resume()
{
    if (!server_.isOpen())
        return notOpen();
    refresh();
    if (navigation_ == Navigation::PlayingForward || navigation_ == Navigation::PlayingReverse)
        return MCI_OK;
    return startPlay(lastReverse_, stopAt_);
}

ErrorCode VideoDevice::seek(int64_t frame)
{
    if (const ErrorCode err = halt(Navigation::Stopped))
        return err;
    if (const ErrorCode err = fileError())
        return err;
    // Returns at once: the position is the frame that will show, and the mode says
    // "seeking" until it does. A newer request supersedes this one.
    server_.show(frame);
    return MCI_OK;
}

ErrorCode VideoDevice::step(int64_t frames)
{
    if (const ErrorCode err = halt(Navigation::Stopped))
        return err;
    if (const ErrorCode err = fileError())
        return err;
    server_.show(saturatedSum(server_.target(), frames));
    return MCI_OK;
}

ErrorCode VideoDevice::landed()
{
    if (!server_.isOpen())
        return MCI_OK;
    if (const ErrorCode err = fileError())
        return err;
    // The position names a frame whose packet decodes to no picture: the display
    // keeps the picture it had.
    const int64_t target = server_.target();
    return frameShown() != target && server_.undecodable(target) ? MCIERR_FILE_READ : MCI_OK;
}

int64_t VideoDevice::position()
{
    refresh();
    return server_.isOpen() ? server_.target() : 0;
}

int VideoDevice::indexedPercent()
{
    return server_.isOpen() ? server_.indexedPercent() : 100;
}

int64_t VideoDevice::length()
{
    return server_.isOpen() ? server_.length() : 0;
}

int64_t VideoDevice::nominalFrameRate1000()
{
    return server_.isOpen() ? int64_t(std::llround(server_.index()->frameRate() * 1000)) : 0;
}

// Milliseconds follow the frames' own times: a picture held for seconds counts as long
// as it is shown.
int64_t VideoDevice::millisecondsOf(int64_t frame)
{
    if (!server_.isOpen() || frame < 0)
        return MciDevice::millisecondsOf(frame);
    return server_.index()->millisecondsOf(frame);
}

int64_t VideoDevice::frameAtMilliseconds(int64_t ms)
{
    if (!server_.isOpen() || ms < 0)
        return MciDevice::frameAtMilliseconds(ms);
    return server_.index()->frameAtMilliseconds(ms);
}

DeviceMode VideoDevice::mode()
{
    if (!server_.isOpen())
        return bare_ ? DeviceMode::Stopped : DeviceMode::NotReady;
    refresh();
    switch (navigation_) {
    case Navigation::PlayingForward:
    case Navigation::PlayingReverse:
        return DeviceMode::Playing;
    case Navigation::Paused:
    case Navigation::Stopped:
        break;
    }
    // Nothing moves towards a frame that will never come.
    if (frameShown() != server_.target() && !server_.undecodable(server_.target()))
        return DeviceMode::Seeking;
    return navigation_ == Navigation::Paused ? DeviceMode::Paused : DeviceMode::Stopped;
}

// Play ends when the clock stops; a seek or a step when the window has drawn the
// frame the position names.
void VideoDevice::awaitChange(std::chrono::milliseconds bound)
{
    if (clock_.running())
        clock_.waitEnded(bound);
    else if (window_)
        window_->waitShown(server_.target(), bound);
    else
        MciDevice::awaitChange(bound);
}

bool VideoDevice::ready()
{
    return server_.isOpen() || bare_;
}

int VideoDevice::volume()
{
    return sound_.volume();
}

ErrorCode VideoDevice::setVolume(int volume0to1000)
{
    return sound_.setVolume(volume0to1000) ? MCI_OK : MCIERR_OUTOFRANGE;
}

Rect VideoDevice::source()
{
    if (!server_.isOpen())
        return {};
    return {0, 0, server_.index()->displayWidth(), server_.index()->displayHeight()};
}

Rect VideoDevice::destination()
{
    if (window_ && window_->hasDestination())
        return rectOf(window_->destination());
    return source();
}

ErrorCode VideoDevice::setWindowHandle(uint64_t nativeWindow)
{
    if (!window_) {
        // Before an open: kept for the window that comes with the medium.
        handle_ = nativeWindow;
        return MCI_OK;
    }
    // The same window handle again is checked again: it may have been destroyed since.
    if (!nativeWindow && !handle_ && ownAttached_)
        return MCI_OK;
    if (const ErrorCode err = errorOf(window_->attach(nativeWindow)))
        return err;
    handle_ = nativeWindow;
    ownAttached_ = nativeWindow == 0;
    return MCI_OK;
}

ErrorCode VideoDevice::putDestination(const Rect& rect)
{
    if (!server_.isOpen())
        return notOpen();
    if (rect.width <= 0 || rect.height <= 0)
        return MCIERR_OUTOFRANGE;
    window_->setDestination(pictureRectOf(rect));
    return MCI_OK;
}

ErrorCode VideoDevice::putWindow(const Rect& rect)
{
    if (!server_.isOpen())
        return notOpen();
    if (rect.width <= 0 || rect.height <= 0)
        return MCIERR_OUTOFRANGE;
    window_->setOwnGeometry(pictureRectOf(rect));
    return MCI_OK;
}

ErrorCode VideoDevice::showWindow(bool show)
{
    if (!server_.isOpen())
        return notOpen();
    // Only the own window can be shown or hidden; a borrowed one is its owner's.
    if (handle_)
        return MCI_OK;
    if (show)
        return showOwnWindow();
    window_->setOwnVisible(false);
    return MCI_OK;
}

ErrorCode VideoDevice::update()
{
    if (!server_.isOpen())
        return notOpen();
    window_->redraw();
    return MCI_OK;
}

int64_t VideoDevice::frameShown() const
{
    return window_ ? window_->shown() : -1;
}

bool VideoDevice::waitShown(int64_t frame, std::chrono::milliseconds timeout)
{
    return window_ && window_->waitShown(frame, timeout);
}

ErrorCode VideoDevice::capture(const std::string& path)
{
    if (!server_.isOpen())
        return notOpen();
    if (path.empty())
        return MCIERR_FILENAME_REQUIRED;
    if (const ErrorCode err = fileError())
        return err;
    refresh();
    // The frame the position names, exact by construction: the server's own.
    const FramePtr frame = server_.waitFor(server_.target(), kFrameWait);
    if (!frame)
        return server_.undecodable(server_.target()) ? MCIERR_FILE_READ : MCIERR_DRIVER;
    const Rect src = source();
    QImage image(src.width, src.height, QImage::Format_RGB32);
    if (image.isNull())
        return MCIERR_OUT_OF_MEMORY;
    FramePainter painter;
    if (!painter.paint(*frame, pictureRectOf(src), image.bits(), image.width(), image.height(), int(image.bytesPerLine())))
        return MCIERR_DRIVER;
    return BmpWriter::write(image, QString::fromStdString(path)) ? MCI_OK : MCIERR_FILE_WRITE;
}

} // namespace mci
