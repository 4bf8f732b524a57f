#pragma once
#include "engine/TransportState.h"

#include <QtGlobal>

// One of the four transport flags of the player-state record, read as the byte
// the description speaks of (1 set, 0 clear). It is a view of the player's one
// transport state and cannot be written: the player's Transition moves them all.
class TransportFlag {
public:
    constexpr explicit TransportFlag(TransportState setIn) : setIn_(setIn) {}
    TransportFlag(const TransportFlag&) = delete;
    TransportFlag& operator=(const TransportFlag&) = delete;

    operator quint8() const;

private:
    TransportState setIn_;
};
