#pragma once
#include "engine/Watched.h"

#include <QString>

// Flags are bytes holding 0 or 1.
using Flag = quint8;

// PreviousFrame before the first poll of a play: no position equals it, so the
// first poll after an open or a play start is never taken as the end.
constexpr int NoPollYet = -1;

// The player-state record: what every window knows about the open medium and the
// player's modes. Each field holds its value at program start; the transport is
// not here but in the player object (Player::Transport), of which the four
// transport flags are views. Watched fields are announced when they change.
struct PlayerRecord {
    // Medium identity and result of the last open
    QString MediaPath;
    QString MediaName;
    QString MediaExt;
    Watched<Flag> MediaOpen{0};
    int OpenResult = 0;

    // Capabilities and geometry of the open medium
    Flag CanReverse = 0;
    Flag CanSave = 0;
    Flag CanStretch = 0;
    int FrameRate = 0;
    Watched<int> FrameCount{0};
    int IndexedPercent = 100;   // below 100 a big medium is still being indexed and FrameCount grows
    int TrackScale = 0;
    int SourceWidth = 0;
    int SourceHeight = 0;

    // Modes
    Flag LoopOn = 0;
    Flag MultiStep = 0;
    Watched<Flag> QueueActive{0};
    Flag CommandLoop = 0;
    Flag SavedCommandLoop = 0;
    // 1 while a queue file from the command line holds CommandLoop on, from the
    // start until that queue has played to its end; meanwhile the user's own
    // value is SavedCommandLoop.
    Flag CommandLoopHeld = 0;

    // Display
    int Zoom = 0;
    Flag SmartDisplay = 1;
    Flag HidePanel = 0;
    Flag PanelInFront = 0;
    Flag LastPos = 1;
    int DisplayLeft = 0;
    int DisplayTop = 38;
    Flag DisplayDraggable = 1;
    int KeyZoomLevel = 0;
    int KeyZoomStepX = 0;
    int KeyZoomStepY = 0;

    // Device, audio and poll settings
    Flag ForceDevice = 0;
    Flag ForceDevicePermanent = 0;
    QString ForcedDevice;
    Flag NoVolume = 0;
    Watched<int> Volume{0};
    int TimerFactor = 0;
    int TimerMin = 0;

    // Command line
    Flag CommandLineDone = 0;
    Flag NoAutoDetect = 0;
    QString CommandLineExt;

    // The shared reply pair of the media routines
    QString MciReply;
    quint32 MciError = 0;

    // Position display and track bar
    Watched<int> CurrentFrame{0};
    int PreviousFrame = 0;
    QString PositionText;
    Watched<Flag> TrackDragging{0};

    // Keyboard zoom and frame capture
    int KeyZoomLeft = 0;
    int KeyZoomTop = 0;
    int KeyZoomWidth = 0;
    int KeyZoomHeight = 0;
    int CaptureCounter = 0;
    QString CaptureDir;
    QString CaptureName;
    Flag JumpBusy = 0;

    // Preferences
    int ZoomAtShow = 0;
};
