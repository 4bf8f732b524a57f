#include "mci/MpvDevice.h"

#include "mci/BmpWriter.h"
#include "mci/FrameIndex.h"
#include "mci/MpvDisplay.h"
#include "mci/MpvHandle.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace mci {
namespace {

enum class Transport { Stopped, Paused, Forward, Reverse };

constexpr std::chrono::milliseconds kOpenTimeout {10000};
constexpr std::chrono::milliseconds kSeekTimeout {10000};
constexpr int64_t kAudioFramesPerSecond = 1000;   // a waveaudio "frame" is a millisecond

std::string number(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.6f", v);
    return buf;
}

// MPEG program and transport streams seek exactly only when the demuxer starts
// a little before the target; elsewhere that offset would just slow every seek.
std::string demuxerOffsetFor(const std::string& format)
{
    return format.find("mpeg") != std::string::npos || format == "vob" ? "1" : "0";
}

} // namespace

bool MpvDevice::headless()
{
    const char* forced = std::getenv("KELD32_MCI_HEADLESS");
    if (forced && *forced && std::strcmp(forced, "0") != 0)
        return true;
    const char* display = std::getenv("DISPLAY");
    return !display || !*display;
}

struct MpvDevice::Impl {
    explicit Impl(bool video) : video(video) {}

    const bool video;            // digitalvideo; otherwise waveaudio
    bool bare = false;
    std::unique_ptr<MpvHandle> mpv;
    FrameIndex index;
    int64_t pos = 0;
    Transport transport = Transport::Stopped;
    bool lastReverse = false;
    bool backward = false;       // libmpv currently plays backwards
    unsigned placedForResizes = 0;
    double playStartTime = -2;   // observed time when play began (stale until it changes)
    unsigned eofRisesAtPlay = 0;
    int volume = 1000;
    MpvDisplay display;

    // --- frames <-> time ----------------------------------------------------
    int64_t frameCount() const
    {
        if (video)
            return index.count();
        return int64_t(std::llround(index.duration() * kAudioFramesPerSecond));
    }
    int64_t frameOfTime(double t, bool afterSeek = false) const
    {
        if (video)
            return afterSeek ? index.frameFrom(t) : index.frameAt(t);
        return std::clamp<int64_t>(int64_t(std::floor(t * kAudioFramesPerSecond + 1e-3)), 0,
                                   std::max<int64_t>(frameCount() - 1, 0));
    }
    double targetOf(int64_t n) const
    {
        return video ? index.seekTargetOf(n) : double(n) / kAudioFramesPerSecond;
    }
    int64_t clampFrame(int64_t n) const
    {
        return std::clamp<int64_t>(n, 0, std::max<int64_t>(frameCount() - 1, 0));
    }

    // libmpv's backward demuxer gives up on MPEG program and transport streams.
    bool backwardCapable() const
    {
        const std::string& f = index.formatName();
        return video && f.find("mpeg") == std::string::npos && f != "vob";
    }

    // --- libmpv ---------------------------------------------------------------
    MpvHandle::Options options(const std::string& format) const
    {
        const bool noDisplay = MpvDevice::headless();
        MpvHandle::Options o = {
            {"config", "no"},           {"terminal", "no"},        {"idle", "yes"},
            {"keep-open", "yes"},       {"pause", "yes"},          {"hr-seek", "yes"},
            {"rebase-start-time", "no"}, {"input-default-bindings", "no"},
            {"input-vo-keyboard", "no"}, {"input-cursor", "no"},   {"osc", "no"},
            {"osd-level", "0"},         {"keepaspect", "no"},      {"ytdl", "no"},
            {"load-scripts", "no"},     {"sub-auto", "no"},        {"audio-file-auto", "no"},
            {"hwdec", "no"},            {"force-window", "no"},    {"stop-screensaver", "no"},
            // The demuxer cache stays off: with it on, libmpv 0.35 turns the seek that
            // starts backward play of H.264 into an in-cache seek "to nothing" and
            // the picture never moves. Without it the backward demuxer reads the file.
            {"cache", "no"},
            {"hr-seek-demuxer-offset", demuxerOffsetFor(format)},
            {"volume", number(volume / 10.0)},
            {"ao", noDisplay ? "null" : "pulse,alsa,null"},
        };
        if (const char* log = std::getenv("KELD32_MPV_LOG"); log && *log) {
            // For diagnosis: libmpv's own log on stderr, at the given level.
            o.push_back({"terminal", "yes"});
            o.push_back({"msg-level", std::string("all=") + log});
        }
        if (!video) {
            o.push_back({"vid", "no"});
            o.push_back({"audio-display", "no"});
        }
        display.addOptions(o, noDisplay);
        return o;
    }

