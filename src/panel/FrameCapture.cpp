#include "panel/FrameCapture.h"

#include "engine/MCI_FUNC.h"
#include "engine/modul01.h"
#include "panel/DefaultBeep.h"
#include "panel/ZORVEX32.h"

namespace {

constexpr int CounterMax = 99999;

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
    if (BedienTeil && BedienTeil->ShowMessage)
        BedienTeil->ShowMessage(CounterResetMessage());
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

void CaptureFrame()
{
    if (CanSave != 1) {
        DefaultBeep();
        return;
    }
    advanceCounter();
    CaptureName = CaptureNameFor(CaptureCounter);
    SendMciString(QStringLiteral("capture vid as ") + CaptureDir + CaptureName + QStringLiteral(".bmp"),
                  MciReply, MciError);
}
