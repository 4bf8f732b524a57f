// The transport routines of the media module: each sends its fixed command
// sequence; replies and error codes are ignored except by the ready wait.
#include "engine/modul01.h"

#include "engine/MCI_FUNC.h"
#include "engine/VideoWindow.h"
#include "engine/VidCommands.h"

namespace {

// The transport's own result pair: no caller reads a transport reply.
void send(const QString& command)
{
    QString reply;
    quint32 error = 0;
    SendMciString(command, reply, error);
}

void bringPanelForward()
{
    if (PanelInFront == 1)
        emit ThePlayer().PanelToFrontWanted();
}

// Steps 1 to 8 of forward play, shared by play and play after a seek. The
// panel swaps its buttons in its slot of ForwardPlayShown, before the flags move.
void startForwardPlay()
{
    Player& player = ThePlayer();
    BeginEndOfMediumWatch();
    emit player.PositionPollSwitched(false);
    emit player.PlayStartWatchStarted();
    send(vid::play());
    if (SmartDisplay == 0)
        PlaceVideo();
    emit player.ForwardPlayShown(player.Transport());
    player.Transition(TransportState::Playing);
    bringPanelForward();
}

void stopIfMoving()
{
    if (Playing || PlayingReverse)
        send(vid::stop());
}

} // namespace

void PlayForward()
{
    startForwardPlay();
    if (HidePanel == 1) {
        PanelInFront = 0;
        if (VideoWindow* window = ThePlayer().Window())
            window->RaiseWindow();
        else
            emit ThePlayer().PanelToBackWanted();
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
    send(PausedReverse ? vid::resume() : vid::playReverse());
}

void PauseReverse()
{
    send(vid::pause());
}

void RestartLoop()
{
    BeginEndOfMediumWatch();
    emit ThePlayer().PositionPollSwitched(false);
    SendMciString(vid::seekToStart(), MciReply, MciError);
    SendMciString(vid::play(), MciReply, MciError);
    PlaceVideo();
    bringPanelForward();
    emit ThePlayer().PlayStartWatchStarted();
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
