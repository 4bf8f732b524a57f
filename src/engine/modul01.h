#pragma once
#include <QString>

// The media module: the player-state record shared by every window, and the
// routines that open, close, place and move the one medium under the alias "vid".
// Flags are bytes holding 0 or 1 and are tested against 1.

using Flag = quint8;

// Medium identity and result of the last open
extern QString MediaPath;
extern QString MediaName;
extern QString MediaExt;
extern Flag MediaOpen;
extern int OpenResult;

// Capabilities and geometry of the open medium
extern Flag CanReverse;
extern Flag CanSave;
extern Flag CanStretch;
extern int FrameRate;
extern int FrameCount;
extern int TrackScale;
extern int SourceWidth;
extern int SourceHeight;

// Transport state
extern Flag Playing;
extern Flag PlayingReverse;
extern Flag Paused;
extern Flag PausedReverse;

// Modes
extern Flag LoopOn;
extern Flag MultiStep;
extern Flag QueueActive;
extern Flag CommandLoop;
extern Flag SavedCommandLoop;

// Display
extern int Zoom;
extern Flag SmartDisplay;
extern Flag HidePanel;
extern Flag PanelInFront;
extern Flag LastPos;
extern int DisplayLeft;
extern int DisplayTop;
extern Flag DisplayDraggable;
extern int KeyZoomLevel;
extern int KeyZoomStepX;
extern int KeyZoomStepY;

// Device, audio and poll settings
extern Flag ForceDevice;
extern Flag ForceDevicePermanent;
extern QString ForcedDevice;
extern Flag NoVolume;
extern int Volume;
extern int TimerFactor;
extern int TimerMin;

// Command line
extern Flag CommandLineDone;
extern Flag NoAutoDetect;
extern QString CommandLineExt;

// The shared reply pair of the media routines
extern QString MciReply;
extern quint32 MciError;

// Position display and track bar
extern int CurrentFrame;
extern int PreviousFrame;
extern QString PositionText;
extern Flag TrackDragging;

// Keyboard zoom and frame capture
extern int KeyZoomLeft;
extern int KeyZoomTop;
extern int KeyZoomWidth;
extern int KeyZoomHeight;
extern int CaptureCounter;
extern QString CaptureDir;
extern QString CaptureName;
extern Flag JumpBusy;

// Preferences
extern int ZoomAtShow;

// Puts every variable above back to its value at program start.
void ResetPlayerState();
