#pragma once

namespace mci {

// Where a device's transport stands: one state, never a set of flags.
enum class Navigation {
    Stopped,          // on a frame, after open, stop, seek or step, or at the end of play
    Paused,           // on a frame, play to be resumed (with its stop point, if any)
    PlayingForward,
    PlayingReverse,
};

} // namespace mci
