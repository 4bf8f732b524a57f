#include "engine/TransportState.h"

const char* TransportStateName(TransportState state)
{
    switch (state) {
    case TransportState::NoMedium: return "no medium";
    case TransportState::Stopped: return "stopped";
    case TransportState::Paused: return "paused";
    case TransportState::PausedReverse: return "paused in reverse";
    case TransportState::Playing: return "playing";
    case TransportState::PlayingReverse: return "playing in reverse";
    }
    return "?";
}
