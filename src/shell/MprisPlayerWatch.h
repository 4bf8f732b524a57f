#pragma once
#include "shell/FrameClock.h"
#include "shell/MprisPlayerState.h"

#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

// Keeps the desktop's picture of the player in step with the player itself. The
// player's handlers change plain state variables and tell no one, so the state is
// looked at whenever the event loop has run out of work (after every click, key,
// timer tick and bus call) and before the bus reads a property; only what differs
// from the last look is announced. That costs a few comparisons per loop pass and
// never adds a timer of its own.
class MprisPlayerWatch : public QObject {
    Q_OBJECT
public:
    explicit MprisPlayerWatch(QObject* parent = nullptr);

    // Looks at the player now and announces what has changed since the last look.
    void Refresh();

    const MprisPlayerState& State() const { return last_; }
    const FrameClock& Clock() const { return clock_; }
    // The open medium's id, "/org/keld32/Track/N", N counting the media opened;
    // the reserved NoTrack path without a medium.
    QDBusObjectPath TrackId() const;
    // mpris:trackid, mpris:length, xesam:title and xesam:url; empty without a medium.
    QVariantMap Metadata() const;
    // Where the player stands, in microseconds.
    qint64 Position() const;

    // After a seek asked for over the bus: a look at once, with Seeked even when
    // play goes on (a jump during play is not seen otherwise).
    void NoteSeek();

signals:
    // Player properties (by their D-Bus names) whose values have changed.
    void PropertiesChanged(const QVariantMap& changed);
    // The position jumped in a way play does not explain.
    void Seeked(qint64 microseconds);

private:
    void TakeNewMedium();

    MprisPlayerState last_;
    FrameClock clock_;
    int track_ = 0;
    bool seekAsked_ = false;
};
