#pragma once
#include <cstdint>
#include <string>

namespace mci {

// How positions and lengths are exchanged with the caller. The device always counts frames.
enum class TimeFormat { Milliseconds, Frames };

class MciTimeFormat {
public:
    // "frames", "milliseconds" or "ms"; false for anything else.
    static bool fromName(const std::string& name, TimeFormat& format);
    static std::string name(TimeFormat format);

    // frameRate1000 is frames per second x 1000. A frame's time is its first
    // whole millisecond, so that converting back lands on the same frame.
    // Without a known rate one frame counts as one millisecond.
    static int64_t toCaller(TimeFormat format, int64_t frames, int64_t frameRate1000);
    static int64_t toFrames(TimeFormat format, int64_t value, int64_t frameRate1000);
};

} // namespace mci
