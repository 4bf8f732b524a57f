#include "engine/VidCommands.h"

namespace vid {
namespace {

QString numbers(int a, int b, int c, int d)
{
    return QStringLiteral("%1 %2 %3 %4").arg(a).arg(b).arg(c).arg(d);
}

} // namespace

QString open(const QString& element) { return QStringLiteral("open ") + element + QStringLiteral(" alias vid"); }
QString openWithDevice(const QString& device, const QString& element)
{
    return open(device + QLatin1Char('!') + element);
}
QString openDevice(const QString& device) { return open(device); }
QString close() { return QStringLiteral("close vid"); }

QString play() { return QStringLiteral("play vid"); }
QString playReverse() { return QStringLiteral("play vid reverse"); }
QString stop() { return QStringLiteral("stop vid"); }
QString pause() { return QStringLiteral("pause vid"); }
QString resume() { return QStringLiteral("resume vid"); }
QString step() { return QStringLiteral("step vid"); }
QString stepReverse() { return QStringLiteral("step vid reverse"); }
QString seekTo(qint64 frame) { return QStringLiteral("seek vid to ") + QString::number(frame); }
QString seekToStart() { return QStringLiteral("seek vid to start"); }
QString seekToEnd() { return QStringLiteral("seek vid to end"); }

QString statusPosition() { return QStringLiteral("status vid position"); }
QString statusLength() { return QStringLiteral("status vid length"); }
QString statusMode() { return QStringLiteral("status vid mode"); }
QString statusReady() { return QStringLiteral("Status vid ready"); }
QString statusNominalFrameRate() { return QStringLiteral("status vid nominal frame rate"); }
QString statusIndexed() { return QStringLiteral("status vid indexed"); }
QString capability(const char* item) { return QStringLiteral("capability vid ") + QLatin1String(item); }
QString whereSource() { return QStringLiteral("where vid source"); }

QString setTimeFormatFrames() { return QStringLiteral("set vid time format frames"); }
QString setVolume(int volume) { return QStringLiteral("setaudio vid volume to ") + QString::number(volume); }

QString windowHandle(const QString& handle) { return QStringLiteral("window vid handle ") + handle; }
QString windowStateShowNormal() { return QStringLiteral("window vid state show normal"); }
QString update() { return QStringLiteral("update vid"); }
QString putDestination(int left, int top, int width, int height)
{
    return QStringLiteral("put vid destination at ") + numbers(left, top, width, height);
}
QString putWindow(int left, int top, int width, int height)
{
    return QStringLiteral("Put vid window at ") + numbers(left, top, width, height);
}
QString capture(const QString& path) { return QStringLiteral("capture vid as ") + path; }
QString configure() { return QStringLiteral("configure vid"); }

QString sysinfoQuantity() { return QStringLiteral("sysinfo all quantity"); }
QString sysinfoName(int number) { return QStringLiteral("sysinfo all name ") + QString::number(number); }

} // namespace vid
