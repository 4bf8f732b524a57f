#include "mci/MpvDevice.h"

#include "mci/BmpWriter.h"
#include "mci/FrameIndex.h"
#include "mci/MpvDisplay.h"
#include "mci/MpvHandle.h"
#include "mci/MpvPendingSeek.h"

#include <QImage>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <future>

namespace mci {
namespace {

enum class Transport { Stopped, Paused, Forward, Reverse };

constexpr std::chrono::milliseconds kOpenTimeout {10000};
constexpr std::chrono::milliseconds kSeekTimeout {10000};
constexpr int64_t kAudioFramesPerSecond = 1000;   // a waveaudio "frame" is a millisecond
constexpr int64_t kNoStop = -1;                    // play without a "to"
// libmpv plays backwards by decoding a whole group of pictures and handing its frames
// out in reverse; this bounds the frames it holds (KELD32_MCI_REVERSAL_MIB overrides).
constexpr int64_t kDefaultReversalMiB = 512;

int64_t reversalMiB()
{
    const char* v = std::getenv("KELD32_MCI_REVERSAL_MIB");
    const long long mib = v && *v ? std::atoll(v) : 0;
    return mib >= 16 && mib <= 16384 ? mib : kDefaultReversalMiB;
}

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
    int64_t stopAt = kNoStop;    // "play ... to": the last frame to show
    bool stopSet = false;        // libmpv holds a stop time for it
    bool heldAtStop = false;     // libmpv sits in its end state at a stop point
    bool lastReverse = false;
    bool backward = false;       // libmpv currently plays backwards
    int64_t heldFrom = 0;        // backwards: first frame of the stretch libmpv holds decoded
    int backRun = 0;             // single back steps in a row
    MpvPendingSeek seekInFlight;
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
            // Paused, a frame step shows the next frame as soon as it is decoded
            // instead of waiting a frame period; play switches timing back on.
            {"untimed", "yes"},
            // Turning to backward play, the demuxer's own thread idled a second between
            // its backward seeks (libmpv 0.35, no cache); read on the core's thread.
            {"demuxer-thread", "no"},
            {"video-reversal-buffer", std::to_string(reversalMiB()) + "MiB"},
            {"volume", number(volume / 10.0)},
            {"ao", noDisplay ? "null" : "pulse,alsa,null"},
        };
        if (const char* log = std::getenv("KELD32_MPV_LOG"); log && *log) {
            // For diagnosis: libmpv's own log on stderr, at the given level.
            o.push_back({"terminal", "yes"});
            o.push_back({"msg-level", std::string("all=") + log});
            o.push_back({"msg-time", "yes"});
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

    void pauseEngine()
    {
        mpv->setFlag("pause", true);
        mpv->set("untimed", "yes");
    }
    void runEngine()
    {
        mpv->set("untimed", "no");
        mpv->setFlag("pause", false);
    }

    // Turns libmpv round; it seeks to the current time by itself when the direction
    // changes, and a second seek on top of that one can leave it waiting for ever,
    // so its restart is awaited here.
    ErrorCode turn(bool toBackward)
    {
        pauseEngine();
        mpv->pump();
        mpv->set("play-dir", toBackward ? "backward" : "forward");
        backward = toBackward;
        heldFrom = toBackward ? index.keyFrameAtOrBefore(pos) : 0;
        return mpv->waitForRestart(kSeekTimeout, toBackward) ? MCI_OK : MCIERR_DRIVER;
    }

    // Brings play back to forward direction, keeping the frame on display.
    ErrorCode restoreForward()
    {
        if (!backward)
            return MCI_OK;
        const int64_t keep = pos;
        turn(false);
        return seekFrame(keep, true);
    }

    // Issues the exact seek and returns at once: a newer seek supersedes it inside
    // libmpv, which drops the decoding of the old one. settle() checks the landing.
    ErrorCode issueSeek(int64_t n, bool force = false)
    {
        if (!mpv)
            return MCIERR_DEVICE_NOT_READY;
        clearStop();
        heldAtStop = false;
        if (backward && turn(false) != MCI_OK)
            return MCIERR_DRIVER;
        n = clampFrame(n);
        if (transport == Transport::Forward || transport == Transport::Reverse || !mpv->observed().pause) {
            pauseEngine();
            transport = Transport::Stopped;
        }
        if (!force && !seekInFlight.pending() && n == pos && mpv->observed().pause)
            return MCI_OK;
        if (!seekInFlight.issue(*mpv, n, targetOf(n)))
            return MCIERR_DRIVER;
        pos = n;
        return MCI_OK;
    }

    bool seekPending() const { return seekInFlight.pending(); }
    bool seekDone() { return seekInFlight.finished(*mpv); }

    // Waits for the latest seek and makes sure it shows the frame asked for.
    ErrorCode settle()
    {
        if (!seekInFlight.pending() || !mpv)
            return MCI_OK;
        const int64_t n = seekInFlight.target();
        const auto landed = [this] {
            syncPosition(true);
            return pos;
        };
        if (seekInFlight.wait(*mpv, landed, kSeekTimeout) < 0)
            return MCIERR_DRIVER;
        // Audio lands on its own block boundaries, a few milliseconds either side.
        if (!video && std::llabs(pos - n) <= 20)
            pos = n;
        if (pos == n)
            return MCI_OK;
        // Landed elsewhere. Late: the demuxer started after the key frame we needed,
        // so it starts further back this once; exactness beats speed here.
        const std::string offset = mpv->getString("hr-seek-demuxer-offset");
        if (pos > n)
            mpv->set("hr-seek-demuxer-offset", "3");
        const ErrorCode err = exactSeek(targetOf(n));
        mpv->set("hr-seek-demuxer-offset", offset.empty() ? "0" : offset);
        syncPosition(true);
        return err;
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
        const ErrorCode err = issueSeek(n, force);
        return err != MCI_OK ? err : settle();
    }

    // One frame_step of libmpv, in its current direction; true when it showed `want`.
    // The decoder usually holds that frame already (forward: decoded ahead;
    // backward: the reversed stretch), so this costs no decoding from a key frame.
    bool frameStepTo(int64_t want)
    {
        double before = -1;
        mpv->pump();
        if (!mpv->getDouble("time-pos", before))
            return false;
        // `untimed` frees the picture from the clock but not the sound: a file with
        // sound still steps at the frame period unless time runs fast meanwhile.
        mpv->setDouble("speed", 100);
        const bool sent = mpv->command({"frame-step"}) >= 0;
        const bool moved = sent && mpv->waitUntil(
            [before](const MpvHandle::Observed& o) { return o.timePos >= 0 && o.timePos != before; },
            std::chrono::milliseconds(4000));
        mpv->setDouble("speed", 1);
        pauseEngine();
        transport = Transport::Stopped;
        syncPosition(true);
        return moved && pos == want;
    }

    // Whatever a step shows is checked, and an exact seek repairs any other outcome.
    ErrorCode stepOneForward()
    {
        const int64_t want = pos + 1;
        // In its end state libmpv's frame step plays on past the next frame.
        if (!video || backward || want > frameCount() - 1 || heldAtStop)
            return seekFrame(want);
        return frameStepTo(want) ? MCI_OK : seekFrame(want, true);
    }

    // Bytes libmpv needs to hold frames first..last decoded (4:2:0, 8 bits).
    bool reversalHolds(int64_t first, int64_t last) const
    {
        const double frameBytes = double(index.displayWidth()) * index.displayHeight() * 1.5;
        return double(last - first + 1) * frameBytes < 0.9 * double(reversalMiB()) * 1024 * 1024;
    }

    // Can libmpv's backward play serve the step to `want`? It decodes the whole group
    // of pictures holding a frame, whatever the frame's place in it, and drops the
    // frames that do not fit its bound: the step would skip them.
    bool backwardServes(int64_t want) const
    {
        if (!video || !backwardCapable())
            return false;
        if (backward && want >= heldFrom)
            return true;
        return reversalHolds(index.keyFrameAtOrBefore(want), index.groupEndOf(want));
    }

    // One frame back. A lone back step is an exact seek; from the second in a row on,
    // libmpv plays backwards frame by frame, which decodes each group of pictures
    // once instead of once per step. Groups too big for the reversal bound are
    // stepped by exact seeks.
    ErrorCode stepOneBackward()
    {
        const int64_t want = pos - 1;
        if (want < 0)
            return seekFrame(0);
        ++backRun;
        if (!backwardServes(want) || (!backward && backRun < 2) || heldAtStop)
            return seekFrame(want);
        if (!backward && turn(true) != MCI_OK)
            return seekFrame(want, true);
        syncPosition(true);
        const int64_t key = index.keyFrameAtOrBefore(want);
        if (frameStepTo(want)) {
            heldFrom = std::min(heldFrom, key);
            return MCI_OK;
        }
        return seekFrame(want, true);
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
            heldAtStop = stopSet;
            clearStop();
            return;
        }
        if (seen.timePos != playStartTime && seen.timePos >= 0)
            pos = frameOfTime(seen.timePos);
    }

