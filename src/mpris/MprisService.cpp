#include "mpris/MprisService.h"

#include "mpris/MprisPlayerAdaptor.h"
#include "mpris/MprisPlayerWatch.h"
#include "mpris/MprisRootAdaptor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusError>

#include <cstdio>

namespace {

const char* const kPath = "/org/mpris/MediaPlayer2";
const char* const kName = "org.mpris.MediaPlayer2.keld32";

void sayNoDesktopControl(const QString& why)
{
    QString line = QStringLiteral("KELD32 runs without MPRIS (media keys and desktop controls): ") + why;
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
}

} // namespace

MprisService::MprisService(TBedienTeil& panel, QObject* parent) : QObject(parent)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        const QString detail = bus.lastError().message();
        sayNoDesktopControl(QStringLiteral("no D-Bus session bus")
                            + (detail.isEmpty() ? QString() : QStringLiteral(" (") + detail + QLatin1Char(')')));
        return;
    }
    // The adaptors must exist before the object is registered: they are what it exports.
    auto* watch = new MprisPlayerWatch(this);
    new MprisRootAdaptor(this, panel);
    new MprisPlayerAdaptor(this, panel, *watch, bus);
    if (!Register())
        sayNoDesktopControl(QStringLiteral("the session bus refused its name (") + bus.lastError().message()
                            + QLatin1Char(')'));
}

bool MprisService::Register()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerObject(QLatin1String(kPath), this))
        return false;
    const QString name = QLatin1String(kName);
    const QString instance = name + QStringLiteral(".instance") + QString::number(QCoreApplication::applicationPid());
    for (const QString& candidate : {name, instance}) {
        if (bus.registerService(candidate)) {
            busName_ = candidate;
            return true;
        }
    }
    bus.unregisterObject(QLatin1String(kPath));
    return false;
}

MprisService::~MprisService()
{
    if (busName_.isEmpty())
        return;
    // Giving the name back is a call to the bus, so every reply sent before it
    // (Quit's own) has left the program by the time it returns.
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterService(busName_);
    bus.unregisterObject(QLatin1String(kPath));
}
