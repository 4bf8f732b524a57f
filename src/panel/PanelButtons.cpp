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

void ShowPausedButtons()
{
    TBedienTeil* p = BedienTeil;
    p->Timer2->stop();
    p->BtnStop->setEnabled(false);
    if (Playing == 1) {
        SwapButtons(p->BtnPlayPause, p->BtnPlay);
        Playing = 0;
        Paused = 1;
    }
    if (PlayingReverse == 1) {
        SwapButtons(p->BtnRevPause, p->BtnPlayRev);
        PlayingReverse = 0;
        PausedReverse = 1;
    }
}

void ShowStoppedButtons()
{
    TBedienTeil* p = BedienTeil;
    Paused = 0;
    PausedReverse = 0;
    p->Timer2->stop();
    p->BtnStop->setEnabled(false);
    if (Playing == 1) {
        SwapButtons(p->BtnPlayPause, p->BtnPlay);
        Playing = 0;
    }
    if (PlayingReverse == 1) {
        SwapButtons(p->BtnRevPause, p->BtnPlayRev);
        PlayingReverse = 0;
    }
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
    Playing = 0;
    Paused = 1;
}

void TBedienTeil::BtnPlayRevClick()
{
    Timer2->stop();
    PlayReverse();
    if (Playing == 1) {
        SwapButtons(BtnPlayPause, BtnPlay);
        Playing = 0;
    }
    SwapButtons(BtnPlayRev, BtnRevPause);
    Playing = 0;
    Paused = 0;
    PlayingReverse = 1;
    PausedReverse = 0;
}

void TBedienTeil::BtnRevPauseClick()
{
    Timer2->stop();
    PauseReverse();
    ShowPausedButtons();
    PlayingReverse = 0;
    PausedReverse = 1;
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
    Paused = 0;
    PausedReverse = 0;
    if (Playing == 1) {
        SwapButtons(BtnPlayPause, BtnPlay);
        Playing = 0;
    }
    if (PlayingReverse == 1) {
        SwapButtons(BtnRevPause, BtnPlayRev);
        PlayingReverse = 0;
    }
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
