#include "panel/KeyQueue.h"

#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "engine/modul01.h"
#include "panel/ZORVEX32.h"
#include "queue/Queue.h"

namespace {

enum class Direction { Next, Previous };

void bringPanelToFront()
{
    if (!BedienTeil)
        return;
    BedienTeil->show();
    BedienTeil->raise();
}

// Opens the entry just selected in place of the current medium.
void switchToSelected(Direction direction)
{
    MediaPath = QueueEntry(QueueIndex());
    MediaName = ExtractNameUpper(MediaPath);
    if (MediaOpen == 1) {
        QString reply;
        quint32 error = 0;
        SendMciString(vid::close(), reply, error);
    }
    if (direction == Direction::Next)
        WaitUntilReady();
    OpenMedia(MediaPath, OpenResult);
    if (OpenResult == 0) {
        CloseMedia(OpenResult);
        EndQueueMode();
        return;
    }
    if (Zoom < 4 || (direction == Direction::Previous && PanelInFront == 1))
        bringPanelToFront();
    RestartLoop();
}

} // namespace

void NextQueueEntry()
{
    const int index = QueueIndex();
    if (index >= QueueCount() - 1 || QueueActive != 1)
        return;
    SelectQueueEntry(index + 1);
    switchToSelected(Direction::Next);
}

void PreviousQueueEntry()
{
    const int index = QueueIndex();
    if (index <= 0 || QueueActive != 1)
        return;
    SelectQueueEntry(index - 1);
    switchToSelected(Direction::Previous);
}
