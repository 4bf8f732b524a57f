#pragma once

namespace mci {

// How handing a window to a frame window ended.
enum class WindowResult {
    Ok,
    NoDisplay,          // no connection to a display
    DisplayGone,        // the display's server went away
    NoSuchWindow,       // the handle names no window (any more)
    UnsupportedDepth,   // a window whose pixels cannot be written
    NoAnswer,           // the window's thread did not answer in time
};

} // namespace mci
