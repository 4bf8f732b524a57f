#pragma once
#include <QDBusAbstractAdaptor>
#include <QDBusConnection>
#include <QDBusObjectPath>
#include <QVariantMap>

class MprisPlayerWatch;
class TBedienTeil;

// org.mpris.MediaPlayer2.Player on the bus. Every command runs the handler the
// panel's button or key for it runs, so the panel, its caption and the settings
// cannot tell the desktop from the user. Properties come from the player's own
// state (positions from its poll), through the watch.
class MprisPlayerAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2.Player")
    Q_PROPERTY(QString PlaybackStatus READ PlaybackStatus)
    Q_PROPERTY(double Rate READ Rate WRITE SetRate)
    Q_PROPERTY(double MinimumRate READ Rate)
    Q_PROPERTY(double MaximumRate READ Rate)
    Q_PROPERTY(QVariantMap Metadata READ Metadata)
    Q_PROPERTY(double Volume READ Volume WRITE SetVolume)
    Q_PROPERTY(qlonglong Position READ Position)
    Q_PROPERTY(bool CanGoNext READ CanGoNext)
    Q_PROPERTY(bool CanGoPrevious READ CanGoPrevious)
    Q_PROPERTY(bool CanPlay READ MediaOpen)
    Q_PROPERTY(bool CanPause READ MediaOpen)
    Q_PROPERTY(bool CanSeek READ MediaOpen)
    Q_PROPERTY(bool CanControl READ CanControl)
public:
    MprisPlayerAdaptor(QObject* owner, TBedienTeil& panel, MprisPlayerWatch& watch, const QDBusConnection& bus);

    QString PlaybackStatus() const;
    // The player plays at its own speed only.
    double Rate() const { return 1.0; }
    void SetRate(double rate);
    QVariantMap Metadata() const;
    double Volume() const;  // the 0..1000 setting as 0..1
    void SetVolume(double volume);
    qlonglong Position() const;  // microseconds
    bool CanGoNext() const;
    bool CanGoPrevious() const;
    bool MediaOpen() const;
    bool CanControl() const { return true; }

public slots:
    void Play();
    void Pause();
    void PlayPause();
    void Stop();
    void Next();
    void Previous();
    void Seek(qlonglong Offset);
    void SetPosition(const QDBusObjectPath& TrackId, qlonglong Position);
    void OpenUri(const QString& Uri);

signals:
    void Seeked(qlonglong Position);

private:
    void SeekFrame(qint64 frame);
    void AnnounceChanges(const QVariantMap& changed);
    // Answers the call being handled with a D-Bus error.
    void Refuse(const QString& errorName, const QString& text);

    TBedienTeil& panel_;
    MprisPlayerWatch& watch_;
    QDBusConnection bus_;
};
