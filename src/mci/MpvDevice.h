#pragma once
#include "mci/MciDevice.h"

#include <memory>

namespace mci {

// An MCI device backed by libmpv: "digitalvideo" devices play video files,
// a "waveaudio" device plays only the audio of a file.
//
// Frames are exact: each frame's time stamp comes from the container (FrameIndex),
// seeks aim between two frames' time stamps, and every landing is checked.
// A "waveaudio" device counts milliseconds as its frames (1000 per second).
//
// Navigation:
// - seek() returns once the exact seek is issued. Until it lands, position() is the
//   target and mode() is Seeking; a newer seek supersedes it inside libmpv (the old
//   decoding is dropped), and every other call waits for the landing first.
// - step(1) takes the next decoded frame at once (libmpv untimed while paused).
// - step(-1): a lone back step is an exact seek; from the second in a row libmpv plays
//   backwards frame by frame, decoding each group of pictures once. Groups too big for
//   the reversal bound (512 MiB of decoded frames, KELD32_MCI_REVERSAL_MIB) are
//   stepped by exact seeks instead. The bound also holds for reverse play.
class MpvDevice : public MciDevice {
public:
    explicit MpvDevice(std::string deviceType);
    ~MpvDevice() override;

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

    Rect source() override;
    Rect destination() override;
    ErrorCode setWindowHandle(uint64_t nativeWindow) override;
    ErrorCode putDestination(const Rect& rect) override;
    ErrorCode putWindow(const Rect& rect) override;
    ErrorCode showWindow(bool show) override;
    ErrorCode update() override;

    ErrorCode capture(const std::string& path) override;

    // True when no display is used (no DISPLAY, or KELD32_MCI_HEADLESS=1).
    static bool headless();

private:
    struct Impl;
    std::string deviceType_;
    std::unique_ptr<Impl> impl_;
};

} // namespace mci
