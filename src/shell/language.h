#pragma once
#include <QString>
#include <QWidget>

class QAction;
class TBedienTeil;

// The one table of the player's user-interface texts. The windows are laid out
// with German texts; each routine here puts the English ones over them and hands
// out the messages other windows show. Every text is exact, blanks included.

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

// The control panel, each time it is shown.
void ApplyPanelTexts(TBedienTeil& panel);

// Message assignments of the windows' routines, for callers that need the
// messages before (or without) the window.
void AssignPanelMessages();
void AssignQueueMessages();

// How a text lands on a control of whatever kind the window uses: a button or
// label takes it as its text, a group box as its title, a page of a tab widget as
// its tab's caption, any other widget as its window title. A control the window
// has not made (null) is passed over.
void SetCaption(QWidget* control, const QString& text);
void SetCaption(QAction* item, const QString& text);
void SetHint(QWidget* control, const QString& text);
void SetHint(QAction* item, const QString& text);

// The routines of the other windows, written against their controls' names, so a
// window needs only to call the routine on itself in its FormCreate.

// Go-to-frame dialog. Kept as designed: the button "OK".
template <class Window>
void ApplyGotoFrameTexts(Window& w)
{
    static_cast<QWidget&>(w).setWindowTitle(QStringLiteral("Goto Frame"));
}

// About box, before the device check. Kept as designed: the window caption and
// title "Vantu's MCI Video File Player", the tab "Info", the labels "eMail:",
// "WWW:" and "or", the button "OK"; the version label is the box's own.
template <class Window>
void ApplyInfoTexts(Window& w)
{
    SetCaption(w.TabSheet2, QStringLiteral("Video MCI Devices"));
    SetCaption(w.TabSheet3, QStringLiteral("Video MCI Devices"));
    SetCaption(w.Label8, QStringLiteral("Video MCI Devices"));
    SetCaption(w.Label9, QStringLiteral("File Extensions"));
    SetCaption(w.Label10,
               QStringLiteral("For speed reasons there is no autodetection of MCI devices in command line mode"));
    SetHint(w.KURL21, QStringLiteral("Your feedback is welcome."));
    SetHint(w.KURL22, QStringLiteral("Look for new versions on my website"));
    SetHint(w.KURL23, QStringLiteral("Look for new versions on my website"));
}

// Preferences dialog. Kept as designed: the zoom choices "1 : 1", "2 : 1",
// "3 : 1"; the tabs "Timer", "Capture", "Audio"; the buttons "Reset Panel",
// "Check Devices", "Reset", "OK"; the check box "Command Mode"; the scale labels
// "0 %", "50 %", "100 %"; and the Default button's German tool tip.
template <class Window>
void ApplyPrefsTexts(Window& w)
{
    SetCaption(w.TabSheet1, QStringLiteral("Display"));
    SetCaption(w.TabSheet2, QStringLiteral("Multi-Step"));
    SetCaption(w.TabSheet4, QStringLiteral("MCI-Device"));
    SetCaption(w.Label1, QStringLiteral("Zoomfactor"));
    SetCaption(w.RadioButton4, QStringLiteral("Fullscreen"));
    SetCaption(w.Button3, QStringLiteral("Default"));
    SetCaption(w.Button2, QStringLiteral("Cancel"));
    SetCaption(w.CheckBox1, QStringLiteral("Multi-Step activated"));
    SetCaption(w.CheckBox2, QStringLiteral("Store display position"));
    SetCaption(w.CheckBox3, QStringLiteral("Disable 'Smart Display'"));
    SetHint(w.CheckBox3, QStringLiteral("Check only if you have trouble with MCI devices in smart mode."));
    SetCaption(w.CheckBox5, QStringLiteral("Hide Panel"));
    SetHint(w.CheckBox5, QStringLiteral("On PLAY the panel is put to background"));
    SetCaption(w.Label2, QStringLiteral("Steps per second (1 - 10)"));
    static_cast<QWidget&>(w).setWindowTitle(QStringLiteral("Preferences"));
    SetCaption(w.Label3, QStringLiteral("Tolerance/Frames ( 1 - 10)"));
    SetCaption(w.Label4, QStringLiteral("Min. Tolerance in Milliseconds( 100 - 2000)"));
    SetHint(w.Button4, QStringLiteral("Reset Panel to upper left screen border"));
    SetCaption(w.Label5, QStringLiteral("Capture directory:"));
    SetHint(w.BitBtn1, QStringLiteral("Select directory for captured images"));
    SetCaption(w.Label7, QStringLiteral("Counter:"));
    SetCaption(w.CheckBox7, QStringLiteral("Make this setting permanent"));
    SetHint(w.CheckBox8, QStringLiteral("Do not close if started from command line"));
    SetCaption(w.CheckBox4, QStringLiteral("Force MCI device"));
    SetHint(w.Button5, QStringLiteral("Reads all available video MCI devices"));
    SetCaption(w.CheckBox6, QStringLiteral("Volume controlled by system"));
    SetCaption(w.Label9, QStringLiteral("Volume"));
}

// Queue editor. Kept as designed: the OK button's caption "OK".
template <class Window>
void ApplyQueueTexts(Window& w)
{
    SetHint(w.BtnAuf, QStringLiteral("Move entry up."));
    SetHint(w.BtnAb, QStringLiteral("Move entry down."));
    SetHint(w.ListBox1, QStringLiteral("Double click starts queue play with selected entry."));
    SetHint(w.Button1, QStringLiteral("OK starts queue play with first queue entry."));
    static_cast<QWidget&>(w).setWindowTitle(QStringLiteral("Queue"));
    SetCaption(w.BtnAdd, QStringLiteral("Add  >"));
    SetCaption(w.BtnDel, QStringLiteral("<  Remove"));
    SetCaption(w.BtnAddAll, QStringLiteral("Add all  >>"));
    SetCaption(w.BtnDelAll, QStringLiteral("<<  Rmv all"));
    SetCaption(w.Button2, QStringLiteral("Cancel"));
    AssignQueueMessages();
    SetHint(w.BtnLoad, QStringLiteral("Import queue entries from file."));
    SetHint(w.BtnSave, QStringLiteral("Export queue entries to file."));
}
