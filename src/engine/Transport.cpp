// The transport routines of the media module: each sends its fixed command
// sequence; replies and error codes are ignored except by the ready wait.
#include "engine/modul01.h"

#include "display/disp.h"
#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "panel/ZORVEX32.h"

#include <QTimer>
#include <QToolButton>

namespace {

// The transport's own result pair: no caller reads a transport reply.
void send(const QString& command)
{
    QString reply;
    quint32 error = 0;
    SendMciString(command, reply, error);
}

void stopTimer(QTimer* timer)
{
    if (timer)
        timer->stop();
}

void startTimer(QTimer* timer)
{
    if (timer && !timer->isActive())
        timer->start();
}

void showPlayingButtons()
{
    if (!BedienTeil)
        return;
    if (PlayingReverse == 1) {
        SwapButtons(BedienTeil->BtnRevPause, BedienTeil->BtnPlayRev);
        PlayingReverse = 0;
    }
    SwapButtons(BedienTeil->BtnPlay, BedienTeil->BtnPlayPause);
    if (BedienTeil->BtnStop)
        BedienTeil->BtnStop->setEnabled(true);
}

void bringPanelForward()
{
    if (PanelInFront == 1 && BedienTeil)
        BedienTeil->raise();
}

// Steps 1 to 8 of forward play, shared by play and play after a seek.
void startForwardPlay()
{
    BeginEndOfMediumWatch();
    if (BedienTeil) {
        stopTimer(BedienTeil->Timer1);
        startTimer(BedienTeil->Timer3);
    }
    send(vid::play());
    if (SmartDisplay == 0)
        PlaceVideo();
    showPlayingButtons();
    Playing = 1;
    Paused = 0;
    PausedReverse = 0;
    PlayingReverse = 0;
    bringPanelForward();
}

void stopIfMoving()
{
    if (Playing == 1)
        send(vid::stop());
    if (PlayingReverse == 1)
        send(vid::stop());
}

} // namespace

void PlayForward()
{
    startForwardPlay();
    if (HidePanel == 1) {
        PanelInFront = 0;
        if (Display)
            Display->raise();
        else if (BedienTeil)
            BedienTeil->lower();
    }
}

void ResumeAfterSeek()
{
    startForwardPlay();
}

void StopMedia()
{
    send(vid::stop());
}

void PauseMedia()
{
    send(vid::pause());
}

void StepForward()
{
    stopIfMoving();
    send(vid::step());
}

void StepReverse()
{
    stopIfMoving();
    send(vid::stepReverse());
}

void SeekToStart()
{
    send(vid::stop());
    send(vid::seekToStart());
}

void SeekToEnd()
{
    send(vid::stop());
    send(vid::seekToEnd());
}

void PlayReverse()
{
    send(PausedReverse == 1 ? vid::resume() : vid::playReverse());
}

void PauseReverse()
{
    send(vid::pause());
}

void RestartLoop()
{
    BeginEndOfMediumWatch();
    if (BedienTeil)
        stopTimer(BedienTeil->Timer1);
    SendMciString(vid::seekToStart(), MciReply, MciError);
    SendMciString(vid::play(), MciReply, MciError);
    PlaceVideo();
    bringPanelForward();
    if (BedienTeil)
        startTimer(BedienTeil->Timer3);
}

void BeginEndOfMediumWatch()
{
    PreviousFrame = NoPollYet;
}

void WaitUntilReady()
{
    for (int poll = 0; poll < 20; ++poll) {
        SendMciString(vid::statusReady(), MciReply, MciError);
        if (MciReplyIsTrue(MciReply))
            return;
    }
}
