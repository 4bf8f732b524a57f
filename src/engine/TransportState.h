#pragma once

// Where the transport of the one medium stands. The four transport flags of the
// player-state record (Playing, PlayingReverse, Paused, PausedReverse) are views
// of it, so at most one of them is ever set.
enum class TransportState {
    NoMedium,        // the panel's no-media look: nothing to move
    Stopped,         // ready: stopped, at an end, or stepping on the multi-step timer
    Paused,          // forward play paused: Play resumes it
    PausedReverse,   // reverse play paused: the reverse-play button resumes it
    Playing,         // forward play
    PlayingReverse,  // reverse play
};

// The state's name, for messages.
const char* TransportStateName(TransportState state);
