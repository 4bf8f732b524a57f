#pragma once
#include "engine/TransportState.h"

#include <QString>
#include <QHash>
#include <QWidget>

#include <functional>

class QAction;
class QFrame;
class QKeyEvent;
class QLabel;
class QMenu;
class QTimer;
class QToolButton;
class TDropFileTarget;
class TMousebar;
class TRegistryEnhanced;
struct TShiftState;

// The control panel: the main window, one button row high, from which the user
// drives the player. Its controls are public so that the text table and the
// other windows can reach them by name; the media routines do not: the panel
// follows the player object's signals (PanelPlayer.cpp).
class TBedienTeil : public QWidget {
    Q_OBJECT
public:
    explicit TBedienTeil(QWidget* parent = nullptr);
    ~TBedienTeil() override;

    // Transport buttons, left to right; each pair shares one place.
    QToolButton* BtnToStart = nullptr;
    QToolButton* BtnStepRev = nullptr;
    QToolButton* BtnPlayRev = nullptr;
    QToolButton* BtnRevPause = nullptr;
    QToolButton* BtnStop = nullptr;
    QToolButton* BtnPlay = nullptr;
    QToolButton* BtnPlayPause = nullptr;
    QToolButton* BtnStep = nullptr;
    QToolButton* BtnToEnd = nullptr;
    QToolButton* BtnLoop0 = nullptr;
    QToolButton* BtnLoop1 = nullptr;

    // Indicator dots: multi-step (red) and queue (green).
    QFrame* ShMultiStep = nullptr;
    QFrame* ShQueue = nullptr;

    // The status strip shown without a medium, and the position track bar.
    QLabel* Panel1 = nullptr;
    TMousebar* Trackbar1 = nullptr;

    // Position poll, multi-step, play-start watch, drag re-arm.
    QTimer* Timer1 = nullptr;
    QTimer* Timer2 = nullptr;
    QTimer* Timer3 = nullptr;
    QTimer* Timer4 = nullptr;

    // The right-button menu and its entries.
    QMenu* PopupMenu1 = nullptr;
    QAction* Open = nullptr;
    QAction* Close1 = nullptr;
    QAction* GotoFrame = nullptr;
    QAction* OpenQueue1 = nullptr;
    QAction* ClearQueue1 = nullptr;
    QAction* EndQueue1 = nullptr;
    QAction* ConfigureMCIdevice1 = nullptr;
    QAction* Preferences1 = nullptr;
    QAction* Info1 = nullptr;
    QAction* Exit1 = nullptr;

    // The open dialog: title, filter in "description|patterns|..." form (device
    // discovery replaces it), and the file chosen by the last run.
    QString OpenDialog1Title;
    QString OpenDialog1Filter;
    QString OpenDialog1FileName;
    // Runs the dialog; true when a file was chosen (then OpenDialog1FileName holds
    // it). Replaceable so that tests and scripted runs need no real dialog.
    std::function<bool()> OpenDialog1Execute;
    // The filter in Qt's form ("description (patterns);;...").
    QString OpenDialog1QtFilter() const;

    // Takes files dropped on the panel (QueueDrop.cpp registers it).
    TDropFileTarget* DropFileTarget1 = nullptr;
    // Replaces the queue with the dropped files and plays the first.
    void DropFileTarget1Drop(QObject* Sender, const TShiftState& ShiftState, const QPoint& Point, int& Effect);

    // The settings store; made by the start-up code.
    TRegistryEnhanced* RegData = nullptr;
    bool SettingsWritten = false;

    // Windows the menu shows; set by whoever creates them. While one is missing its
    // menu entry does only the panel's part of the work.
    QWidget* GotoFrameWindow = nullptr;
    QWidget* QueueWindow = nullptr;
    QWidget* PrefsWindow = nullptr;
    QWidget* InfoWindow = nullptr;

    // Shows one of the program's own plain messages (one "OK" button).
    std::function<void(const QString& text)> ShowMessage;

    // Tells the program to end once the running handler returns.
    void TerminateProgram();
    void LeaveScreen();
    bool ProgramEndRequested = false;
    QHash<QAction*, bool> EnabledBeforeOpening;

    // Start-up and shutdown (PanelStartup.cpp).
    void FormCreate();
    void FormShow();
    void FormActivate();
    void FormClick();
    void FormDestroy();
    // Writes the settings once per run: from FormDestroy, or at the process's exit
    // when the toolkit ends the program without it (the X server went away).
    void WriteSettingsOnce();
    void ExitProgramClick();

