#pragma once
#include "engine/PlayerRecord.h"
#include "engine/TransportState.h"

#include <QObject>

class VideoWindow;

// The player: owns the player-state record and the transport state, and tells
// the windows what the media routines (modul01.h) have done. The engine never
// reaches into a window: the panel and the desktop's remote control connect to
// these signals, the go-to dialog asks for the poll through them, and the
// display window is reached as the VideoWindow it registers. Everything runs on
// the user-interface thread, and every signal is delivered before the routine
// that emits it goes on, so the windows change in the order the routines say.
class Player : public QObject {
    Q_OBJECT
public:
    explicit Player(QObject* parent = nullptr);
    ~Player() override;

    PlayerRecord& Record() { return record_; }
    const PlayerRecord& Record() const { return record_; }

    TransportState Transport() const { return transport_; }
    // The one way the transport moves; the four transport flags follow it.
    void Transition(TransportState to);

    // Back to the values at program start, the transport included.
    void Reset();

    // The window the device draws into; none while no display window exists.
    void SetVideoWindow(VideoWindow* window) { videoWindow_ = window; }
    VideoWindow* Window() const { return videoWindow_; }

    // Called by a watched field of the record when its value changes.
    void NoteRecordChanged();

signals:
    // The transport moved from `before` to `now` (never emitted for a move to
    // the state it was in).
    void TransportChanged(TransportState before, TransportState now);
    // A watched field of the record changed (the medium opened or closed, the
    // position, the length, the volume, queue mode, the track bar held), or the
    // record was reset.
    void RecordChanged();

    // What the media routines ask of the control panel, in their order:
    // the position poll off or on; its interval; the track bar's range; the menu
    // entries that need a medium; the two panel looks; the buttons of forward
    // play (`before` is the transport the play started from); the play-start
    // watch; the panel to the front or, when the display cannot come forward,
    // to the back.
    void PositionPollSwitched(bool on);
    // The go-to dialog's end: the position poll starts afresh.
    void PositionPollRestartWanted();
    void PollIntervalChosen(int milliseconds);
    void TrackRangeChosen(int maximum);
    void MediaMenuSwitched(bool enabled);
    void NoMediaStateShown();
    void MediaReadyStateShown();
    void ForwardPlayShown(TransportState before);
    void PlayStartWatchStarted();
    void PanelToFrontWanted();
    void PanelToBackWanted();
    // An open that takes a while began (true) or ended (false): the panel answers
    // only what ends it meanwhile.
    void OpenUnderWaySwitched(bool on);

private:
    PlayerRecord record_;
    TransportState transport_ = TransportState::NoMedium;
    VideoWindow* videoWindow_ = nullptr;
};

// The one player of the program.
Player& ThePlayer();
