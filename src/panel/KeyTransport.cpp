#include "display/disp.h"

#include "panel/KeyTransport.h"

#include "engine/modul01.h"
#include "panel/ZORVEX32.h"
#include "shell/language.h"

#include <QFrame>
#include <QTimer>
#include <QToolButton>

namespace {

void bringPanelToFront()
{
    BedienTeil->show();
    BedienTeil->raise();
}

// The display follows the new Zoom; the position poll is held off meanwhile.
void updateDisplayForZoom()
{
    BedienTeil->Timer1->stop();
    if (CanStretch == 1)
        PlaceVideo();
    if (PanelInFront == 1)
        bringPanelToFront();
    BedienTeil->Timer1->start();
}

} // namespace

void ZoomFactorUp()
{
    if (Zoom >= 4)
        return;
    ++Zoom;
    updateDisplayForZoom();
}

void ZoomFactorDown()
{
    if (Zoom <= 1)
        return;
    --Zoom;
    updateDisplayForZoom();
}

void ToggleMultiStep()
{
    BedienTeil->Timer2->stop();
    if (MultiStep == 1) {
        MultiStep = 0;
        BedienTeil->ShMultiStep->hide();
        BedienTeil->BtnStep->setToolTip(HintStepForward);
    } else {
        MultiStep = 1;
        BedienTeil->ShMultiStep->show();
        BedienTeil->BtnStep->setToolTip(HintMultipleStep);
    }
}

void ToggleFrontWindow()
{
    if (PanelInFront == 1) {
        // Without a display window to raise, the panel steps back instead.
        if (Display)
            Display->raise();
        else
            BedienTeil->lower();
        PanelInFront = 0;
    } else {
        bringPanelToFront();
        PanelInFront = 1;
    }
}

void KeyPlayReverse()
{
    if (CanReverse != 1)
        return;
    if (PlayingReverse)
        BedienTeil->BtnRevPauseClick();
    else
        BedienTeil->BtnPlayRevClick();
}

void KeyStop()
{
    if (!BedienTeil->BtnStop->isEnabled())
        return;
    StopMedia();
    ShowStoppedButtons();
}

void KeyPlayOrPause()
{
    BedienTeil->Timer2->stop();
    if (!Playing) {
        PlayForward();
        return;
    }
    PauseMedia();
    SwapButtons(BedienTeil->BtnPlayPause, BedienTeil->BtnPlay);
    BedienTeil->BtnStop->setEnabled(false);
    ThePlayer().Transition(TransportState::Paused);
}

void KeyToStart()
{
    SeekToStart();
    ShowStoppedButtons();
    if (MediaExt == QLatin1String("MOV"))
        bringPanelToFront();
}
