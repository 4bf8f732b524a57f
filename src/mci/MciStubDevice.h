#pragma once
#include "mci/WindowlessDevice.h"

namespace mci {

// An installed device that plays nothing here (cdaudio, sequencer): it opens
// bare so that capability queries work, and refuses every element with the
// code it was given.
class MciStubDevice : public WindowlessDevice {
public:
    MciStubDevice(std::string deviceType, ErrorCode elementError);

    ErrorCode open(const std::string& path) override;
    void close() override;
    bool hasElement() const override { return false; }
    DeviceCapabilities capabilities() const override;

    ErrorCode play(bool) override { return MCIERR_NONAPPLICABLE_FUNCTION; }
    ErrorCode stop() override { return MCIERR_NONAPPLICABLE_FUNCTION; }
    ErrorCode pause() override { return MCIERR_NONAPPLICABLE_FUNCTION; }
    ErrorCode resume() override { return MCIERR_NONAPPLICABLE_FUNCTION; }
    ErrorCode seek(int64_t) override { return MCIERR_NONAPPLICABLE_FUNCTION; }
    ErrorCode step(int64_t) override { return MCIERR_NONAPPLICABLE_FUNCTION; }

    int64_t position() override { return 0; }
    int64_t length() override { return 0; }
    int64_t nominalFrameRate1000() override { return 0; }
    DeviceMode mode() override { return opened_ ? DeviceMode::Stopped : DeviceMode::NotReady; }
    bool ready() override { return opened_; }
    int volume() override { return 0; }
    ErrorCode setVolume(int) override { return MCIERR_UNSUPPORTED_FUNCTION; }

private:
    std::string deviceType_;
    ErrorCode elementError_;
    bool opened_ = false;
};

} // namespace mci
