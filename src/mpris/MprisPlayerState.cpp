#include "mpris/MprisPlayerState.h"

#include "engine/modul01.h"
#include "queue/Queue.h"

MprisPlayerState MprisPlayerState::Take()
{
    MprisPlayerState s;
    s.MediaOpen = ::MediaOpen == 1;
    s.MediaPath = s.MediaOpen ? ::MediaPath : QString();
    s.FrameCount = s.MediaOpen ? ::FrameCount : 0;
    if (s.MediaOpen && (Playing || PlayingReverse))
        s.PlaybackStatus = QStringLiteral("Playing");
    else if (s.MediaOpen && (Paused || PausedReverse))
        s.PlaybackStatus = QStringLiteral("Paused");
    s.Volume = ::Volume;
    // The "+" and "-" keys move only while a queue plays, and only within it.
    const bool queuePlays = s.MediaOpen && QueueActive == 1;
    const int index = queuePlays ? QueueIndex() : -1;
    s.CanGoNext = queuePlays && index < QueueCount() - 1;
    s.CanGoPrevious = queuePlays && index > 0;
    s.Frame = CurrentFrame;
    s.TrackDragging = ::TrackDragging == 1;
    return s;
}

bool MprisPlayerState::SameMedium(const MprisPlayerState& other) const
{
    return MediaOpen == other.MediaOpen && MediaPath == other.MediaPath && FrameCount == other.FrameCount;
}