    void syncPosition(bool afterSeek = false)
    {
        double t = 0;
        if (mpv && mpv->getDouble("time-pos", t))
            pos = frameOfTime(t, afterSeek);
    }

    // Brings play back to forward direction, keeping the frame on display.
    ErrorCode restoreForward()
    {
        if (!backward)
            return MCI_OK;
        backward = false;
        const int64_t keep = pos;
        mpv->setFlag("pause", true);
        // Changing direction makes libmpv seek by itself; a second seek on top of
        // that one can leave it waiting for ever, so the restart is awaited first.
        mpv->pump();
        mpv->set("play-dir", "forward");
        mpv->waitForRestart(kSeekTimeout);
        return seekFrame(keep, true);
    }

    ErrorCode exactSeek(double target)
    {
        mpv->pump();
        if (mpv->command({"seek", number(target).c_str(), "absolute+exact"}) < 0)
            return MCIERR_DRIVER;
        return mpv->waitForRestart(kSeekTimeout) ? MCI_OK : MCIERR_DRIVER;
    }

    ErrorCode seekFrame(int64_t n, bool force = false)
    {
        if (!mpv)
            return MCIERR_DEVICE_NOT_READY;
        ErrorCode err = restoreForward();
        if (err != MCI_OK)
            return err;
        n = clampFrame(n);
        if (transport == Transport::Forward || transport == Transport::Reverse || !mpv->observed().pause) {
            mpv->setFlag("pause", true);
            transport = Transport::Stopped;
        }
        if (!force && n == pos && mpv->observed().pause)
            return MCI_OK;
        err = exactSeek(targetOf(n));
        if (err != MCI_OK)
            return err;
        syncPosition(true);
        // Audio lands on its own block boundaries, a few milliseconds either side.
        if (!video && std::llabs(pos - n) <= 20)
            pos = n;
        if (pos > n && video) {
            // Landed late: the demuxer started after the key frame we needed.
            // Start it further back once; exactness beats speed here.
            const std::string offset = mpv->getString("hr-seek-demuxer-offset");
            mpv->set("hr-seek-demuxer-offset", "3");
            err = exactSeek(targetOf(n));
            mpv->set("hr-seek-demuxer-offset", offset.empty() ? "0" : offset);
            syncPosition(true);
        }
        return err;
    }

    // One frame forward without a seek: the decoder usually holds the next frame
    // already, so this costs a frame's display instead of decoding from a key frame.
    // Whatever it shows is checked, and an exact seek repairs any other outcome.
    ErrorCode stepOneForward()
    {
        const int64_t want = pos + 1;
        if (!video || backward || want > frameCount() - 1)
            return seekFrame(want);
        double before = -1;
        mpv->pump();
        if (!mpv->getDouble("time-pos", before) || mpv->command({"frame-step"}) < 0)
            return seekFrame(want);
        const bool moved = mpv->waitUntil(
            [before](const MpvHandle::Observed& o) { return o.timePos >= 0 && o.timePos != before; },
            std::chrono::milliseconds(2000));
        mpv->setFlag("pause", true);
        transport = Transport::Stopped;
        syncPosition(true);
        if (!moved || pos != want)
            return seekFrame(want, true);
        return MCI_OK;
    }

