#include "engine/MCI_FUNC.h"

#include "mci/MciBackend.h"

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
    char buffer[kReplyBufferLength];
    error = sendRaw(command, buffer);
    buffer[kReplyBufferLength - 1] = '\0';
    reply = trimmedReply(buffer);
}

bool mciExecute(const QString& command)
{
    char buffer[kReplyBufferLength];
    const mci::ErrorCode error = sendRaw(command, buffer);
    if (error == 0)
        return true;
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
