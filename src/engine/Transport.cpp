// The transport routines of the media module: each sends its fixed command
// sequence; replies and error codes are ignored except by the ready wait.
#include "engine/modul01.h"

#include "display/disp.h"
#include "engine/MCI_FUNC.h"
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
    send(QStringLiteral("play vid"));
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
        send(QStringLiteral("stop vid"));
    if (PlayingReverse == 1)
        send(QStringLiteral("stop vid"));
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
    send(QStringLiteral("stop vid"));
}

void PauseMedia()
{
    send(QStringLiteral("pause vid"));
}

void StepForward()
{
    stopIfMoving();
    send(QStringLiteral("step vid"));
}

void StepReverse()
{
    stopIfMoving();
    send(QStringLiteral("step vid reverse"));
}

void SeekToStart()
{
    send(QStringLiteral("stop vid"));
    send(QStringLiteral("seek vid to start"));
}

void SeekToEnd()
{
    send(QStringLiteral("stop vid"));
    send(QStringLiteral("seek vid to end"));
}

void PlayReverse()
{
    send(PausedReverse == 1 ? QStringLiteral("resume vid") : QStringLiteral("play vid reverse"));
}

void PauseReverse()
{
    send(QStringLiteral("pause vid"));
}

void RestartLoop()
{
    BeginEndOfMediumWatch();
    if (BedienTeil)
        stopTimer(BedienTeil->Timer1);
    SendMciString(QStringLiteral("seek vid to start"), MciReply, MciError);
    SendMciString(QStringLiteral("play vid"), MciReply, MciError);
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
        SendMciString(QStringLiteral("Status vid ready"), MciReply, MciError);
        if (MciReplyIsTrue(MciReply))
            return;
    }
}