    // libmpv's "end" ends play at a time as the end of the file would (keep-open:
    // paused on the last frame shown, "eof-reached" set); half-way to the next frame
    // so that `last` is shown and its successor is not.
    void applyStop()
    {
        if (stopAt == kNoStop || stopAt >= frameCount() - 1) {
            clearStop();
            return;
        }
        mpv->set("end", number(targetOf(stopAt + 1)));
        stopSet = true;
        // The stop time holds for frames decoded from now on; those already decoded
        // ahead would play past it, so the frame on display is sought again.
        if (exactSeek(targetOf(pos)) == MCI_OK)
            syncPosition(true);
    }
    void clearStop()
    {
        stopAt = kNoStop;
        if (stopSet && mpv)
            mpv->set("end", "none");
        stopSet = false;
    }

    ErrorCode startPlay(bool reverse, int64_t last = kNoStop)
    {
        if (!mpv)
            return bare ? MCIERR_NONAPPLICABLE_FUNCTION : MCIERR_DEVICE_NOT_READY;
        if (reverse && !backwardCapable())
            return MCIERR_UNSUPPORTED_FUNCTION;
        // libmpv's stop time does not hold for backward play.
        if (reverse && last != kNoStop)
            return MCIERR_UNSUPPORTED_FUNCTION;
        backRun = 0;
        settle();
        refresh();
        if (!reverse) {
            const ErrorCode err = restoreForward();
            if (err != MCI_OK)
                return err;
        }
        if (last != kNoStop && clampFrame(last) < pos)
            return MCIERR_OUTOFRANGE;
        clearStop();
        lastReverse = reverse;
        // Like MCI's default window, libmpv's own one appears when play starts.
        if (!display.handle() && !display.attached())
            attachDisplay(true);
        // At the end of its direction a medium has nothing left to play.
        if ((!reverse && pos >= frameCount() - 1) || (reverse && pos <= 0)
            || (last != kNoStop && clampFrame(last) == pos)) {
            transport = Transport::Stopped;
            return MCI_OK;
        }
        if (reverse && !backward && turn(true) != MCI_OK)
            return MCIERR_DRIVER;
        mpv->pump();
        playStartTime = mpv->observed().timePos;
        eofRisesAtPlay = mpv->eofRises();
        heldAtStop = false;
        stopAt = last == kNoStop ? kNoStop : clampFrame(last);
        applyStop();
        runEngine();
        transport = reverse ? Transport::Reverse : Transport::Forward;
        return MCI_OK;
    }

