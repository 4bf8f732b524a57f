#include "panel/FrameJump.h"

#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "engine/modul01.h"
#include "panel/ZORVEX32.h"
#include "shell/IntegerText.h"

#include <QTimer>

namespace {

constexpr int JumpSize = 50;
constexpr int Tolerance = 100;
constexpr int MaxAttempts = 20;

void send(const QString& command)
{
    SendMciString(command, MciReply, MciError);
}

// Seeks and verifies; false when a position reply was not a number.
bool seekNear(int& target, int direction)
{
    for (int attempt = 0; attempt < MaxAttempts; ++attempt) {
        send(vid::pause());
        send(vid::seekTo(target));
        send(vid::statusPosition());
        const QString reply = MciReply.trimmed();
        int landed = 0;
        if (!TextToInteger(reply, landed)) {
            if (BedienTeil && BedienTeil->ShowMessage)
                BedienTeil->ShowMessage(NotAnIntegerMessage(reply));
            return false;
        }
        if (target - Tolerance < landed && landed < target + Tolerance)
            return true;
        if (attempt + 1 < MaxAttempts)
            target += direction;
    }
    return true;
}

} // namespace

void JumpFrames(int direction)
{
    if (MediaExt == QLatin1String("MOV"))
        return;
    if (JumpBusy == 1) {
        JumpBusy = 0;
        return;
    }
    JumpBusy = 1;
    if (BedienTeil) {
        BedienTeil->Timer1->stop();
        BedienTeil->Timer2->stop();
    }
    int target = CurrentFrame + direction * JumpSize;
    if (direction < 0 && target < 1)
        target = 1;
    CurrentFrame = target;
    seekNear(target, direction);
    CurrentFrame = target;
    // Also after a reply that was not a number: the jump is over either way, so the
    // buttons, the position display and the guard come back.
    ShowStoppedButtons();
    if (BedienTeil)
        BedienTeil->Timer1->start();
    JumpBusy = 0;
}
