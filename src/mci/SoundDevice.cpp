#include "mci/SoundDevice.h"

#include "mci/FrameConversion.h"
#include "mci/VideoDevice.h"

#include <algorithm>
#include <cmath>

extern "C" {
#include <libavformat/avformat.h>
}

namespace mci {
namespace {

constexpr std::chrono::milliseconds kSeekTimeout {5000};

} // namespace

int64_t SoundDevice::clamp(int64_t ms) const
{
    return std::clamp<int64_t>(ms, 0, std::max<int64_t>(length_ - 1, 0));
}

ErrorCode SoundDevice::open(const std::string& path)
{
    close();
    if (path.empty()) {
        bare_ = true;
        return MCI_OK;
    }
    AvInput input;
    if (const ErrorCode err = errorOf(input.open(path)))
        return err;
    if (!input.hasAudio())
        return MCIERR_INVALID_FILE;
    const AVFormatContext* ctx = input.context();
    start_ = ctx->start_time != AV_NOPTS_VALUE ? double(ctx->start_time) / AV_TIME_BASE : 0;
    input.close();
    sound_.open(path, VideoDevice::headless());
    if (!sound_.isOpen())
        return MCIERR_INVALID_FILE;
    length_ = std::llround(sound_.duration() * 1000);
    if (length_ <= 0) {
        close();
        return MCIERR_INVALID_FILE;
    }
    open_ = true;
    return MCI_OK;
}

void SoundDevice::close()
{
    sound_.close();
    open_ = false;
    bare_ = false;
    navigation_ = Navigation::Stopped;
    pos_ = 0;
    length_ = 0;
    stopAt_ = -1;
}

bool SoundDevice::hasElement() const
{
    return open_;
}

DeviceCapabilities SoundDevice::capabilities() const
{
    return playsFiles("waveaudio");
}

ErrorCode SoundDevice::notOpen() const
{
    return bare_ ? MCIERR_NONAPPLICABLE_FUNCTION : MCIERR_DEVICE_NOT_READY;
}

// While it plays, the position is libmpv's clock; at the end (or the stop point)
// play is over and the device stands there.
void SoundDevice::follow()
{
    if (navigation_ != Navigation::PlayingForward)
        return;
    const double t = sound_.clock();
    if (t >= 0)
        pos_ = clamp(std::llround((t - start_) * 1000));
    if (sound_.ended()) {
        pos_ = stopAt_ >= 0 ? stopAt_ : length_ - 1;
        navigation_ = Navigation::Stopped;
        stopAt_ = -1;
        sound_.setEnd(-1);
    }
}

ErrorCode SoundDevice::startPlay(int64_t last)
{
    if (!open_)
        return notOpen();
    follow();
    if (last >= 0 && clamp(last) < pos_)
        return MCIERR_OUTOFRANGE;
    if (pos_ >= length_ - 1 || (last >= 0 && clamp(last) == pos_)) {
        navigation_ = Navigation::Stopped;
        return MCI_OK;
    }
    stopAt_ = last >= 0 ? clamp(last) : -1;
    sound_.setEnd(stopAt_ >= 0 ? start_ + double(stopAt_) / 1000 : -1);
    if (!sound_.playFrom(start_ + double(pos_) / 1000, kSeekTimeout))
        return MCIERR_DRIVER;
    navigation_ = Navigation::PlayingForward;
    return MCI_OK;
}

ErrorCode SoundDevice::play(bool reverse)
{
    return reverse ? MCIERR_UNSUPPORTED_FUNCTION : startPlay(-1);
}

ErrorCode SoundDevice::playTo(bool reverse, int64_t last)
{
    return reverse ? MCIERR_UNSUPPORTED_FUNCTION : startPlay(std::max<int64_t>(last, 0));
}

ErrorCode SoundDevice::halt(Navigation to)
{
    if (!open_)
        return notOpen();
    follow();
    sound_.pause();
    if (to == Navigation::Paused && navigation_ != Navigation::PlayingForward)
        to = navigation_;
    if (to != Navigation::Paused) {
        stopAt_ = -1;
        sound_.setEnd(-1);
    }
    navigation_ = to;
    return MCI_OK;
}

ErrorCode SoundDevice::stop()
{
    return halt(Navigation::Stopped);
}

ErrorCode SoundDevice::pause()
{
    return halt(Navigation::Paused);
}

ErrorCode SoundDevice::resume()
{
    if (!open_)
        return notOpen();
    follow();
    return navigation_ == Navigation::PlayingForward ? MCI_OK : startPlay(stopAt_);
}

ErrorCode SoundDevice::seek(int64_t ms)
{
    if (const ErrorCode err = halt(Navigation::Stopped))
        return err;
    // The position is what was asked for: libmpv lands on its own block boundaries,
    // a few milliseconds either side, and must not move the count.
    pos_ = clamp(ms);
    return sound_.seek(start_ + double(pos_) / 1000, kSeekTimeout) ? MCI_OK : MCIERR_DRIVER;
}

ErrorCode SoundDevice::step(int64_t ms)
{
    if (!open_)
        return notOpen();
    follow();
    int64_t to = 0;
    if (__builtin_add_overflow(pos_, ms, &to))
        to = ms > 0 ? INT64_MAX : 0;
    return seek(to);
}

int64_t SoundDevice::position()
{
    follow();
    return pos_;
}

int64_t SoundDevice::length()
{
    return open_ ? length_ : 0;
}

int64_t SoundDevice::nominalFrameRate1000()
{
    return open_ ? 1000 * 1000 : 0;
}

DeviceMode SoundDevice::mode()
{
    if (!open_)
        return bare_ ? DeviceMode::Stopped : DeviceMode::NotReady;
    follow();
    switch (navigation_) {
    case Navigation::PlayingForward:
    case Navigation::PlayingReverse:
        return DeviceMode::Playing;
    case Navigation::Paused:
        return DeviceMode::Paused;
    case Navigation::Stopped:
        break;
    }
    return DeviceMode::Stopped;
}

bool SoundDevice::ready()
{
    return open_ || bare_;
}

int SoundDevice::volume()
{
    return sound_.volume();
}

ErrorCode SoundDevice::setVolume(int volume0to1000)
{
    return sound_.setVolume(volume0to1000) ? MCI_OK : MCIERR_OUTOFRANGE;
}

} // namespace mci
