#pragma once
#include "mci/MciDevice.h"

#include <memory>

namespace mci {

// An MCI device backed by libmpv: "digitalvideo" devices play video files,
// a "waveaudio" device plays only the audio of a file.
class MpvDevice : public MciDevice {
public:
    explicit MpvDevice(std::string deviceType);
    ~MpvDevice() override;

    ErrorCode open(const std::string& path) override;
    void close() override;
    bool hasElement() const override;
    DeviceCapabilities capabilities() const override;

    ErrorCode play(bool reverse) override;
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

    Rect source() override;
    Rect destination() override;
    ErrorCode setWindowHandle(uint64_t nativeWindow) override;
    ErrorCode putDestination(const Rect& rect) override;
    ErrorCode putWindow(const Rect& rect) override;
    ErrorCode showWindow(bool show) override;
    ErrorCode update() override;

    ErrorCode capture(const std::string& path) override;

private:
    struct Impl;
    std::string deviceType_;
    std::unique_ptr<Impl> impl_;
};

} // namespace mci
