#include "shell/language.h"

#include "engine/modul01.h"
#include "panel/ZORVEX32.h"
#include "prefs/preferen.h"
#include "queue/QueueForm.h"
#include "shell/Info.h"
#include "shell/KURL2.h"
#include "shell/gotofram.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QFrame>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QToolButton>

QString HintStepForward;
QString HintMultipleStep;
QString MsgNoDeviceConfig;
QString MsgNoDeviceOpen;
QString MsgCanSavePictures;
QString MsgCannotSavePictures;
QString MsgDriveNotReady;
QString MsgQueueFull;
QString MsgErrorLoading;
QString MsgErrorSaving;
QString MsgLoadingQueue;
QString MsgCheckingFiles;
QString MsgFilesSkipped;

namespace {

// A control the window has not made (null) is passed over.
void SetCaption(QAbstractButton* control, const QString& text)
{
    if (control)
        control->setText(text);
}

void SetCaption(QLabel* control, const QString& text)
{
    if (control)
        control->setText(text);
}

void SetCaption(QAction* item, const QString& text)
{
    if (item)
        item->setText(text);
}

// A page's caption is its tab's text; the tab keeps it while hidden.
void SetTabCaption(QTabWidget* tabs, QWidget* page, const QString& text)
{
    const int index = tabs && page ? tabs->indexOf(page) : -1;
    if (index >= 0)
        tabs->setTabText(index, text);
}

void SetHint(QWidget* control, const QString& text)
{
    if (control)
        control->setToolTip(text);
}

} // namespace

void AssignPanelMessages()
{
    HintStepForward = QStringLiteral("Step Forward");
    HintMultipleStep = QStringLiteral("Multiple Step");
    MsgNoDeviceConfig = QStringLiteral("MCI device does not support configuration");
    MsgNoDeviceOpen = QStringLiteral("No MCI device open.");
    MsgCanSavePictures = QStringLiteral("The currently active MCI device is able of saving pictures.");
    MsgCannotSavePictures = QStringLiteral("The currently active MCI device is NOT capable of saving pictures!");
}

void AssignQueueMessages()
{
    MsgDriveNotReady = QStringLiteral("Drive not ready");
    MsgErrorLoading = QStringLiteral("Error loading the file ");
    MsgErrorSaving = QStringLiteral("Error saving the file ");
    MsgLoadingQueue = QStringLiteral("Loading queue entries...");
    MsgCheckingFiles = QStringLiteral("Checking existing files...");
    MsgFilesSkipped = QStringLiteral(" missing files were skipped.");
    // It says 32768 although the queue holds at most 32767 entries.
    MsgQueueFull = QStringLiteral("Queue cannot take more than 32768 entries.");
}

// The play-pause and reverse-pause buttons have no hint.
void ApplyPanelTexts(TBedienTeil& panel)
{
    SetHint(panel.BtnToStart, QStringLiteral("To Start"));
    SetHint(panel.BtnStepRev, QStringLiteral("Step Reverse"));
    SetHint(panel.BtnPlayRev, QStringLiteral("Play Reverse"));
    SetHint(panel.BtnPlay, QStringLiteral("Play"));
    AssignPanelMessages();
    SetHint(panel.BtnStep, MultiStep == 1 ? HintMultipleStep : HintStepForward);
    SetHint(panel.BtnToEnd, QStringLiteral("To End"));
    SetHint(panel.BtnLoop0, QStringLiteral("Switch Loop On"));
    SetHint(panel.BtnLoop1, QStringLiteral("Switch Loop Off"));
    SetCaption(panel.Panel1, QStringLiteral("Press right mouse button for menu"));
    SetCaption(panel.Open, QStringLiteral("Open File"));
    panel.OpenDialog1Title = QStringLiteral("Open File");
    SetCaption(panel.Close1, QStringLiteral("Close File"));
    SetCaption(panel.GotoFrame, QStringLiteral("Goto Frame"));
    SetCaption(panel.OpenQueue1, QStringLiteral("Open Queue"));
    SetCaption(panel.ClearQueue1, QStringLiteral("Clear Queue"));
    SetCaption(panel.EndQueue1, QStringLiteral("End Queue"));
    SetCaption(panel.ConfigureMCIdevice1, QStringLiteral("Configure MCI Device"));
    SetCaption(panel.Preferences1, QStringLiteral("Preferences"));
    SetCaption(panel.Exit1, QStringLiteral("Exit"));
    SetHint(panel.ShMultiStep, QStringLiteral("Multi-Step active"));
    SetHint(panel.ShQueue, QStringLiteral("Queue active"));
}