    // The destination is kept in window pixels, so a window that changed size
    // (the player sizes it right after handing it over) needs the picture placed again.
    void followWindowSize()
    {
        if (mpv->windowResizes() == placedForResizes)
            return;
        placedForResizes = mpv->windowResizes();
        display.place(*mpv);
    }

    // Follows playback from the observed properties; no round trip unless it ended.
    void refresh()
    {
        if (!mpv)
            return;
        mpv->pump();
        followWindowSize();
        if (transport != Transport::Forward && transport != Transport::Reverse)
            return;
        const auto& seen = mpv->observed();
        if (mpv->eofRises() != eofRisesAtPlay) {
            syncPosition();
            transport = Transport::Stopped;
            return;
        }
        if (seen.timePos != playStartTime && seen.timePos >= 0)
            pos = frameOfTime(seen.timePos);
    }

    ErrorCode startPlay(bool reverse)
    {
        if (!mpv)
            return bare ? MCIERR_NONAPPLICABLE_FUNCTION : MCIERR_DEVICE_NOT_READY;
        if (reverse && !backwardCapable())
            return MCIERR_UNSUPPORTED_FUNCTION;
        refresh();
        if (!reverse) {
            const ErrorCode err = restoreForward();
            if (err != MCI_OK)
                return err;
        }
        lastReverse = reverse;
        // Like MCI's default window, libmpv's own one appears when play starts.
        if (!display.handle() && !display.attached())
            attachDisplay(true);
        // At the end of its direction a medium has nothing left to play.
        if ((!reverse && pos >= frameCount() - 1) || (reverse && pos <= 0)) {
            transport = Transport::Stopped;
            return MCI_OK;
        }
        if (reverse && !backward) {
            mpv->setFlag("pause", true);
            mpv->pump();
            // libmpv seeks to the current time by itself when the direction changes.
            mpv->set("play-dir", "backward");
            backward = true;
            if (!mpv->waitForRestart(kSeekTimeout))
                return MCIERR_DRIVER;
        }
        mpv->pump();
        playStartTime = mpv->observed().timePos;
        eofRisesAtPlay = mpv->eofRises();
        mpv->setFlag("pause", false);
        transport = reverse ? Transport::Reverse : Transport::Forward;
        return MCI_OK;
    }

    ErrorCode halt(Transport to)
    {
        if (!mpv)
            return bare ? MCIERR_NONAPPLICABLE_FUNCTION : MCIERR_DEVICE_NOT_READY;
        refresh();
        mpv->setFlag("pause", true);
        syncPosition();
        transport = to;
        return MCI_OK;
    }

    // Output on or off; the new output needs the frame on display sought again.
    ErrorCode attachDisplay(bool on)
    {
        if (!mpv || !video || MpvDevice::headless() || (!on && !display.attached()))
            return MCI_OK;
        const int64_t keep = pos;
        mpv->setFlag("pause", true);
        display.switchOutput(*mpv, on);
        transport = Transport::Stopped;
        const ErrorCode err = seekFrame(keep, true);
        display.place(*mpv);
        return err;
    }
};

MpvDevice::MpvDevice(std::string deviceType)
    : deviceType_(std::move(deviceType)), impl_(std::make_unique<Impl>(deviceType_ != "waveaudio"))
{
}

MpvDevice::~MpvDevice() = default;

ErrorCode MpvDevice::open(const std::string& path)
{
    Impl& d = *impl_;
    close();
    if (path.empty()) {
        d.bare = true;
        return MCI_OK;
    }
    switch (d.index.build(path)) {
    case FrameIndex::Result::NotFound:
        return MCIERR_FILE_NOT_FOUND;
    case FrameIndex::Result::Invalid:
        return MCIERR_INVALID_FILE;
    case FrameIndex::Result::Ok:
        break;
    }
    if ((d.video && !d.index.hasVideo()) || (!d.video && !d.index.hasAudio()))
        return MCIERR_INVALID_FILE;

    auto mpv = std::make_unique<MpvHandle>();
    if (!mpv->create(d.options(d.index.formatName())))
        return MCIERR_CANNOT_LOAD_DRIVER;
    if (mpv->load(path, kOpenTimeout) != MpvHandle::LoadResult::Loaded)
        return MCIERR_INVALID_FILE;
    if (d.video && mpv->getString("video-params/w").empty())
        return MCIERR_INVALID_FILE;   // the video stream cannot be decoded
    d.mpv = std::move(mpv);
    d.display.started(headless());
    d.transport = Transport::Stopped;
    d.syncPosition();
    if (d.pos != 0 && d.seekFrame(0, true) != MCI_OK) {
        close();
        return MCIERR_INVALID_FILE;
    }
    d.display.place(*d.mpv);
    return MCI_OK;
}

