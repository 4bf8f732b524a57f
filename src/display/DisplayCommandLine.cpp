// The display window takes over the command line: a switch, a start-up queue
// file, or one file that is opened and played at once (command mode).
#include "display/disp.h"
#include "engine/OpenInProgress.h"

#include "engine/modul01.h"
#include "shell/PanelRequests.h"

#include <QCoreApplication>
#include <QTimer>

namespace {

bool isNoAutoDetectSwitch(const QString& text)
{
    const QString upper = text.toUpper();
    return upper == QLatin1String("/NOAUTODETECT") || upper == QLatin1String("NOAUTODETECT");
}

// The queue itself is loaded by Timer1's handler once every window exists.
void armStartupQueue(QTimer* timer)
{
    if (timer) {
        timer->setInterval(1000);
        timer->start();
    }
    SavedCommandLoop = CommandLoop;
    CommandLoop = 1;
    CommandLoopHeld = 1;
}

void startCommandLinePlay()
{
    if (Zoom == 4) {
        emit ThePanelRequests().StepTimerStopWanted();
        PanelInFront = 0;
        PlayForward();
        return;
    }
    emit ThePanelRequests().PlayFromFrontWanted();
}

} // namespace

void TDisplay::FormCreate(const QStringList& args)
{
    if (args.isEmpty() || CommandLineDone == 1)
        return;
    // An unquoted path holding blanks arrives in pieces; joining makes it whole again.
    MediaPath.clear();
    for (DisplayCounter = 0; DisplayCounter < args.size(); ++DisplayCounter) {
        if (DisplayCounter > 0)
            MediaPath += QLatin1Char(' ');
        MediaPath += args.at(DisplayCounter);
    }
    if (isNoAutoDetectSwitch(MediaPath)) {
        NoAutoDetect = 1;
        return;
    }

    CommandLineDone = 1;
    ExtractNameUpper(MediaPath, MediaName);
    ExtractLast3(MediaName, CommandLineExt);
    if (CommandLineExt.toUpper() == QLatin1String("KQL")) {
        armStartupQueue(Timer1);
        return;
    }

    if (MediaOpen == 1)
        CloseMedia(OpenResult);
    OpenMedia(MediaPath, OpenResult);
    if (OpenResult == 0) {
        CloseMedia(OpenResult);
        // A file that cannot be opened ends the run; one the user stopped opening
        // leaves them with the panel and whatever they asked for instead.
        if (!OpenEndedByUser())
            emit ThePanelRequests().ProgramEndWanted();
        return;
    }
    QCoreApplication::processEvents();
    ShowMediaReadyState();
    startCommandLinePlay();
}
