#include "engine/OpenInProgress.h"

#include "engine/InputGate.h"
#include "engine/MCI_FUNC.h"
#include "engine/Player.h"
#include "engine/VidCommands.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QGuiApplication>

#include <chrono>
#include <future>

namespace {

// Opens that end sooner never let the interface run in between: the usual open of
// a file behaves as a plain call would.
constexpr std::chrono::milliseconds kQuietWait {50};

struct OpenState {
    bool running = false;
    bool endedByUser = false;
    std::function<void()> then;
    OpenInputFilter allowed;
};

OpenState& state()
{
    static OpenState s;
    return s;
}

bool graphical()
{
    return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
}

// Spins the interface until the worker has posted its end to `loop`.
void answerUntilDone(QEventLoop& loop)
{
    OpenState& s = state();
    s.running = true;
    emit ThePlayer().OpenUnderWaySwitched(true);
    {
        const InputGate gate(s.allowed);
        loop.exec();
    }
    s.running = false;
    emit ThePlayer().OpenUnderWaySwitched(false);
}

void runWhatFollows()
{
    OpenState& s = state();
    if (!s.then)
        return;
    QMetaObject::invokeMethod(QCoreApplication::instance(), std::move(s.then), Qt::QueuedConnection);
    s.then = nullptr;
}

} // namespace

mci::ErrorCode RunOpen(const std::function<mci::ErrorCode()>& send)
{
    OpenState& s = state();
    if (s.running)
        return mci::MCIERR_DEVICE_NOT_READY;   // one open at a time
    s.endedByUser = false;
    if (!graphical())
        return send();
    QEventLoop loop;
    std::future<mci::ErrorCode> result = std::async(std::launch::async, [&loop, &send] {
        const mci::ErrorCode code = send();
        // Dropped with the loop when it never ran.
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        return code;
    });
    if (result.wait_for(kQuietWait) != std::future_status::ready) {
        answerUntilDone(loop);
        runWhatFollows();
    }
    const mci::ErrorCode code = result.get();
    // The user's close came just after the open finished: it closed what was opened.
    return s.endedByUser && code == mci::MCI_OK ? mci::MCIERR_OPEN_CANCELLED : code;
}

bool OpenUnderWay()
{
    return state().running;
}

bool LetThroughDuringOpen(const QString& command)
{
    if (!command.startsWith(QLatin1String("close "), Qt::CaseInsensitive))
        return false;
    state().endedByUser = true;
    return true;
}

void EndOpenThen(std::function<void()> then)
{
    OpenState& s = state();
    if (!s.running) {
        if (then)
            then();
        return;
    }
    s.then = std::move(then);
    QString reply;
    quint32 error = 0;
    SendMciString(vid::close(), reply, error);
}

bool OpenEndedByUser()
{
    return state().endedByUser;
}

void SetOpenInputFilter(OpenInputFilter allowed)
{
    state().allowed = std::move(allowed);
}
