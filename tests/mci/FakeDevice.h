#pragma once
#include "mci/MciDevice.h"

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

// An open that runs until the device is asked to end it (holdOpen set).
struct HeldOpen {
    std::mutex mutex;
    std::condition_variable changed;
    bool hold = false;
    bool running = false;
    bool cancelled = false;
    void awaitRunning();
};

// What a fake device answers and what it was told; shared by every instance a test opens.
struct FakeScript {
    std::vector<std::string> calls;
    mci::ErrorCode openResult = mci::MCI_OK;
    int64_t position = 0;
    int64_t length = 250;
    int64_t frameRate1000 = 25000;
    mci::DeviceMode mode = mci::DeviceMode::Paused;
    bool ready = true;
    int volume = 1000;
    mci::Rect source{0, 0, 320, 240};
    mci::Rect destination{0, 0, 640, 480};
    mci::DeviceCapabilities caps;
    int closes = 0;
    HeldOpen held;
};

// A device that records each call as a short text ("seek 12", "play reverse").
class FakeDevice : public mci::MciDevice {
public:
    explicit FakeDevice(FakeScript& script) : s_(script) {}

    mci::ErrorCode open(const std::string& path) override;
    void cancelOpen() override;
    void close() override;
    bool hasElement() const override { return hasElement_; }
    mci::DeviceCapabilities capabilities() const override { return s_.caps; }

    mci::ErrorCode play(bool reverse) override { return log(reverse ? "play reverse" : "play"); }
    mci::ErrorCode playTo(bool reverse, int64_t last) override
    {
        return log(std::string(reverse ? "play reverse" : "play") + " to " + std::to_string(last));
    }
    mci::ErrorCode stop() override { return log("stop"); }
    mci::ErrorCode pause() override { return log("pause"); }
    mci::ErrorCode resume() override { return log("resume"); }
    mci::ErrorCode seek(int64_t frame) override { return log("seek " + std::to_string(frame)); }
    mci::ErrorCode step(int64_t frames) override { return log("step " + std::to_string(frames)); }

    int64_t position() override { return s_.position; }
    int64_t length() override { return s_.length; }
    int64_t nominalFrameRate1000() override { return s_.frameRate1000; }
    mci::DeviceMode mode() override { return s_.mode; }
    bool ready() override { return s_.ready; }
    int volume() override { return s_.volume; }
    mci::ErrorCode setVolume(int v) override { return log("volume " + std::to_string(v)); }

    mci::Rect source() override { return s_.source; }
    mci::Rect destination() override { return s_.destination; }
    mci::ErrorCode setWindowHandle(uint64_t w) override { return log("handle " + std::to_string(w)); }
    mci::ErrorCode putDestination(const mci::Rect& r) override { return log("destination " + text(r)); }
    mci::ErrorCode putWindow(const mci::Rect& r) override { return log("window " + text(r)); }
    mci::ErrorCode showWindow(bool show) override { return log(show ? "show" : "hide"); }
    mci::ErrorCode update() override { return log("update"); }
    mci::ErrorCode capture(const std::string& path) override { return log("capture " + path); }

private:
    mci::ErrorCode log(const std::string& call);
    static std::string text(const mci::Rect& r);

    FakeScript& s_;
    bool hasElement_ = false;
};
