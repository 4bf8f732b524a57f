#pragma once
#include "mci/MciDevice.h"
#include "mci/MciKeyword.h"

#include <string>
#include <vector>

namespace mci {

// The items of "capability": the one list the command table declares and the
// query answers from.
struct CapabilityItem {
    Kw id;
    const char* phrase;
    bool DeviceCapabilities::*flag;   // null for "device type" and "windows"
};

const std::vector<CapabilityItem>& capabilityItems();

// The reply to "capability DEVICE <item>".
std::string capabilityAnswer(const DeviceCapabilities& capabilities, Kw item);

} // namespace mci
