#include "mpris/MprisPlayerAdaptor.h"

#include "engine/modul01.h"
#include "panel/KeyQueue.h"
#include "panel/KeyVolume.h"
#include "panel/ZORVEX32.h"
#include "mpris/MprisPlayerWatch.h"

#include <QDBusContext>
#include <QDBusMessage>
#include <QFileInfo>
#include <QToolButton>
#include <QUrl>

#include <limits>

namespace {

const char* const kPath = "/org/mpris/MediaPlayer2";

} // namespace

MprisPlayerAdaptor::MprisPlayerAdaptor(QObject* owner, TBedienTeil& panel, MprisPlayerWatch& watch,
                                       const QDBusConnection& bus)
    : QDBusAbstractAdaptor(owner), panel_(panel), watch_(watch), bus_(bus)
{
    connect(&watch_, &MprisPlayerWatch::PropertiesChanged, this, &MprisPlayerAdaptor::AnnounceChanges);
    connect(&watch_, &MprisPlayerWatch::Seeked, this, &MprisPlayerAdaptor::Seeked);
}

void MprisPlayerAdaptor::AnnounceChanges(const QVariantMap& changed)
{
    QDBusMessage signal = QDBusMessage::createSignal(QLatin1String(kPath),
                                                     QStringLiteral("org.freedesktop.DBus.Properties"),
                                                     QStringLiteral("PropertiesChanged"));
    signal << QStringLiteral("org.mpris.MediaPlayer2.Player") << changed << QStringList();
    bus_.send(signal);
}

void MprisPlayerAdaptor::Refuse(const QString& errorName, const QString& text)
{
    // QtDBus keeps a call's context on the object the adaptor belongs to.
    const auto* call = dynamic_cast<const QDBusContext*>(parent());
    if (call && call->calledFromDBus())
        call->sendErrorReply(errorName, text);
}

// ---- Properties: each read looks at the player first, so a reply never
// contradicts the PropertiesChanged that follows it.

QString MprisPlayerAdaptor::PlaybackStatus() const
{
    watch_.Refresh();
    return watch_.State().PlaybackStatus;
}

QVariantMap MprisPlayerAdaptor::Metadata() const
{
    watch_.Refresh();
    return watch_.Metadata();
}

double MprisPlayerAdaptor::Volume() const
{
    watch_.Refresh();
    return watch_.State().Volume / 1000.0;
}

qlonglong MprisPlayerAdaptor::Position() const
{
    watch_.Refresh();
    return watch_.Position();
}

bool MprisPlayerAdaptor::CanGoNext() const
{
    watch_.Refresh();
    return watch_.State().CanGoNext;
}

bool MprisPlayerAdaptor::CanGoPrevious() const
{
    watch_.Refresh();
    return watch_.State().CanGoPrevious;
}

bool MprisPlayerAdaptor::MediaOpen() const
{
    watch_.Refresh();
    return watch_.State().MediaOpen;
}

void MprisPlayerAdaptor::SetRate(double rate)
{
    // Rate 0 means pause; every other rate is refused by staying at 1.
    if (rate <= 0.0)
        Pause();
}

void MprisPlayerAdaptor::SetVolume(double volume)
{
    if (!(volume >= 0.0))  // negative or not a number
        volume = 0.0;
    SetVolumeLevel(qRound(qMin(volume, 1.0) * 1000.0));
    watch_.Refresh();
}

// ---- Commands: the panel's own handlers, under the conditions in which the
// user could run them.

void MprisPlayerAdaptor::Play()
{
    if (panel_.BtnPlay->isEnabled())
        panel_.BtnPlayClick();
    watch_.Refresh();
}

void MprisPlayerAdaptor::Pause()
{
    if (panel_.BtnPlayPause->isEnabled())
        panel_.BtnPlayPauseClick();
    else if (panel_.BtnRevPause->isEnabled())
        panel_.BtnRevPauseClick();
    watch_.Refresh();
}

void MprisPlayerAdaptor::PlayPause()
{
    watch_.Refresh();
    if (watch_.State().PlaybackStatus == QLatin1String("Playing"))
        Pause();
    else
        Play();
}

void MprisPlayerAdaptor::Stop()
{
    // The Stop button is enabled only during forward play; its handler also
    // stops a paused or reversing medium, which is what Stop asks for here.
    if (::MediaOpen == 1)
        panel_.BtnStopClick();
    watch_.Refresh();
}

void MprisPlayerAdaptor::Next()
{
    // The "+" key, which works only with a medium open.
    if (::MediaOpen == 1)
        NextQueueEntry();
    watch_.Refresh();
}

void MprisPlayerAdaptor::Previous()
{
    if (::MediaOpen == 1)
        PreviousQueueEntry();
    watch_.Refresh();
}

void MprisPlayerAdaptor::SeekFrame(qint64 frame)
{
    const qint64 last = qMax(0, FrameCount - 1);
    panel_.TrackBarSeekFrame(int(qBound(qint64(0), frame, last)));
    watch_.NoteSeek();
}

void MprisPlayerAdaptor::Seek(qlonglong Offset)
{
    watch_.Refresh();
    if (!watch_.State().MediaOpen)
        return;
    const qint64 from = watch_.Position();
    const qint64 to = Offset > std::numeric_limits<qint64>::max() - from ? std::numeric_limits<qint64>::max()
                                                                          : from + Offset;
    const qint64 frame = watch_.Clock().FrameAt(to);
    // Past the end the next track plays, when the queue has one.
    if (frame >= FrameCount && watch_.State().CanGoNext) {
        Next();
        return;
    }
    SeekFrame(frame);
}

void MprisPlayerAdaptor::SetPosition(const QDBusObjectPath& TrackId, qlonglong Position)
{
    watch_.Refresh();
    // A request meant for a track that has since been replaced is stale.
    if (!watch_.State().MediaOpen || TrackId.path() != watch_.TrackId().path())
        return;
    if (Position < 0 || Position > watch_.Clock().Microseconds(watch_.State().FrameCount))
        return;
    SeekFrame(watch_.Clock().FrameAt(Position));
}

void MprisPlayerAdaptor::OpenUri(const QString& Uri)
{
    const QUrl url(Uri);
    const bool local = url.isValid() && url.isLocalFile()
        && (url.host().isEmpty() || url.host() == QLatin1String("localhost"));
    if (!local) {
        Refuse(QStringLiteral("org.freedesktop.DBus.Error.NotSupported"),
               QStringLiteral("KELD32 opens local files only (file:// URIs), not ") + Uri);
        return;
    }
    const QString path = QFileInfo(url.toLocalFile()).absoluteFilePath();
    if (!QFileInfo(path).isFile()) {
        Refuse(QStringLiteral("org.freedesktop.DBus.Error.InvalidArgs"), QStringLiteral("No such file: ") + path);
        return;
    }
    // Open File's own handler, with the file named here instead of in its dialog.
    const auto dialog = panel_.OpenDialog1Execute;
    panel_.OpenDialog1Execute = [this, path] {
        panel_.OpenDialog1FileName = path;
        return true;
    };
    panel_.OpenClick();
    panel_.OpenDialog1Execute = dialog;
    if (::MediaOpen != 1) {
        // The open sequence has shown the device's error text as the menu's open does.
        Refuse(QStringLiteral("org.freedesktop.DBus.Error.Failed"), QStringLiteral("The file could not be opened: ") + path);
        watch_.Refresh();
        return;
    }
    // A player asked to open a track starts playing it.
    Play();
}