void MpvDevice::close()
{
    Impl& d = *impl_;
    d.mpv.reset();
    d.index = FrameIndex();
    d.bare = false;
    d.pos = 0;
    d.transport = Transport::Stopped;
    d.lastReverse = false;
    d.backward = false;
    d.display.reset();
}

bool MpvDevice::hasElement() const
{
    return impl_->mpv != nullptr;
}

DeviceCapabilities MpvDevice::capabilities() const
{
    const Impl& d = *impl_;
    DeviceCapabilities c;
    c.deviceType = deviceType_;
    c.canPlay = true;
    c.usesFiles = true;
    c.compoundDevice = true;
    c.hasAudio = true;
    c.hasVideo = d.video;
    c.canReverse = d.video && d.backwardCapable();
    c.canSave = d.video;
    c.canStretch = d.video;
    c.canFreeze = false;
    c.windows = d.video;
    return c;
}

ErrorCode MpvDevice::play(bool reverse) { return impl_->startPlay(reverse); }
ErrorCode MpvDevice::stop() { return impl_->halt(Transport::Stopped); }
ErrorCode MpvDevice::pause() { return impl_->halt(Transport::Paused); }

ErrorCode MpvDevice::resume()
{
    Impl& d = *impl_;
    d.refresh();
    if (d.transport == Transport::Forward || d.transport == Transport::Reverse)
        return MCI_OK;
    return d.startPlay(d.lastReverse);
}

ErrorCode MpvDevice::seek(int64_t frame)
{
    Impl& d = *impl_;
    if (!d.mpv)
        return d.bare ? MCIERR_NONAPPLICABLE_FUNCTION : MCIERR_DEVICE_NOT_READY;
    d.refresh();
    return d.seekFrame(frame);
}

ErrorCode MpvDevice::step(int64_t frames)
{
    Impl& d = *impl_;
    if (!d.mpv)
        return d.bare ? MCIERR_NONAPPLICABLE_FUNCTION : MCIERR_DEVICE_NOT_READY;
    d.refresh();
    if (d.transport == Transport::Forward || d.transport == Transport::Reverse)
        d.halt(Transport::Stopped);
    if (frames == 1)
        return d.stepOneForward();
    return d.seekFrame(d.pos + frames);
}

int64_t MpvDevice::position()
{
    impl_->refresh();
    return impl_->pos;
}

int64_t MpvDevice::length()
{
    return impl_->mpv ? impl_->frameCount() : 0;
}

int64_t MpvDevice::nominalFrameRate1000()
{
    const Impl& d = *impl_;
    if (!d.mpv)
        return 0;
    if (!d.video)
        return kAudioFramesPerSecond * 1000;
    return int64_t(std::llround(d.index.frameRate() * 1000));
}

DeviceMode MpvDevice::mode()
{
    Impl& d = *impl_;
    if (!d.mpv)
        return d.bare ? DeviceMode::Stopped : DeviceMode::NotReady;
    d.refresh();
    switch (d.transport) {
    case Transport::Forward:
    case Transport::Reverse:
        return d.mpv->observed().seeking ? DeviceMode::Seeking : DeviceMode::Playing;
    case Transport::Paused:
        return DeviceMode::Paused;
    case Transport::Stopped:
        break;
    }
    return DeviceMode::Stopped;
}

