#include "mpris/MprisPlayerWatch.h"

#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "engine/modul01.h"
#include "queue/QueueForm.h"

#include <QAbstractItemModel>
#include <QFileInfo>
#include <QListWidget>
#include <QUrl>

MprisPlayerWatch::MprisPlayerWatch(QObject* parent) : QObject(parent)
{
    last_ = MprisPlayerState::Take();
    if (last_.MediaOpen)
        TakeNewMedium();
    Player* player = &ThePlayer();
    connect(player, &Player::TransportChanged, this, &MprisPlayerWatch::ScheduleRefresh);
    connect(player, &Player::RecordChanged, this, &MprisPlayerWatch::ScheduleRefresh);
    // Next and previous depend on the queue list's length and selection.
    if (QueueForm && QueueForm->ListBox1) {
        QListWidget* list = QueueForm->ListBox1;
        QAbstractItemModel* model = list->model();
        connect(list, &QListWidget::currentRowChanged, this, &MprisPlayerWatch::ScheduleRefresh);
        connect(model, &QAbstractItemModel::rowsInserted, this, &MprisPlayerWatch::ScheduleRefresh);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &MprisPlayerWatch::ScheduleRefresh);
        connect(model, &QAbstractItemModel::modelReset, this, &MprisPlayerWatch::ScheduleRefresh);
    }
}

void MprisPlayerWatch::ScheduleRefresh()
{
    if (refreshScheduled_)
        return;
    refreshScheduled_ = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
            refreshScheduled_ = false;
            Refresh();
        },
        Qt::QueuedConnection);
}

void MprisPlayerWatch::TakeNewMedium()
{
    ++track_;
    // The panel keeps whole frames per second only; the exact rate (29.97 is
    // 29970) comes from the device, as the panel's own rate does.
    QString reply;
    quint32 error = 0;
    SendMciString(vid::statusNominalFrameRate(), reply, error);
    bool ok = false;
    const qint64 rate1000 = reply.toLongLong(&ok);
    clock_ = FrameClock(error == 0 && ok && rate1000 > 0 ? rate1000 : qint64(FrameRate) * 1000);
}

void MprisPlayerWatch::Refresh()
{
    const MprisPlayerState now = MprisPlayerState::Take();
    const MprisPlayerState before = last_;
    last_ = now;

    QVariantMap changed;
    const bool newMedium = !now.SameMedium(before);
    if (newMedium) {
        if (now.MediaOpen)
            TakeNewMedium();
        changed.insert(QStringLiteral("Metadata"), Metadata());
    }
    if (now.MediaOpen != before.MediaOpen) {
        for (const char* name : {"CanPlay", "CanPause", "CanSeek"})
            changed.insert(QLatin1String(name), now.MediaOpen);
    }
    if (now.PlaybackStatus != before.PlaybackStatus)
        changed.insert(QStringLiteral("PlaybackStatus"), now.PlaybackStatus);
    if (now.Volume != before.Volume)
        changed.insert(QStringLiteral("Volume"), now.Volume / 1000.0);
    if (now.CanGoNext != before.CanGoNext)
        changed.insert(QStringLiteral("CanGoNext"), now.CanGoNext);
    if (now.CanGoPrevious != before.CanGoPrevious)
        changed.insert(QStringLiteral("CanGoPrevious"), now.CanGoPrevious);
    if (!changed.isEmpty())
        emit PropertiesChanged(changed);

    // A step, a go-to or a track-bar click moves the position while nothing
    // plays (or while the bar is held); a client that saw no Seeked would keep
    // showing where the player was.
    const bool jumped = !newMedium && now.MediaOpen && now.Frame != before.Frame
        && (now.PlaybackStatus != QLatin1String("Playing") || now.TrackDragging || before.TrackDragging);
    const bool seekAsked = seekAsked_;
    seekAsked_ = false;
    if (jumped || (seekAsked && now.MediaOpen))
        emit Seeked(Position());
}

QDBusObjectPath MprisPlayerWatch::TrackId() const
{
    if (!last_.MediaOpen)
        return QDBusObjectPath(QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack"));
    return QDBusObjectPath(QStringLiteral("/org/keld32/Track/") + QString::number(track_));
}

QVariantMap MprisPlayerWatch::Metadata() const
{
    QVariantMap metadata;
    if (!last_.MediaOpen)
        return metadata;
    const QFileInfo file(last_.MediaPath);
    metadata.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(TrackId()));
    metadata.insert(QStringLiteral("mpris:length"), clock_.Microseconds(last_.FrameCount));
    metadata.insert(QStringLiteral("xesam:title"), file.fileName());
    metadata.insert(QStringLiteral("xesam:url"),
                    QString::fromLatin1(QUrl::fromLocalFile(file.absoluteFilePath()).toEncoded()));
    return metadata;
}

qint64 MprisPlayerWatch::Position() const
{
    return last_.MediaOpen ? clock_.Microseconds(qMax(0, last_.Frame)) : 0;
}

void MprisPlayerWatch::NoteSeek()
{
    seekAsked_ = true;
    Refresh();
}
