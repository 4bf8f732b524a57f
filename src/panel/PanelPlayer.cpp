// The control panel's side of the player object: what the media routines ask
// of the panel (engine/Player.h) is done here, in the order they ask it.
#include "panel/ZORVEX32.h"

#include "engine/modul01.h"
#include "panel/Mousebar.h"

#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QTimer>
#include <QToolButton>

namespace {

void setControl(QWidget* control, bool visible, bool enabled)
{
    control->setVisible(visible);
    control->setEnabled(enabled);
}

} // namespace

void TBedienTeil::ObservePlayer()
{
    Player* player = &ThePlayer();
    connect(player, &Player::PositionPollSwitched, this, &TBedienTeil::SwitchPositionPoll);
    connect(player, &Player::PositionPollRestartWanted, Timer1, qOverload<>(&QTimer::start));
    connect(player, &Player::PollIntervalChosen, Timer1, qOverload<int>(&QTimer::setInterval));
    connect(player, &Player::TrackRangeChosen, Trackbar1, &TMousebar::setMaximum);
    connect(player, &Player::MediaMenuSwitched, this, &TBedienTeil::SwitchMediaMenu);
    connect(player, &Player::NoMediaStateShown, this, &TBedienTeil::ShowNoMediaLook);
    connect(player, &Player::MediaReadyStateShown, this, &TBedienTeil::ShowMediaReadyLook);
    connect(player, &Player::ForwardPlayShown, this, &TBedienTeil::ShowForwardPlayButtons);
    connect(player, &Player::PlayStartWatchStarted, this, [this] {
        if (!Timer3->isActive())
            Timer3->start();
    });
    connect(player, &Player::PanelToFrontWanted, this, &QWidget::raise);
    connect(player, &Player::PanelToBackWanted, this, &QWidget::lower);
}

void TBedienTeil::SwitchPositionPoll(bool on)
{
    if (!on)
        Timer1->stop();
    else if (!Timer1->isActive())
        Timer1->start();
}

void TBedienTeil::SwitchMediaMenu(bool enabled)
{
    for (QAction* item : {Close1, GotoFrame, ConfigureMCIdevice1})
        item->setEnabled(enabled);
}

void TBedienTeil::ShowNoMediaLook()
{
    setWindowTitle(QStringLiteral("Vantu's MCI Video File Player"));
    BtnStop->setEnabled(false);
    for (QToolButton* b : {BtnToStart, BtnStepRev, BtnStep, BtnToEnd})
        b->setEnabled(false);
    setControl(BtnRevPause, false, false);
    setControl(BtnPlayRev, true, false);
    setControl(BtnPlayPause, false, false);
    setControl(BtnPlay, true, false);
    setControl(BtnLoop0, true, false);
    setControl(BtnLoop1, false, false);
    setControl(Trackbar1, false, false);
    setControl(Panel1, true, true);
    ShMultiStep->hide();
    ShQueue->hide();
}

void TBedienTeil::ShowMediaReadyLook()
{
    setWindowTitle(MediaName.toUpper());
    BtnStop->setEnabled(false);
    for (QToolButton* b : {BtnToStart, BtnStepRev, BtnStep, BtnToEnd})
        b->setEnabled(true);
    setControl(BtnRevPause, false, false);
    if (CanReverse == 1)
        setControl(BtnPlayRev, true, true);
    setControl(BtnPlayPause, false, false);
    setControl(BtnPlay, true, true);
    setControl(BtnLoop0, LoopOn != 1, LoopOn != 1);
    setControl(BtnLoop1, LoopOn == 1, LoopOn == 1);
    setControl(Trackbar1, true, true);
    setControl(Panel1, false, false);
    if (MultiStep == 1)
        ShMultiStep->show();
    if (QueueActive == 1)
        ShQueue->show();
}

void TBedienTeil::ShowForwardPlayButtons(TransportState before)
{
    if (before == TransportState::PlayingReverse)
        SwapButtons(BtnRevPause, BtnPlayRev);
    SwapButtons(BtnPlay, BtnPlayPause);
    BtnStop->setEnabled(true);
}
