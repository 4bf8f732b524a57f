#pragma once
#include <QDBusAbstractAdaptor>
#include <QStringList>

class TBedienTeil;

// org.mpris.MediaPlayer2 on the bus: who the player is, what it opens, and the
// two commands for its windows as a whole.
class MprisRootAdaptor : public QDBusAbstractAdaptor {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.mpris.MediaPlayer2")
    Q_PROPERTY(bool CanQuit READ CanQuit)
    Q_PROPERTY(bool CanRaise READ CanRaise)
    Q_PROPERTY(bool HasTrackList READ HasTrackList)
    Q_PROPERTY(QString Identity READ Identity)
    Q_PROPERTY(QString DesktopEntry READ DesktopEntry)
    Q_PROPERTY(QStringList SupportedUriSchemes READ SupportedUriSchemes)
    Q_PROPERTY(QStringList SupportedMimeTypes READ SupportedMimeTypes)
public:
    MprisRootAdaptor(QObject* owner, TBedienTeil& panel);

    bool CanQuit() const { return true; }
    bool CanRaise() const { return true; }
    bool HasTrackList() const { return false; }
    QString Identity() const;
    QString DesktopEntry() const;
    QStringList SupportedUriSchemes() const;
    // The MIME types the desktop entry offers the player for.
    QStringList SupportedMimeTypes() const;

public slots:
    // Shows the panel and brings it to the front.
    void Raise();
    // Ends the program as the Exit entry does, settings written.
    void Quit();

private:
    TBedienTeil& panel_;
    QStringList mimeTypes_;
};
