#include "panel/FrameCapture.h"

#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "engine/modul01.h"
#include "mci/MciBackend.h"
#include "panel/DefaultBeep.h"
#include "panel/ZORVEX32.h"

#include <QFile>
#include <QFileInfo>

namespace {

constexpr int CounterMax = 99999;

void showMessage(const QString& text)
{
    if (BedienTeil && BedienTeil->ShowMessage)
        BedienTeil->ShowMessage(text);
}

// Counts the counter on; past the maximum it starts again at 1 and tells the user.
void advanceCounter()
{
    // A counter below 0 (a hand-edited setting) would give names like "wcap-004".
    if (CaptureCounter < 0)
        CaptureCounter = 0;
    if (CaptureCounter < CounterMax) {
        ++CaptureCounter;
        return;
    }
    CaptureCounter = 1;
    showMessage(CounterResetMessage());
}

QString capturePath()
{
    return CaptureDir + CaptureName + QStringLiteral(".bmp");
}

enum class Slot { Reserved, Taken, Unknown };

// Creates the file, empty, only if nothing of that name exists yet: the capture
// then replaces our own empty file, never an earlier capture, not even one that
// another player wrote a moment ago. A folder that cannot be written to reserves
// nothing; the capture itself then fails and says why.
Slot reserve(const QString& path)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
        return Slot::Reserved;
    const QFileInfo info(path);
    return info.exists() || info.isSymLink() ? Slot::Taken : Slot::Unknown;
}

// Moves the counter to the next number whose file does not exist and reserves it.
// The settings keep the counter only at exit, so after a crash, or beside another
// player, the counter alone would name files that are already there.
bool takeFreeName(bool& reserved)
{
    for (int tried = 0; tried < CounterMax; ++tried) {
        advanceCounter();
        CaptureName = CaptureNameFor(CaptureCounter);
        const Slot slot = reserve(capturePath());
        if (slot != Slot::Taken) {
            reserved = slot == Slot::Reserved;
            return true;
        }
    }
    return false;
}

QString errorText(quint32 error)
{
    mci::MciBackend* backend = MciBackendInUse();
    return backend ? QString::fromStdString(backend->errorString(error)) : QString();
}

// A failed capture takes no number: the counter goes back, the reserved file goes.
void undoCapture(int counterBefore, bool reserved)
{
    if (reserved && QFileInfo(capturePath()).size() == 0)
        QFile::remove(capturePath());
    CaptureCounter = counterBefore;
}

} // namespace

QString CaptureNameFor(int counter)
{
    return QStringLiteral("wcap") + QStringLiteral("%1").arg(counter, 4, 10, QLatin1Char('0'));
}

QString CounterResetMessage()
{
    // One carriage return between the lines; the a-umlaut is Latin-1 0xE4.
    return QStringLiteral("Maximum reached, Counter reset to 1") + QChar(0x0D)
        + QStringLiteral("Maximum erreicht, Z") + QChar(0xE4) + QStringLiteral("hler Reset auf 1");
}

QString CaptureFailedMessage(const QString& path, const QString& reason)
{
    return QStringLiteral("The frame could not be saved as ") + path + QStringLiteral("\n\n") + reason;
}

QString NoFreeCaptureNameMessage(const QString& folder)
{
    return QStringLiteral("The frame could not be saved: every capture number from 1 to 99999 is taken in ")
        + folder;
}

void CaptureFrame()
{
    if (CanSave != 1) {
        DefaultBeep();
        return;
    }
    const int counterBefore = CaptureCounter;
    bool reserved = false;
    if (!takeFreeName(reserved)) {
        CaptureCounter = counterBefore;
        showMessage(NoFreeCaptureNameMessage(CaptureDir));
        return;
    }
    SendMciString(vid::capture(capturePath()), MciReply, MciError);
    if (MciError == 0)
        return;
    const QString path = capturePath();
    undoCapture(counterBefore, reserved);
    showMessage(CaptureFailedMessage(path, errorText(MciError)));
}
