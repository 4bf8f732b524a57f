#pragma once
#include "mci/MciDevice.h"

namespace mci {

// A device that shows no pictures: it has no rectangles, and refuses every
// command about a window or the frame on display.
class WindowlessDevice : public MciDevice {
public:
    Rect source() override { return {}; }
    Rect destination() override { return {}; }
    ErrorCode setWindowHandle(uint64_t) override { return MCIERR_UNSUPPORTED_FUNCTION; }
    ErrorCode putDestination(const Rect&) override { return MCIERR_UNSUPPORTED_FUNCTION; }
    ErrorCode putWindow(const Rect&) override { return MCIERR_UNSUPPORTED_FUNCTION; }
    ErrorCode showWindow(bool) override { return MCIERR_UNSUPPORTED_FUNCTION; }
    ErrorCode update() override { return MCIERR_UNSUPPORTED_FUNCTION; }
    ErrorCode capture(const std::string&) override { return MCIERR_UNSUPPORTED_FUNCTION; }
};

} // namespace mci
