#pragma once
#include "mci/MciDevice.h"
#include "mci/frames/FrameServer.h"
#include "mci/frames/Navigation.h"
#include "mci/frames/PlaybackClock.h"
#include "mci/sound/MpvSound.h"

#include <memory>

namespace mci {

class FrameWindow;

// The "digitalvideo" device. Pictures come from the frame server in every mode
// (paused, stepping, seeking, playing either way) and are drawn by a frame window;
// libmpv plays the sound, and forward play follows its clock. Frame numbers are the
// server's, so every position is exact whatever the file's time stamps say.
class VideoDevice : public MciDevice {
public:
    // Play goes by `time`: the steady clock, or one a test drives.
    explicit VideoDevice(PlaybackTime& time = PlaybackTime::steady());
    ~VideoDevice() override;

    ErrorCode open(const std::string& path) override;
    void cancelOpen() override { server_.cancelOpen(); }
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
    ErrorCode landed() override;

    int64_t position() override;
    int64_t length() override;
    int indexedPercent() override;
    int64_t nominalFrameRate1000() override;
    int64_t millisecondsOf(int64_t frame) override;
    int64_t frameAtMilliseconds(int64_t ms) override;
    DeviceMode mode() override;
    void awaitChange(std::chrono::milliseconds bound) override;
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

    // For benchmarks and tests: the server and the frame drawn last.
    const FrameServer& server() const { return server_; }
    int64_t frameShown() const;
    bool waitShown(int64_t frame, std::chrono::milliseconds timeout);
    int64_t lateFrames() const { return clock_.lateFrames(); }

private:
    ErrorCode startPlay(bool reverse, int64_t last);
    ErrorCode halt(Navigation to);
    ErrorCode fileError();
    ErrorCode notOpen() const;
    void refresh();
    void makeWindow();
    ErrorCode showOwnWindow();

    FrameServer server_;
    PlaybackClock clock_;
    MpvSound sound_;
    std::unique_ptr<FrameWindow> window_;
    Navigation navigation_ = Navigation::Stopped;
    bool bare_ = false;
    bool lastReverse_ = false;
    int64_t stopAt_ = -1;       // "play ... to": the last frame to show (-1: none)
    uint64_t handle_ = 0;       // the window handed over (0: a window of our own)
    bool ownAttached_ = false;
};

} // namespace mci
