#pragma once
#include <QDBusContext>
#include <QObject>
#include <QString>

class MprisPlayerWatch;
class TBedienTeil;

// The player on the session bus as an MPRIS 2 media player, so that media keys,
// the desktop's sound menu and widgets, and tools such as playerctl control it:
// org.mpris.MediaPlayer2.keld32, or with ".instance<pid>" after it when another
// player holds that name. Without a session bus the player runs as before and
// says so in one line on standard error. It is the object the adaptors export,
// and so the one QtDBus gives the context of each call to.
class MprisService : public QObject, public QDBusContext {
    Q_OBJECT
public:
    explicit MprisService(TBedienTeil& panel, QObject* parent = nullptr);
    ~MprisService() override;

    // The bus name held; empty when the desktop cannot reach the player.
    QString BusName() const { return busName_; }

private:
    bool Register();

    QString busName_;
};
