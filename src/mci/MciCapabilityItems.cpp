#include "mci/MciCapabilityItems.h"

namespace mci {

const std::vector<CapabilityItem>& capabilityItems()
{
    using C = DeviceCapabilities;
    static const std::vector<CapabilityItem> items = {
        {Kw::CanReverse, "can reverse", &C::canReverse},
        {Kw::CanSave, "can save", &C::canSave},
        {Kw::CanStretch, "can stretch", &C::canStretch},
        {Kw::CanPlay, "can play", &C::canPlay},
        {Kw::CanRecord, "can record", &C::canRecord},
        {Kw::CanEject, "can eject", &C::canEject},
        {Kw::CanFreeze, "can freeze", &C::canFreeze},
        {Kw::HasAudio, "has audio", &C::hasAudio},
        {Kw::HasVideo, "has video", &C::hasVideo},
        {Kw::UsesFiles, "uses files", &C::usesFiles},
        {Kw::CompoundDevice, "compound device", &C::compoundDevice},
        {Kw::DeviceType, "device type", nullptr},
        {Kw::Windows, "windows", nullptr},
    };
    return items;
}

std::string capabilityAnswer(const DeviceCapabilities& capabilities, Kw item)
{
    if (item == Kw::DeviceType)
        return capabilities.deviceType;
    if (item == Kw::Windows)
        return capabilities.windows ? "1" : "0";   // MCI answers the number of windows it can show
    for (const CapabilityItem& c : capabilityItems())
        if (c.id == item && c.flag)
            return capabilities.*c.flag ? "true" : "false";
    return "false";
}

} // namespace mci
