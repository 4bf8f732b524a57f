#pragma once
#include "mci/MciError.h"
#include "mci/MciTimeFormat.h"
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

namespace mci {

// What a device reports as "status ... mode".
enum class DeviceMode { NotReady, Playing, Paused, Stopped, Seeking };

struct Rect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

// What a device can do; answers the "capability" command.
struct DeviceCapabilities {
    std::string deviceType;   // "digitalvideo", "waveaudio", "cdaudio", ...
    bool canPlay = false;
    bool canRecord = false;
    bool canSave = false;     // can write the frame on display ("capture")
    bool canReverse = false;
    bool canStretch = false;
    bool canFreeze = false;
    bool canEject = false;
    bool hasAudio = false;
    bool hasVideo = false;
    bool usesFiles = false;
    bool compoundDevice = false;
    bool windows = false;     // has a display window
};

// What every device that plays files can do; a device adds its own.
inline DeviceCapabilities playsFiles(const char* deviceType)
{
    DeviceCapabilities c;
    c.deviceType = deviceType;
    c.canPlay = true;
    c.usesFiles = true;
    c.compoundDevice = true;
    c.hasAudio = true;
    return c;
}

// One opened instance of an MCI device. Positions and lengths are frames,
// counted from 0; the service converts other time formats. Every operation
// answers an MCI error code (MCI_OK on success).
class MciDevice {
public:
    virtual ~MciDevice() = default;

    // path empty: open the bare device (capability queries only).
    virtual ErrorCode open(const std::string& path) = 0;
    // Called from another thread while open() runs (a close of this device came in):
    // a long open should return MCIERR_OPEN_CANCELLED soon, with nothing left open.
    virtual void cancelOpen() {}
    virtual void close() = 0;
    virtual bool hasElement() const = 0;

    virtual DeviceCapabilities capabilities() const = 0;

    virtual ErrorCode play(bool reverse) = 0;
    // Plays and stops on frame `last` (shown); a device without stop points refuses.
    virtual ErrorCode playTo(bool reverse, int64_t last)
    {
        (void)reverse;
        (void)last;
        return MCIERR_UNSUPPORTED_FUNCTION;
    }
    virtual ErrorCode stop() = 0;
    virtual ErrorCode pause() = 0;
    virtual ErrorCode resume() = 0;
    virtual ErrorCode seek(int64_t frame) = 0;   // clamped to 0 .. length-1
    virtual ErrorCode step(int64_t frames) = 0;  // +n forward, -n backward
    // Once a seek or step has stopped seeking: why the frame asked for is not on
    // display (MCI_OK: it is).
    virtual ErrorCode landed() { return MCI_OK; }

    virtual int64_t position() = 0;              // frame on display
    virtual int64_t length() = 0;                // number of frames
    // How much of the medium has been indexed, 0..100: below 100 length() is what has
    // been found so far, and grows.
    virtual int indexedPercent() { return 100; }
    virtual int64_t nominalFrameRate1000() = 0;  // frames per second x 1000
    // The first whole millisecond of frame n counted from the medium's start (n equal
    // to length(): where the medium ends), and the frame shown at a millisecond. A
    // device that knows its frames' own times overrides these; the nominal rate is
    // the fallback.
    virtual int64_t millisecondsOf(int64_t frame)
    {
        return MciTimeFormat::toCaller(TimeFormat::Milliseconds, frame, nominalFrameRate1000());
    }
    virtual int64_t frameAtMilliseconds(int64_t ms)
    {
        return MciTimeFormat::toFrames(TimeFormat::Milliseconds, ms, nominalFrameRate1000());
    }
    virtual DeviceMode mode() = 0;
    // Returns once the mode may have changed (a frame drawn, play ended) or after
    // `bound`, whichever comes first; "wait" looks at the mode again after each.
    // A device that gives no notice of its changes simply lets the bound pass.
    virtual void awaitChange(std::chrono::milliseconds bound) { std::this_thread::sleep_for(bound); }
    virtual bool ready() = 0;
    virtual int volume() = 0;                    // 0..1000

    virtual ErrorCode setVolume(int volume0to1000) = 0;

    virtual Rect source() = 0;
    virtual Rect destination() = 0;
    virtual ErrorCode setWindowHandle(uint64_t nativeWindow) = 0;  // 0: own window
    virtual ErrorCode putDestination(const Rect& rect) = 0;
    virtual ErrorCode putWindow(const Rect& rect) = 0;
    virtual ErrorCode showWindow(bool show) = 0;
    virtual ErrorCode update() = 0;

    // Writes the frame on display as a 24-bit BMP at source size.
    virtual ErrorCode capture(const std::string& path) = 0;
};

} // namespace mci
