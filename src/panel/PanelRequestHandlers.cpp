// The control panel's side of what the lower windows ask of it
// (shell/PanelRequests.h). Every panel listens, but only the program's panel
// at the time of the request acts, as when the windows reached it by name.
#include "panel/ZORVEX32.h"

#include "shell/PanelRequests.h"
#include "shell/language.h"

#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QTimer>
#include <QToolButton>

void TBedienTeil::ObserveRequests()
{
    PanelRequests* requests = &ThePanelRequests();
    const auto act = [this](auto handler) {
        return [this, handler](auto&&... args) {
            if (BedienTeil == this)
                (this->*handler)(args...);
        };
    };
    connect(requests, &PanelRequests::CaptionWanted, this, act(&TBedienTeil::setWindowTitle));
    connect(requests, &PanelRequests::OpenFilterChosen, this, act(&TBedienTeil::SetOpenFilter));
    connect(requests, &PanelRequests::MenuActionsWanted, this, act(&TBedienTeil::AddMenuActions));
    connect(requests, &PanelRequests::MenuWanted, this, act(&TBedienTeil::OpenMenuAt));
    connect(requests, &PanelRequests::KeyForwarded, this, act(&TBedienTeil::TakeKey));
    connect(requests, &PanelRequests::StepTimerStopWanted, this, act(&TBedienTeil::StopStepTimer));
    connect(requests, &PanelRequests::PlayFromFrontWanted, this, act(&TBedienTeil::PlayFromFront));
    connect(requests, &PanelRequests::ProgramEndWanted, this, act(&TBedienTeil::TerminateProgram));
    connect(requests, &PanelRequests::FrontWanted, this, act(&TBedienTeil::ShowActive));
    connect(requests, &PanelRequests::PlayWanted, this, act(&TBedienTeil::PlayFromQueue));
    connect(requests, &PanelRequests::QueueModeEntered, this, act(&TBedienTeil::ShowQueueMode));
    connect(requests, &PanelRequests::QueueModeLeft, this, act(&TBedienTeil::HideQueueMode));
    connect(requests, &PanelRequests::QueueEmptied, this, act(&TBedienTeil::DisableClearQueue));
    connect(requests, &PanelRequests::LoopStateWanted, this, act(&TBedienTeil::TellLoopState));
    connect(requests, &PanelRequests::StoppedButtonsWanted, this, [this] {
        if (BedienTeil == this)
            ShowStoppedButtons();
    });
    connect(requests, &PanelRequests::OpenFilterWanted, this, act(&TBedienTeil::TellOpenFilter));
    connect(requests, &PanelRequests::MoveWanted, this, act(&TBedienTeil::MoveTo));
    connect(requests, &PanelRequests::ShowInFrontWanted, this, act(&TBedienTeil::BringToFront));
    connect(requests, &PanelRequests::SettingsStoreWanted, this, act(&TBedienTeil::TellSettingsStore));
    connect(requests, &PanelRequests::StepIntervalWanted, this, act(&TBedienTeil::TellStepInterval));
    connect(requests, &PanelRequests::StepIntervalChosen, this, act(&TBedienTeil::SetStepInterval));
    connect(requests, &PanelRequests::PollIntervalChosen, this, act(&TBedienTeil::SetPollInterval));
    connect(requests, &PanelRequests::MultiStepShown, this, act(&TBedienTeil::ShowMultiStep));
}

void TBedienTeil::SetOpenFilter(const QString& filter)
{
    OpenDialog1Filter = filter;
}

void TBedienTeil::AddMenuActions(QList<QAction*>& actions)
{
    if (PopupMenu1)
        actions += PopupMenu1->actions();
}

void TBedienTeil::OpenMenuAt(const QPoint& globalPos)
{
    if (PopupMenu1)
        PopupMenu1->popup(globalPos);
}

void TBedienTeil::StopStepTimer()
{
    if (Timer2)
        Timer2->stop();
}

void TBedienTeil::PlayFromFront()
{
    show();
    raise();
    if (BtnPlay)
        BtnPlay->setFocus();
    BtnPlayClick();
}

void TBedienTeil::ShowActive()
{
    show();
    raise();
    activateWindow();
}

// Unlike PlayFromFront, the panel is not raised.
void TBedienTeil::PlayFromQueue()
{
    show();
    BtnPlay->setFocus();
    BtnPlayClick();
}

void TBedienTeil::ShowQueueMode()
{
    ShQueue->show();
    EndQueue1->setEnabled(true);
    ClearQueue1->setEnabled(true);
}

void TBedienTeil::HideQueueMode()
{
    ShQueue->hide();
    EndQueue1->setEnabled(false);
}

void TBedienTeil::DisableClearQueue()
{
    ClearQueue1->setEnabled(false);
}

void TBedienTeil::TellLoopState(bool& on)
{
    on = BtnLoop1 && BtnLoop1->isEnabled();
}

void TBedienTeil::TellOpenFilter(QString& filter)
{
    filter = OpenDialog1Filter;
}

void TBedienTeil::MoveTo(const QPoint& topLeft)
{
    move(topLeft);
}

void TBedienTeil::TellSettingsStore(TRegistryEnhanced*& store)
{
    store = RegData;
}

void TBedienTeil::TellStepInterval(int& milliseconds)
{
    if (Timer2)
        milliseconds = Timer2->interval();
}

void TBedienTeil::SetStepInterval(int milliseconds)
{
    if (Timer2)
        Timer2->setInterval(milliseconds);
}

void TBedienTeil::SetPollInterval(int milliseconds)
{
    if (Timer1)
        Timer1->setInterval(milliseconds);
}

void TBedienTeil::ShowMultiStep(bool on)
{
    if (ShMultiStep)
        ShMultiStep->setVisible(on);
    if (BtnStep)
        BtnStep->setToolTip(on ? HintMultipleStep : HintStepForward);
}
