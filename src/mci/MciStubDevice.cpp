#include "mci/MciStubDevice.h"

namespace mci {

MciStubDevice::MciStubDevice(std::string deviceType, ErrorCode elementError)
    : deviceType_(std::move(deviceType)), elementError_(elementError)
{
}

ErrorCode MciStubDevice::open(const std::string& path)
{
    if (!path.empty())
        return elementError_;
    opened_ = true;
    return MCI_OK;
}

void MciStubDevice::close()
{
    opened_ = false;
}

DeviceCapabilities MciStubDevice::capabilities() const
{
    DeviceCapabilities c;
    c.deviceType = deviceType_;
    c.canPlay = true;
    c.hasAudio = true;
    c.canEject = deviceType_ == "cdaudio";
    c.usesFiles = deviceType_ != "cdaudio";
    c.compoundDevice = c.usesFiles;
    return c;
}

} // namespace mci
