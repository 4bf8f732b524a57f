#include "queue/Queue.h"

#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "engine/modul01.h"
#include "queue/QueueForm.h"
#include "shell/PanelRequests.h"
#include "shell/language.h"

#include <QAction>
#include <QFrame>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>

namespace {

QListWidget* queueList()
{
    return QueueForm ? QueueForm->ListBox1 : nullptr;
}

void bringPanelToFront()
{
    emit ThePanelRequests().FrontWanted();
}

void enterQueueMode()
{
    QueueActive = 1;
    emit ThePanelRequests().QueueModeEntered();
}

// Takes the selected entry as the medium.
void takeSelectedEntry()
{
    MediaPath = QueueEntry(QueueIndex());
    ExtractNameUpper(MediaPath, MediaName);
}

// The queue's own switch: only "close vid" before the open, so the display window
// and the menu stay as they are. A failed open ends queue mode.
bool switchToSelectedEntry()
{
    takeSelectedEntry();
    if (MediaOpen == 1) {
        QString reply;
        quint32 error = 0;
        SendMciString(vid::close(), reply, error);
    }
    OpenMedia(MediaPath, OpenResult);
    if (OpenResult != 0)
        return true;
    CloseMedia(OpenResult);
    EndQueueMode();
    return false;
}

bool loopIsOn()
{
    bool on = false;
    emit ThePanelRequests().LoopStateWanted(on);
    return on;
}

// The last entry has played and nothing follows.
bool finishQueue()
{
    EndQueueMode();
    emit ThePanelRequests().StoppedButtonsWanted();
    bringPanelToFront();
    if (CommandLineDone != 1)
        return true;
    // Only the start-up queue has a value to give back; any other queue leaves
    // the user's CommandLoop as it is.
    if (CommandLoopHeld == 1) {
        CommandLoop = SavedCommandLoop;
        CommandLoopHeld = 0;
    }
    if (CommandLoop == 0)
        emit ThePanelRequests().ProgramEndWanted();
    return false;
}

} // namespace

int QueueCount()
{
    QListWidget* list = queueList();
    return list ? list->count() : 0;
}

int QueueIndex()
{
    QListWidget* list = queueList();
    return list ? list->currentRow() : -1;
}

QString QueueEntry(int index)
{
    QListWidget* list = queueList();
    if (!list || index < 0 || index >= list->count())
        return QString();
    return list->item(index)->text();
}

void SelectQueueEntry(int index)
{
    if (QListWidget* list = queueList())
        list->setCurrentRow(index);
}

bool AddQueueEntry(const QString& path)
{
    QListWidget* list = queueList();
    if (!list)
        return false;
    if (list->count() >= QueueLimit) {
        QueueForm->ShowError(MsgQueueFull);
        return false;
    }
    list->addItem(path);
    return true;
}

void ClearQueueList()
{
    emit ThePanelRequests().QueueEmptied();
    if (!QueueForm)
        return;
    QueueForm->ListBox1->clear();
    QueueForm->BtnDel->setEnabled(false);
    QueueForm->BtnDelAll->setEnabled(false);
    QueueForm->chk_list();
}

void EndQueueMode()
{
    QueueActive = 0;
    emit ThePanelRequests().QueueModeLeft();
}

void StartQueuePlay(int index)
{
    if (index < 0 || index >= QueueCount())
        return;
    SelectQueueEntry(index);
    takeSelectedEntry();
    if (MediaOpen == 1)
        CloseMedia(OpenResult);
    OpenMedia(MediaPath, OpenResult);
    if (OpenResult == 0) {
        CloseMedia(OpenResult);
        QueueForm->hide();
        return;
    }
    ShowMediaReadyState();
    emit ThePanelRequests().PlayWanted();
    enterQueueMode();
    QueueForm->hide();
}

bool AdvanceQueue()
{
    const int n = QueueCount();
    const int i = QueueIndex();
    if (i < n - 1) {
        SelectQueueEntry(i + 1);
        if (!switchToSelectedEntry())
            return false;
        if (Zoom < 4)
            bringPanelToFront();
        RestartLoop();
        return true;
    }
    if (n == 0 || !loopIsOn())
        return finishQueue();
    SelectQueueEntry(0);
    if (!switchToSelectedEntry())
        return false;
    RestartLoop();
    return true;
}

QString QueueCaptionSuffix()
{
    return QStringLiteral("     -     Nr.:  ") + QString::number(QueueIndex() + 1) + QStringLiteral(" / ")
        + QString::number(QueueCount());
}
