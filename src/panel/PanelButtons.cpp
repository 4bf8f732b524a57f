// The transport buttons of the control panel and the two routines that put the
// buttons back into their paused or stopped look.
#include "panel/ZORVEX32.h"

#include "engine/modul01.h"

#include <QTimer>
#include <QToolButton>

void SwapButtons(QToolButton* from, QToolButton* to)
{
    from->hide();
    from->setEnabled(false);
    to->setEnabled(true);
    to->show();
}

namespace {

void transition(TransportState to)
{
    ThePlayer().Transition(to);
}

// Forward or reverse play gives way to the stopped state: its button pair swaps
// back. The paused states are stopped too; without a medium nothing changes.
void showStillButtons(TBedienTeil& p)
{
    if (Playing)
        SwapButtons(p.BtnPlayPause, p.BtnPlay);
    if (PlayingReverse)
        SwapButtons(p.BtnRevPause, p.BtnPlayRev);
    if (ThePlayer().Transport() != TransportState::NoMedium)
        transition(TransportState::Stopped);
}

} // namespace

void ShowPausedButtons()
{
    TBedienTeil* p = BedienTeil;
    p->Timer2->stop();
    p->BtnStop->setEnabled(false);
    if (Playing) {
        SwapButtons(p->BtnPlayPause, p->BtnPlay);
        transition(TransportState::Paused);
    }
    if (PlayingReverse) {
        SwapButtons(p->BtnRevPause, p->BtnPlayRev);
        transition(TransportState::PausedReverse);
    }
}

void ShowStoppedButtons()
{
    TBedienTeil* p = BedienTeil;
    p->Timer2->stop();
    p->BtnStop->setEnabled(false);
    showStillButtons(*p);
}

void TBedienTeil::BtnPlayClick()
{
    Timer2->stop();
    PlayForward();
}

void TBedienTeil::BtnPlayPauseClick()
{
    Timer2->stop();
    PauseMedia();
    ShowPausedButtons();
    transition(TransportState::Paused);
}

void TBedienTeil::BtnPlayRevClick()
{
    Timer2->stop();
    PlayReverse();
    if (Playing)
        SwapButtons(BtnPlayPause, BtnPlay);
    SwapButtons(BtnPlayRev, BtnRevPause);
    transition(TransportState::PlayingReverse);
}

void TBedienTeil::BtnRevPauseClick()
{
    Timer2->stop();
    PauseReverse();
    ShowPausedButtons();
    transition(TransportState::PausedReverse);
}

void TBedienTeil::BtnStopClick()
{
    StopMedia();
    ShowStoppedButtons();
}

void TBedienTeil::BtnToStartClick()
{
    SeekToStart();
    ShowStoppedButtons();
    if (MediaExt == QLatin1String("MOV"))
        BringToFront();
}

void TBedienTeil::BtnToEndClick()
{
    SeekToEnd();
    ShowStoppedButtons();
    if (MediaExt == QLatin1String("MOV"))
        BringToFront();
}

void TBedienTeil::BtnStepClick()
{
    PauseMedia();
    if (MultiStep != 1) {
        StepForward();
        ShowPausedButtons();
        return;
    }
    if (Timer2->isActive()) {
        Timer2->stop();
        return;
    }
    Timer2->start();
    showStillButtons(*this);
}

void TBedienTeil::BtnStepRevClick()
{
    StepReverse();
    ShowPausedButtons();
}

void TBedienTeil::BtnLoop0Click()
{
    SwapButtons(BtnLoop0, BtnLoop1);
    LoopOn = 1;
}

void TBedienTeil::BtnLoop1Click()
{
    SwapButtons(BtnLoop1, BtnLoop0);
    LoopOn = 0;
}