    ErrorCode halt(Transport to)
    {
        if (!mpv)
            return bare ? MCIERR_NONAPPLICABLE_FUNCTION : MCIERR_DEVICE_NOT_READY;
        settle();
        refresh();
        pauseEngine();
        syncPosition();
        transport = to;
        // A pause keeps the stop point for the resume; a stop ends it.
        if (to == Transport::Stopped)
            clearStop();
        return MCI_OK;
    }

    // Output on or off; the new output needs the frame on display sought again.
    ErrorCode attachDisplay(bool on)
    {
        if (!mpv || !video || MpvDevice::headless() || (!on && !display.attached()))
            return MCI_OK;
        settle();
        const int64_t keep = pos;
        pauseEngine();
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
    switch (FrameIndex::precheck(path)) {
    case FrameIndex::Result::NotFound:
        return MCIERR_FILE_NOT_FOUND;
    case FrameIndex::Result::Invalid:
        return MCIERR_INVALID_FILE;
    case FrameIndex::Result::Ok:
        break;
    }
    // The packet scan reads the whole file; it runs on its own thread while libmpv
    // loads, so that an open costs about what the engine's own load costs.
    FrameIndex scanned;
    auto scan = std::async(std::launch::async, [&scanned, path] { return scanned.build(path); });
    auto mpv = std::make_unique<MpvHandle>();
    const bool created = mpv->create(d.options(""));
    const bool loaded = created && mpv->load(path, kOpenTimeout) == MpvHandle::LoadResult::Loaded;
    const FrameIndex::Result indexed = scan.get();
    d.index = std::move(scanned);
    if (indexed != FrameIndex::Result::Ok)
        return indexed == FrameIndex::Result::NotFound ? MCIERR_FILE_NOT_FOUND : MCIERR_INVALID_FILE;
    if ((d.video && !d.index.hasVideo()) || (!d.video && !d.index.hasAudio()))
        return MCIERR_INVALID_FILE;
    if (!created)
        return MCIERR_CANNOT_LOAD_DRIVER;
    if (!loaded)
        return MCIERR_INVALID_FILE;
    if (d.video && mpv->getString("video-params/w").empty())
        return MCIERR_INVALID_FILE;   // the video stream cannot be decoded
    mpv->set("hr-seek-demuxer-offset", demuxerOffsetFor(d.index.formatName()));
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
    d.stopAt = kNoStop;
    d.stopSet = false;
    d.heldAtStop = false;
    d.backward = false;
    d.heldFrom = 0;
    d.backRun = 0;
    d.seekInFlight.reset();
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
ErrorCode MpvDevice::playTo(bool reverse, int64_t last) { return impl_->startPlay(reverse, last); }
ErrorCode MpvDevice::stop() { return impl_->halt(Transport::Stopped); }
ErrorCode MpvDevice::pause() { return impl_->halt(Transport::Paused); }

ErrorCode MpvDevice::resume()
{
    Impl& d = *impl_;
    d.settle();
    d.refresh();
    if (d.transport == Transport::Forward || d.transport == Transport::Reverse)
        return MCI_OK;
    return d.startPlay(d.lastReverse, d.stopAt);
}

ErrorCode MpvDevice::seek(int64_t frame)
{
    Impl& d = *impl_;
    if (!d.mpv)
        return d.bare ? MCIERR_NONAPPLICABLE_FUNCTION : MCIERR_DEVICE_NOT_READY;
    d.backRun = 0;
    d.refresh();
    // Returns once the seek is under way; "status ... position" reports the target
    // meanwhile and the mode is "seeking". Anything that needs the frame waits.
    return d.issueSeek(frame);
}

ErrorCode MpvDevice::step(int64_t frames)
{
    Impl& d = *impl_;
    if (!d.mpv)
        return d.bare ? MCIERR_NONAPPLICABLE_FUNCTION : MCIERR_DEVICE_NOT_READY;
    d.settle();
    d.refresh();
    if (d.transport == Transport::Forward || d.transport == Transport::Reverse)
        d.halt(Transport::Stopped);
    d.clearStop();
    if (frames == -1)
        return d.stepOneBackward();
    d.backRun = 0;
    if (frames == 1)
        return d.stepOneForward();
    return d.seekFrame(d.pos + frames);
}

int64_t MpvDevice::position()
{
    Impl& d = *impl_;
    if (d.seekPending() && d.seekDone())
        d.settle();
    d.refresh();
    return d.pos;
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
    if (d.seekPending()) {
        if (!d.seekDone())
            return DeviceMode::Seeking;
        d.settle();
    }
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
    d.settle();
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