    // Button handlers.
    void BtnToStartClick();
    void BtnStepRevClick();
    void BtnPlayRevClick();
    void BtnRevPauseClick();
    void BtnStopClick();
    void BtnPlayClick();
    void BtnPlayPauseClick();
    void BtnStepClick();
    void BtnToEndClick();
    void BtnLoop0Click();
    void BtnLoop1Click();

    // Menu handlers.
    void OpenClick();
    void Close1Click();
    void GotoFrameClick();
    void OpenQueue1Click();
    void ClearQueue1Click();
    void EndQueue1Click();
    void ConfigureMCIdevice1Click();
    void Preferences1Click();
    void Info1Click();

    // Keeps the panel one row high and stretches the strip and track bar.
    void FormResize();

    // Timers and the track bar.
    void Timer1Timer();
    void Timer2Timer();
    void Timer3Timer();
    void Timer4Timer();
    void TrackBar1Change();
    void TrackBar1Enter();
    void TrackBar1Exit();
    void Trackbar1MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void Trackbar1MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    // A click on the track bar at exactly `frame` and its release, for callers that
    // name a frame rather than a pixel: pause if playing, seek and verify, caption,
    // resume; the position poll runs again afterwards.
    void TrackBarSeekFrame(int frame);

    // The caption during playback, with `position` as the position.
    QString StatusCaption(const QString& position) const;

    // Keys, seen before the focused control gets them.
    void FormKeyDown(quint16 key, Qt::KeyboardModifiers shift);
    void FormKeyPress(char ch);
    // Both of the above for a key pressed here or in the display window.
    void TakeKey(const QKeyEvent& key);

protected:
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Connects the panel to the player object's signals (PanelPlayer.cpp).
    void ObservePlayer();
    // Connects the panel to what the lower windows ask of it
    // (PanelRequestHandlers.cpp); only the program's panel (BedienTeil) acts.
    void ObserveRequests();
    void SetOpenFilter(const QString& filter);
    void AddMenuActions(QList<QAction*>& actions);
    void OpenMenuAt(const QPoint& globalPos);
    void StopStepTimer();
    // Comes forward and clicks Play, as a command-line start does.
    void PlayFromFront();
    void ShowActive();
    void PlayFromQueue();
    void ShowQueueMode();
    void HideQueueMode();
    void DisableClearQueue();
    void TellLoopState(bool& on);
    void TellOpenFilter(QString& filter);
    void MoveTo(const QPoint& topLeft);
    void TellSettingsStore(TRegistryEnhanced*& store);
    void TellStepInterval(int& milliseconds);
    void SetStepInterval(int milliseconds);
    void SetPollInterval(int milliseconds);
    void ShowMultiStep(bool on);
    void SwitchPositionPoll(bool on);
    void SwitchMediaMenu(bool enabled);
    // While an open runs behind the panel (PanelOpening.cpp).
    void ObserveOpening();
    bool EndsTheOpen(const QAction* item) const;
    bool LetThroughWhileOpening(QObject* receiver, QEvent* event) const;
    void SwitchOpeningMenu(bool on);
    // True when an open was under way: it is ended, and `handler` runs after it.
    bool EndOpenFirst(void (TBedienTeil::*handler)());
    // The controls of ShowNoMediaState and ShowMediaReadyState.
    void ShowNoMediaLook();
    void ShowMediaReadyLook();
    // Forward play's buttons: the reverse pair back if reverse play ran, the
    // pause button in the play button's place, Stop enabled.
    void ShowForwardPlayButtons(TransportState before);

    void BuildButtons();
    void BuildIndicators();
    void BuildMenu();
    void BuildTimers();
    void WireTrackbar();
    void InstallKeyPreview();
    QToolButton* MakeButton(int left, void (TBedienTeil::*handler)());
    QAction* MakeItem(const QString& caption, const QKeySequence& shortcut,
                      void (TBedienTeil::*handler)());
    void StopIfPlaying();
    void PauseIfPlaying();
    void LeaveQueueMode();
    void ShowWindow(QWidget* window);
    // The position poll; `playEnded` when the device has already stopped by itself.
    void PollPosition(bool playEnded);
    // The end of forward play: command-mode end, next queue entry, loop or the
    // stopped look. False when the rest of the poll is to be skipped.
    bool MediumEnded();
    void BringToFront();
    bool SeekAndVerify(int& target);
    void PressTrackBar();
    void SeekTrackTarget(int target);
};

extern TBedienTeil* BedienTeil;

// The buttons after a pause or single step, and after stop, seek or end.
void ShowPausedButtons();
void ShowStoppedButtons();

// Hides and disables `from`, enables and shows `to`: the swap of a button pair.
void SwapButtons(QToolButton* from, QToolButton* to);
