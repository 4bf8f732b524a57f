#include "shell/language.h"

#include "engine/modul01.h"
#include "panel/ZORVEX32.h"

#include <QAbstractButton>
#include <QAction>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
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

// A page of a QTabWidget sits in the tab widget's stack, not in the tab widget.
QTabWidget* TabWidgetOf(QWidget* page)
{
    for (QWidget* up = page->parentWidget(); up; up = up->parentWidget())
        if (auto* tabs = qobject_cast<QTabWidget*>(up))
            return tabs->indexOf(page) >= 0 ? tabs : nullptr;
    return nullptr;
}

} // namespace

void SetCaption(QWidget* control, const QString& text)
{
    if (!control)
        return;
    if (auto* button = qobject_cast<QAbstractButton*>(control))
        button->setText(text);
    else if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
    else if (auto* group = qobject_cast<QGroupBox*>(control))
        group->setTitle(text);
    else if (QTabWidget* tabs = TabWidgetOf(control))
        tabs->setTabText(tabs->indexOf(control), text);
    else
        control->setWindowTitle(text);
}

void SetCaption(QAction* item, const QString& text)
{
    if (item)
        item->setText(text);
}

void SetHint(QWidget* control, const QString& text)
{
    if (control)
        control->setToolTip(text);
}

void SetHint(QAction* item, const QString& text)
{
    if (item)
        item->setToolTip(text);
}

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

// Kept as designed: the stop button's hint "Stop", the entry "Info" and the
// separators. The play-pause and reverse-pause buttons have no hint.
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
