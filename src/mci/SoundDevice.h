#pragma once
#include "mci/WindowlessDevice.h"
#include "mci/frames/Navigation.h"
#include "mci/sound/MpvSound.h"

namespace mci {

// The "waveaudio" device: plays only the sound of a file, with libmpv. Its frames
// are milliseconds; a seek or step lands exactly where it was asked to, and play
// reports libmpv's clock.
class SoundDevice : public WindowlessDevice {
public:
    ErrorCode open(const std::string& path) override;
    void close() override;
    bool hasElement() const override;
    DeviceCapabilities capabilities() const override;

    ErrorCode play(bool reverse) override;
    ErrorCode playTo(bool reverse, int64_t last) override;
    ErrorCode stop() override;
    ErrorCode pause() override;
    ErrorCode resume() override;
    ErrorCode seek(int64_t frame) override;
    ErrorCode step(int64_t frames) override;

    int64_t position() override;
    int64_t length() override;
    int64_t nominalFrameRate1000() override;
    DeviceMode mode() override;
    bool ready() override;
    int volume() override;
    ErrorCode setVolume(int volume0to1000) override;

private:
    ErrorCode startPlay(int64_t last);
    ErrorCode halt(Navigation to);
    ErrorCode notOpen() const;
    void follow();
    int64_t clamp(int64_t ms) const;

    MpvSound sound_;
    Navigation navigation_ = Navigation::Stopped;
    bool open_ = false;
    bool bare_ = false;
    int64_t pos_ = 0;        // milliseconds from the start of the sound
    int64_t length_ = 0;
    double start_ = 0;       // the sound's first time stamp, seconds
    int64_t stopAt_ = -1;
};

} // namespace mci
