#pragma once
#include <QString>

// What the desktop sees of the player at one moment, read from the player-state
// record and the queue. Two of them side by side tell what has changed.
struct MprisPlayerState {
    // The medium: a change of any of these is another track.
    bool MediaOpen = false;
    QString MediaPath;
    int FrameCount = 0;

    // "Playing" (forward or reverse), "Paused" or "Stopped".
    QString PlaybackStatus = QStringLiteral("Stopped");
    int Volume = 0;  // 0..1000
    bool CanGoNext = false;
    bool CanGoPrevious = false;

    // The position from the latest poll or seek, and whether the track bar is held.
    int Frame = 0;
    bool TrackDragging = false;

    static MprisPlayerState Take();
    bool SameMedium(const MprisPlayerState& other) const;
};
