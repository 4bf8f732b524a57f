#include "engine/modul01.h"

QString MediaPath;
QString MediaName;
QString MediaExt;
Flag MediaOpen = 0;
int OpenResult = 0;

Flag CanReverse = 0;
Flag CanSave = 0;
Flag CanStretch = 0;
int FrameRate = 0;
int FrameCount = 0;
int TrackScale = 0;
int SourceWidth = 0;
int SourceHeight = 0;

Flag Playing = 0;
Flag PlayingReverse = 0;
Flag Paused = 0;
Flag PausedReverse = 0;

Flag LoopOn = 0;
Flag MultiStep = 0;
Flag QueueActive = 0;
Flag CommandLoop = 0;
Flag SavedCommandLoop = 0;

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

Flag ForceDevice = 0;
Flag ForceDevicePermanent = 0;
QString ForcedDevice;
Flag NoVolume = 0;
int Volume = 0;
int TimerFactor = 0;
int TimerMin = 0;

Flag CommandLineDone = 0;
Flag NoAutoDetect = 0;
QString CommandLineExt;

QString MciReply;
quint32 MciError = 0;

int CurrentFrame = 0;
int PreviousFrame = 0;
QString PositionText;
Flag TrackDragging = 0;

int KeyZoomLeft = 0;
int KeyZoomTop = 0;
int KeyZoomWidth = 0;
int KeyZoomHeight = 0;
int CaptureCounter = 0;
QString CaptureDir;
QString CaptureName;
Flag JumpBusy = 0;

int ZoomAtShow = 0;

void ResetPlayerState()
{
    MediaPath.clear(); MediaName.clear(); MediaExt.clear();
    MediaOpen = 0; OpenResult = 0;
    CanReverse = CanSave = CanStretch = 0;
    FrameRate = FrameCount = TrackScale = SourceWidth = SourceHeight = 0;
    Playing = PlayingReverse = Paused = PausedReverse = 0;
    LoopOn = MultiStep = QueueActive = CommandLoop = SavedCommandLoop = 0;
    Zoom = 0; SmartDisplay = 1; HidePanel = 0; PanelInFront = 0; LastPos = 1;
    DisplayLeft = 0; DisplayTop = 38; DisplayDraggable = 1;
    KeyZoomLevel = KeyZoomStepX = KeyZoomStepY = 0;
    ForceDevice = ForceDevicePermanent = 0; ForcedDevice.clear();
    NoVolume = 0; Volume = 0; TimerFactor = 0; TimerMin = 0;
    CommandLineDone = NoAutoDetect = 0; CommandLineExt.clear();
    MciReply.clear(); MciError = 0;
    CurrentFrame = PreviousFrame = 0; PositionText.clear(); TrackDragging = 0;
    KeyZoomLeft = KeyZoomTop = KeyZoomWidth = KeyZoomHeight = 0;
    CaptureCounter = 0; CaptureDir.clear(); CaptureName.clear(); JumpBusy = 0;
    ZoomAtShow = 0;
}
