#include "engine/MCI_FUNC.h"

#include "engine/BusyCursor.h"
#include "engine/OpenInProgress.h"
#include "engine/VidCommands.h"
#include "mci/MciBackend.h"
#include "mci/MciExtensionTable.h"

#include <cstdio>

namespace {

constexpr unsigned kReplyBufferLength = 255;

mci::MciBackend* g_backend = nullptr;

void defaultErrorHook(const QString& text)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

MciErrorHook g_errorHook = defaultErrorHook;

QString trimmedReply(const char* buffer)
{
    // Remove every character with a code up to and including the blank at both ends.
    QByteArray text(buffer);
    int begin = 0;
    int end = text.size();
    while (begin < end && static_cast<unsigned char>(text[begin]) <= ' ')
        ++begin;
    while (end > begin && static_cast<unsigned char>(text[end - 1]) <= ' ')
        --end;
    return QString::fromUtf8(text.constData() + begin, end - begin);
}

mci::ErrorCode sendRaw(const QString& command, char* reply)
{
    reply[0] = '\0';
    if (!g_backend)
        return mci::MCIERR_DEVICE_NOT_INSTALLED;
    // Linux paths can exceed 254 characters: the command is passed whole, never cut.
    const QByteArray bytes = command.toUtf8();
    return g_backend->sendString(bytes.constData(), reply, kReplyBufferLength);
}

} // namespace

void SendMciString(const QString& command, QString& reply, quint32& error)
{
    // The service is busy with the open: waiting for it would freeze the window.
    if (OpenUnderWay() && !LetThroughDuringOpen(command)) {
        reply.clear();
        error = mci::MCIERR_DEVICE_NOT_READY;
        return;
    }
    char buffer[kReplyBufferLength];
    error = sendRaw(command, buffer);
    buffer[kReplyBufferLength - 1] = '\0';
    reply = trimmedReply(buffer);
}

bool mciExecute(const QString& command)
{
    char buffer[kReplyBufferLength];
    mci::ErrorCode error = 0;
    {
        const BusyCursor busy;   // gone before an error box shows
        error = RunOpen([&command, &buffer] { return sendRaw(command, buffer); });
    }
    if (error == 0)
        return true;
    if (OpenEndedByUser())
        return false;   // the user's own close: nothing to tell them
    const QString text = g_backend ? QString::fromStdString(g_backend->errorString(error))
                                   : QStringLiteral("No MCI service is available.");
    if (g_errorHook)
        g_errorHook(text);
    return false;
}

bool MciReplyIsTrue(const QString& reply)
{
    return reply.left(4) == QLatin1String("true");
}

mci::MciBackend* SetMciBackend(mci::MciBackend* backend)
{
    mci::MciBackend* previous = g_backend;
    g_backend = backend;
    return previous;
}

mci::MciBackend* MciBackendInUse()
{
    return g_backend;
}

void SetMciErrorHook(MciErrorHook hook)
{
    g_errorHook = hook ? std::move(hook) : MciErrorHook(defaultErrorHook);
}

void ShowMciError(const QString& text)
{
    if (g_errorHook)
        g_errorHook(text);
}

// ---- Device and file-type discovery ------------------------------------------

namespace {

int LineOfKey(const QStringList& lines, const QString& key)
{
    const QString prefix = key + QLatin1Char('=');
    for (int i = 0; i < lines.size(); ++i)
        if (lines.at(i).startsWith(prefix, Qt::CaseInsensitive))
            return i;
    return -1;
}

// The device count; false when the query fails or its reply is not a count.
bool QueryDeviceCount(int& count)
{
    QString reply;
    quint32 error = 0;
    SendMciString(vid::sysinfoQuantity(), reply, error);
    if (error != 0)
        return false;
    bool ok = false;
    count = reply.toInt(&ok);
    return ok;
}

bool IsVideoDevice(const QString& name)
{
    QString reply;
    quint32 error = 0;
    SendMciString(vid::openDevice(name), reply, error);
    bool video = false;
    if (error == 0) {
        SendMciString(vid::capability("device type"), reply, error);
        video = error == 0 && (reply == QLatin1String("digitalvideo") || reply == QLatin1String("animation"));
    }
    quint32 closeError = 0;
    SendMciString(vid::close(), reply, closeError);
    return video;
}

bool IsListedDevice(const QStringList& devices, const QString& name)
{
    const QString upper = name.toUpper();
    for (const QString& device : devices)
        if (device.toUpper() == upper)
            return true;
    return false;
}

// Each "key=device" line whose device was found becomes the bare key; every other
// line goes, the bare lines of an earlier run included.
void KeepVideoExtensions(const QStringList& devices, QStringList& extensions)
{
    int i = 0;
    while (i < extensions.size()) {
        const QString line = extensions.at(i);
        const int equals = line.indexOf(QLatin1Char('='));
        // A bare line is never kept, even one that happens to spell a device name:
        // a repeated detection must give the same lists as the first.
        if (equals >= 0 && IsListedDevice(devices, line.mid(equals + 1))) {
            extensions[i] = line.left(equals);
            ++i;
        } else {
            extensions.removeAt(i);
        }
    }
}

} // namespace

void ReadMciExtensions(QStringList& lines)
{
    const mci::MciExtensionTable table = mci::MciExtensionTable::load();
    for (const mci::MciExtensionTable::Entry& entry : table.entries()) {
        const QString key = QString::fromStdString(entry.extension);
        const QString line = key + QLatin1Char('=') + QString::fromStdString(entry.device);
        const int at = LineOfKey(lines, key);
        if (at >= 0)
            lines[at] = line;
        else
            lines.append(line);
    }
}

void ListVideoDevices(QStringList& devices, QStringList& extensions)
{
    devices.clear();
    int count = 0;
    if (!QueryDeviceCount(count))
        return;
    for (int i = 1; i <= count; ++i) {
        QString name;
        quint32 error = 0;
        SendMciString(vid::sysinfoName(i), name, error);
        if (IsVideoDevice(name))
            devices.append(name);
    }
    ReadMciExtensions(extensions);
    KeepVideoExtensions(devices, extensions);
}
