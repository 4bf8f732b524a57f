// The popup menu's handlers of the control panel.
#include "panel/ZORVEX32.h"

#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "engine/modul01.h"
#include "queue/Queue.h"

#include <QAction>
#include <QFrame>
#include <QTimer>

void TBedienTeil::StopIfPlaying()
{
    if (Playing) {
        StopMedia();
        ShowStoppedButtons();
    }
}

void TBedienTeil::PauseIfPlaying()
{
    if (Playing) {
        PauseMedia();
        ShowPausedButtons();
    }
}

void TBedienTeil::LeaveQueueMode()
{
    QueueActive = 0;
    ShQueue->hide();
    EndQueue1->setEnabled(false);
}

void TBedienTeil::OpenClick()
{
    if (EndOpenFirst(&TBedienTeil::OpenClick))
        return;
    StopIfPlaying();
    Timer1->stop();
    DisplayDraggable = 0;
    if (OpenDialog1Execute && OpenDialog1Execute()) {
        MediaPath = OpenDialog1FileName;
        MediaName = ExtractNameUpper(MediaPath);
        if (MediaOpen == 1)
            CloseMedia(OpenResult);
        LeaveQueueMode();
        ClearQueue1->setEnabled(true);
        OpenMedia(MediaPath, OpenResult);
        if (OpenResult != 0) {
            ShowMediaReadyState();
            BringToFront();
            QString reply;
            quint32 error = 0;
            SendMciString(vid::seekTo(1), reply, error);
        } else {
            CloseMedia(OpenResult);
        }
    } else {
        // Cancelling closes the medium that was open, as choosing another would.
        CloseMedia(OpenResult);
    }
    Timer4->start();
}

void TBedienTeil::Close1Click()
{
    if (EndOpenFirst(&TBedienTeil::Close1Click))
        return;
    CloseMedia(OpenResult);
    ShowNoMediaState();
    Close1->setEnabled(false);
    LeaveQueueMode();
    ClearQueue1->setEnabled(false);
}

void TBedienTeil::GotoFrameClick()
{
    PauseIfPlaying();
    Timer1->stop();
    // The go-to-frame dialog starts the poll again when it is done.
    ShowWindow(GotoFrameWindow);
}

void TBedienTeil::OpenQueue1Click()
{
    PauseIfPlaying();
    Timer1->stop();
    ShowWindow(QueueWindow);
}

void TBedienTeil::ClearQueue1Click()
{
    LeaveQueueMode();
    ClearQueue1->setEnabled(false);
    StopIfPlaying();
    ClearQueueList();
}

void TBedienTeil::EndQueue1Click()
{
    LeaveQueueMode();
    StopIfPlaying();
}

void TBedienTeil::ConfigureMCIdevice1Click()
{
    PauseIfPlaying();
    Timer1->stop();
    QString reply;
    quint32 error = 0;
    SendMciString(vid::configure(), reply, error);
    if (error > 1 && ShowMessage)
        ShowMessage(QStringLiteral("MCI device does not support configuration"));
}

void TBedienTeil::Preferences1Click()
{
    PauseIfPlaying();
    Timer1->stop();
    ShowWindow(PrefsWindow);
}

void TBedienTeil::Info1Click()
{
    ShowWindow(InfoWindow);
}
