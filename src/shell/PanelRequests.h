#pragma once
#include <QList>
#include <QObject>
#include <QPoint>
#include <QString>

class QAction;
class QKeyEvent;
class TRegistryEnhanced;

// What the windows below the control panel ask of it. They cannot name the
// panel; the program's panel (BedienTeil) connects to these signals and does
// the work before the emitting routine goes on, so the order of what the user
// sees is that of the routine. Without a panel the requests go nowhere.
class PanelRequests : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // The panel's window caption.
    void CaptionWanted(const QString& caption);
    // The open dialog's filter, in "description|patterns|..." form.
    void OpenFilterChosen(const QString& filter);

    // The panel's menu entries, appended to `actions`.
    void MenuActionsWanted(QList<QAction*>& actions);
    // The panel's menu, opened at a point of the screen.
    void MenuWanted(const QPoint& globalPos);
    // A key pressed in another window, for the keyboard commands.
    void KeyForwarded(const QKeyEvent& key);
    // Multi-step stops.
    void StepTimerStopWanted();
    // The panel comes forward and its Play button is clicked.
    void PlayFromFrontWanted();
    // The program ends once the running handler returns.
    void ProgramEndWanted();
    // The panel is shown, raised and activated.
    void FrontWanted();
    // The panel is shown and its Play button is clicked.
    void PlayWanted();
    // The queue dot and the End Queue entry on, Clear Queue enabled.
    void QueueModeEntered();
    // The queue dot and the End Queue entry off.
    void QueueModeLeft();
    // The buttons of a stopped medium; multi-step stops.
    void StoppedButtonsWanted();
    // Clear Queue disabled: nothing left to clear.
    void QueueEmptied();
    // Whether looping is on, into `on`.
    void LoopStateWanted(bool& on);
    // The open dialog's filter, into `filter`.
    void OpenFilterWanted(QString& filter);

    // The panel moves to a point of the screen.
    void MoveWanted(const QPoint& topLeft);
    // The panel is shown and raised.
    void ShowInFrontWanted();
    // The settings store the panel reads and writes, into `store`.
    void SettingsStoreWanted(TRegistryEnhanced*& store);
    // Multi-step's interval, into `milliseconds`; and a new one.
    void StepIntervalWanted(int& milliseconds);
    void StepIntervalChosen(int milliseconds);
    // The position poll's interval; the poll is not started.
    void PollIntervalChosen(int milliseconds);
    // The multi-step dot and the Step button's hint.
    void MultiStepShown(bool on);
};

// The one channel of the program.
PanelRequests& ThePanelRequests();
