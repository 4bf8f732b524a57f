#pragma once
#include "mci/MciDevice.h"
#include "mci/MciTimeFormat.h"

#include <memory>
#include <string>

namespace mci {

// One open device under its alias.
struct MciInstance {
    std::string alias;
    std::string deviceName;
    std::string element;     // the file, empty for a bare device
    std::unique_ptr<MciDevice> device;
    TimeFormat timeFormat = TimeFormat::Milliseconds;

    int64_t toCaller(int64_t frames) const
    {
        return timeFormat == TimeFormat::Frames ? frames : device->millisecondsOf(frames);
    }
    int64_t toFrames(int64_t value) const
    {
        return timeFormat == TimeFormat::Frames ? value : device->frameAtMilliseconds(value);
    }
};

} // namespace mci
