#pragma once
#include "engine/Player.h"
#include "engine/TransportFlag.h"

#include <QString>

// The media module: the routines that open, close, place and move the one
// medium under the alias "vid". The player-state record they share with every
// window lives in the player object (engine/Player.h); the names below are the
// record's fields under the names the description gives them. The four
// transport flags are read-only views of the player's transport state.

// Medium identity and result of the last open
extern QString& MediaPath;
extern QString& MediaName;
extern QString& MediaExt;
extern Watched<Flag>& MediaOpen;
extern int& OpenResult;

// Capabilities and geometry of the open medium
extern Flag& CanReverse;
extern Flag& CanSave;
extern Flag& CanStretch;
extern int& FrameRate;
extern Watched<int>& FrameCount;
extern int& IndexedPercent;
extern int& TrackScale;
extern int& SourceWidth;
extern int& SourceHeight;

// Transport state
extern const TransportFlag Playing;
extern const TransportFlag PlayingReverse;
extern const TransportFlag Paused;
extern const TransportFlag PausedReverse;

// Modes
extern Flag& LoopOn;
extern Flag& MultiStep;
extern Watched<Flag>& QueueActive;
extern Flag& CommandLoop;
extern Flag& SavedCommandLoop;
// 1 while a queue file from the command line holds CommandLoop on, from the
// start until that queue has played to its end; meanwhile the user's own value
// is SavedCommandLoop.
extern Flag& CommandLoopHeld;
// The user's own CommandLoop: the one the preferences show and the settings keep.
Flag& UsersCommandLoop();

// Display
extern int& Zoom;
extern Flag& SmartDisplay;
extern Flag& HidePanel;
extern Flag& PanelInFront;
extern Flag& LastPos;
extern int& DisplayLeft;
extern int& DisplayTop;
extern Flag& DisplayDraggable;
extern int& KeyZoomLevel;
extern int& KeyZoomStepX;
extern int& KeyZoomStepY;

// Device, audio and poll settings
extern Flag& ForceDevice;
extern Flag& ForceDevicePermanent;
extern QString& ForcedDevice;
extern Flag& NoVolume;
extern Watched<int>& Volume;
extern int& TimerFactor;
extern int& TimerMin;

// Command line
extern Flag& CommandLineDone;
extern Flag& NoAutoDetect;
extern QString& CommandLineExt;

// The shared reply pair of the media routines
extern QString& MciReply;
extern quint32& MciError;

// Position display and track bar
extern Watched<int>& CurrentFrame;
extern int& PreviousFrame;
extern QString& PositionText;
extern Watched<Flag>& TrackDragging;

// Keyboard zoom and frame capture
extern int& KeyZoomLeft;
extern int& KeyZoomTop;
extern int& KeyZoomWidth;
extern int& KeyZoomHeight;
extern int& CaptureCounter;
extern QString& CaptureDir;
extern QString& CaptureName;
extern Flag& JumpBusy;

// Preferences
extern int& ZoomAtShow;

// Puts every variable above back to its value at program start.
void ResetPlayerState();

// ---- Opening and closing media ----------------------------------------------

// Opens `path` under "vid" and takes its facts; result 1 opened, 0 failed.
void OpenMedia(const QString& path, int& result);
// Sends "close vid" (even with nothing open); result is its error code.
void CloseMedia(int& result);
// The load sequence every caller follows to switch to a file: sets MediaPath and
// MediaName, closes an open medium, opens the new one and shows the ready state;
// a failed open ends in the no-media state. Returns true when the file is open.
bool LoadMedia(const QString& path);

void ShowNoMediaState();
void ShowMediaReadyState();
// Sizes the display window by Zoom and tells the device where to draw.
void PlaceVideo();

// The file name without its directory, upper case. Cuts at "\" and at "/".
void ExtractNameUpper(const QString& path, QString& name);
QString ExtractNameUpper(const QString& path);
// The last three characters; a shorter text whole.
void ExtractLast3(const QString& text, QString& last3);
QString ExtractLast3(const QString& text);

// Frames per second from the "status vid nominal frame rate" reply (x1000);
// 25 when the reply is empty, not a number, or below 1000.
int FrameRateFromReply(const QString& reply);
// The position poll interval: (1000 div frameRate) x factor, at least minimum.
int PollInterval(int frameRate, int timerFactor, int timerMin);
// Frames per track-bar unit for a medium of `frameCount` frames.
int TrackScaleFor(int frameCount);
// "status vid indexed" as a percentage: 100 (the length is final) unless a number below 100.
int IndexedPercentFromReply(const QString& reply);
// While a big medium is still being indexed, its length grows: the position poll
// reads it again, with the track bar's range, until the index is whole.
void RefreshGrowingLength();
// Width and height from a "where vid source" reply ("left top width height").
// Returns false, leaving both untouched, when the reply does not hold them.
bool SourceSizeFromReply(const QString& reply, int& width, int& height);

// ---- Transport -----------------------------------------------------------

void PlayForward();
void ResumeAfterSeek();
void StopMedia();
void PauseMedia();
void StepForward();
void StepReverse();
void SeekToStart();
void SeekToEnd();
void PlayReverse();
void PauseReverse();
void RestartLoop();
// Polls "Status vid ready" until it answers true, at most 20 times.
void WaitUntilReady();
// Starts a new end-of-medium watch: positions seen before this moment (another
// medium's, or this one's before the play) cannot end this play.
void BeginEndOfMediumWatch();