void ApplyGotoFrameTexts(TGotoFrameFrm& dialog)
{
    dialog.setWindowTitle(QStringLiteral("Goto Frame"));
}

void ApplyInfoTexts(TInfoForm& about)
{
    SetTabCaption(about.PageControl1, about.TabSheet2, QStringLiteral("Video MCI Devices"));
    SetTabCaption(about.PageControl1, about.TabSheet3, QStringLiteral("Video MCI Devices"));
    SetCaption(about.Label8, QStringLiteral("Video MCI Devices"));
    SetCaption(about.Label9, QStringLiteral("File Extensions"));
    SetCaption(about.Label10,
               QStringLiteral("For speed reasons there is no autodetection of MCI devices in command line mode"));
    SetHint(about.KURL21, QStringLiteral("Your feedback is welcome."));
    SetHint(about.KURL22, QStringLiteral("Look for new versions on my website"));
    SetHint(about.KURL23, QStringLiteral("Look for new versions on my website"));
}

void ApplyPrefsTexts(TPrefs& prefs)
{
    SetTabCaption(prefs.PageControl1, prefs.TabSheet1, QStringLiteral("Display"));
    SetTabCaption(prefs.PageControl1, prefs.TabSheet2, QStringLiteral("Multi-Step"));
    SetTabCaption(prefs.PageControl1, prefs.TabSheet4, QStringLiteral("MCI-Device"));
    SetCaption(prefs.Label1, QStringLiteral("Zoomfactor"));
    SetCaption(prefs.RadioButton4, QStringLiteral("Fullscreen"));
    SetCaption(prefs.Button3, QStringLiteral("Default"));
    SetCaption(prefs.Button2, QStringLiteral("Cancel"));
    SetCaption(prefs.CheckBox1, QStringLiteral("Multi-Step activated"));
    SetCaption(prefs.CheckBox2, QStringLiteral("Store display position"));
    SetCaption(prefs.CheckBox3, QStringLiteral("Disable 'Smart Display'"));
    SetHint(prefs.CheckBox3, QStringLiteral("Check only if you have trouble with MCI devices in smart mode."));
    SetCaption(prefs.CheckBox5, QStringLiteral("Hide Panel"));
    SetHint(prefs.CheckBox5, QStringLiteral("On PLAY the panel is put to background"));
    SetCaption(prefs.Label2, QStringLiteral("Steps per second (1 - 10)"));
    prefs.setWindowTitle(QStringLiteral("Preferences"));
    SetCaption(prefs.Label3, QStringLiteral("Tolerance/Frames ( 1 - 10)"));
    SetCaption(prefs.Label4, QStringLiteral("Min. Tolerance in Milliseconds( 100 - 2000)"));
    SetHint(prefs.Button4, QStringLiteral("Reset Panel to upper left screen border"));
    SetCaption(prefs.Label5, QStringLiteral("Capture directory:"));
    SetHint(prefs.BitBtn1, QStringLiteral("Select directory for captured images"));
    SetCaption(prefs.Label7, QStringLiteral("Counter:"));
    SetCaption(prefs.CheckBox7, QStringLiteral("Make this setting permanent"));
    SetHint(prefs.CheckBox8, QStringLiteral("Do not close if started from command line"));
    SetCaption(prefs.CheckBox4, QStringLiteral("Force MCI device"));
    SetHint(prefs.Button5, QStringLiteral("Reads all available video MCI devices"));
    SetCaption(prefs.CheckBox6, QStringLiteral("Volume controlled by system"));
    SetCaption(prefs.Label9, QStringLiteral("Volume"));
}

void ApplyQueueTexts(TQueueForm& editor)
{
    SetHint(editor.BtnAuf, QStringLiteral("Move entry up."));
    SetHint(editor.BtnAb, QStringLiteral("Move entry down."));
    SetHint(editor.ListBox1, QStringLiteral("Double click starts queue play with selected entry."));
    SetHint(editor.Button1, QStringLiteral("OK starts queue play with first queue entry."));
    editor.setWindowTitle(QStringLiteral("Queue"));
    SetCaption(editor.BtnAdd, QStringLiteral("Add  >"));
    SetCaption(editor.BtnDel, QStringLiteral("<  Remove"));
    SetCaption(editor.BtnAddAll, QStringLiteral("Add all  >>"));
    SetCaption(editor.BtnDelAll, QStringLiteral("<<  Rmv all"));
    SetCaption(editor.Button2, QStringLiteral("Cancel"));
    AssignQueueMessages();
    SetHint(editor.BtnLoad, QStringLiteral("Import queue entries from file."));
    SetHint(editor.BtnSave, QStringLiteral("Export queue entries to file."));
}
