#pragma once
#include "shell/FrameClock.h"
#include "mpris/MprisPlayerState.h"

#include <QDBusObjectPath>
#include <QObject>
#include <QVariantMap>

// Keeps the desktop's picture of the player in step with the player itself. It
// observes the player object (transport and watched record fields) and the queue
// list; a change schedules one look for when the running handler has returned, so
// a handler's intermediate states are never announced. The bus reading a property
// looks at once. Only what differs from the last look is announced.
class MprisPlayerWatch : public QObject {
    Q_OBJECT
public:
    explicit MprisPlayerWatch(QObject* parent = nullptr);

    // Looks at the player now and announces what has changed since the last look.
    void Refresh();
    // Asks for one look once the running handler has returned.
    void ScheduleRefresh();

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
    bool refreshScheduled_ = false;
};
