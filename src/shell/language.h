#pragma once
#include <QString>

class TBedienTeil;
class TGotoFrameFrm;
class TInfoForm;
class TPrefs;
class TQueueForm;

// The one table of the player's user-interface texts. The windows are laid out
// with German texts; each routine here puts the English ones over them and hands
// out the messages other windows show. Every text is exact, blanks included.
// The routines of the panel, the preferences and the queue editor are defined
// with their windows (PanelTexts.cpp, PrefsTexts.cpp, QueueTexts.cpp), so that
// this folder needs none of them.

// Message values: empty until the routine that assigns them has run.
extern QString HintStepForward;        // ApplyPanelTexts
extern QString HintMultipleStep;       // ApplyPanelTexts
extern QString MsgNoDeviceConfig;      // ApplyPanelTexts
extern QString MsgNoDeviceOpen;        // ApplyPanelTexts
extern QString MsgCanSavePictures;     // ApplyPanelTexts
extern QString MsgCannotSavePictures;  // ApplyPanelTexts
extern QString MsgDriveNotReady;       // ApplyQueueTexts
extern QString MsgQueueFull;           // ApplyQueueTexts
extern QString MsgErrorLoading;        // ApplyQueueTexts; the path follows
extern QString MsgErrorSaving;         // ApplyQueueTexts; the path follows
extern QString MsgLoadingQueue;        // ApplyQueueTexts
extern QString MsgCheckingFiles;       // ApplyQueueTexts
extern QString MsgFilesSkipped;        // ApplyQueueTexts; the count comes before

// The control panel, each time it is shown. Kept as designed: the stop button's
// hint "Stop", the entry "Info", the separators and every shortcut.
void ApplyPanelTexts(TBedienTeil& panel);

// Go-to-frame dialog, from its FormCreate. Kept as designed: the button "OK".
void ApplyGotoFrameTexts(TGotoFrameFrm& dialog);

// About box, from its FormCreate before the device check. Kept as designed: the
// window caption and title "Vantu's MCI Video File Player", the tab "Info", the
// labels "eMail:", "WWW:" and "or", the button "OK"; the version label is the box's own.
void ApplyInfoTexts(TInfoForm& about);

// Preferences dialog, from its FormCreate. Kept as designed: the zoom choices, the
// tabs "Timer", "Capture", "Audio", the buttons "Reset Panel", "Check Devices",
// "Reset", "OK", the check box "Command Mode", the scale labels, and the Default
// button's German tool tip.
void ApplyPrefsTexts(TPrefs& prefs);

// Queue editor, from its FormCreate. Kept as designed: the OK button's caption.
void ApplyQueueTexts(TQueueForm& editor);

// Message assignments of the windows' routines, for callers that need the
// messages before (or without) the window.
void AssignPanelMessages();
void AssignQueueMessages();
