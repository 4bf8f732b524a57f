#include "shell/language.h"

#include "shell/Captions.h"
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