bool MpvDevice::ready()
{
    return impl_->mpv != nullptr || impl_->bare;
}

int MpvDevice::volume()
{
    return impl_->volume;
}

ErrorCode MpvDevice::setVolume(int volume0to1000)
{
    Impl& d = *impl_;
    if (volume0to1000 < 0 || volume0to1000 > 1000)
        return MCIERR_OUTOFRANGE;
    d.volume = volume0to1000;
    if (d.mpv)
        d.mpv->setDouble("volume", volume0to1000 / 10.0);
    return MCI_OK;
}

Rect MpvDevice::source()
{
    const Impl& d = *impl_;
    if (!d.mpv || !d.video)
        return {};
    return {0, 0, d.index.displayWidth(), d.index.displayHeight()};
}

Rect MpvDevice::destination()
{
    const Impl& d = *impl_;
    if (d.display.hasDestination())
        return d.display.destination();
    return source();
}

ErrorCode MpvDevice::setWindowHandle(uint64_t nativeWindow)
{
    Impl& d = *impl_;
    if (!d.video)
        return MCIERR_UNSUPPORTED_FUNCTION;
    const bool changed = nativeWindow != d.display.handle() || !d.display.attached();
    d.display.setHandle(nativeWindow);
    if (!d.mpv || !changed || (nativeWindow == 0 && !d.display.attached()))
        return MCI_OK;
    return d.attachDisplay(true);
}

ErrorCode MpvDevice::putDestination(const Rect& rect)
{
    Impl& d = *impl_;
    if (!d.video || !d.mpv)
        return d.mpv ? MCIERR_UNSUPPORTED_FUNCTION : MCIERR_DEVICE_NOT_READY;
    if (rect.width <= 0 || rect.height <= 0)
        return MCIERR_OUTOFRANGE;
    d.display.setDestination(rect);
    d.display.place(*d.mpv);
    return MCI_OK;
}

ErrorCode MpvDevice::putWindow(const Rect& rect)
{
    Impl& d = *impl_;
    if (!d.video || !d.mpv)
        return d.mpv ? MCIERR_UNSUPPORTED_FUNCTION : MCIERR_DEVICE_NOT_READY;
    if (rect.width <= 0 || rect.height <= 0)
        return MCIERR_OUTOFRANGE;
    d.display.setWindow(rect);
    d.display.placeWindow(*d.mpv);
    return MCI_OK;
}

ErrorCode MpvDevice::showWindow(bool show)
{
    Impl& d = *impl_;
    if (!d.video || !d.mpv)
        return d.mpv ? MCIERR_UNSUPPORTED_FUNCTION : MCIERR_DEVICE_NOT_READY;
    // Only libmpv's own window can be shown or hidden; a borrowed one is the owner's.
    if (d.display.handle())
        return MCI_OK;
    if (show != d.display.attached())
        return d.attachDisplay(show);
    return MCI_OK;
}

ErrorCode MpvDevice::update()
{
    Impl& d = *impl_;
    if (!d.mpv)
        return MCIERR_DEVICE_NOT_READY;
    d.display.place(*d.mpv);
    return MCI_OK;
}

ErrorCode MpvDevice::capture(const std::string& path)
{
    Impl& d = *impl_;
    if (!d.mpv)
        return d.bare ? MCIERR_NONAPPLICABLE_FUNCTION : MCIERR_DEVICE_NOT_READY;
    if (!d.video)
        return MCIERR_UNSUPPORTED_FUNCTION;
    if (path.empty())
        return MCIERR_FILENAME_REQUIRED;
    d.refresh();
    QImage image = d.mpv->screenshot();
    if (image.isNull())
        return MCIERR_DRIVER;
    const Rect src = source();
    if (src.width > 0 && src.height > 0 && image.size() != QSize(src.width, src.height))
        image = image.scaled(src.width, src.height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return BmpWriter::write(image, QString::fromStdString(path)) ? MCI_OK : MCIERR_FILE_WRITE;
}

} // namespace mci
