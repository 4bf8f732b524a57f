#include "panel/KeyVolume.h"

#include "engine/MCI_FUNC.h"
#include "engine/VidCommands.h"
#include "engine/modul01.h"
#include "panel/DefaultBeep.h"
#include "panel/HandleKeys.h"

namespace {

constexpr int VolumeStep = 100;
constexpr int VolumeMax = 1000;

bool volumeKeyAllowed(Qt::KeyboardModifiers shift)
{
    if (HeldModifiers(shift) == Qt::ControlModifier && NoVolume != 1)
        return true;
    DefaultBeep();
    return false;
}

void sendVolume()
{
    QString reply;
    quint32 error = 0;
    SendMciString(vid::setVolume(Volume), reply, error);
}

} // namespace

void VolumeUp(Qt::KeyboardModifiers shift)
{
    if (!volumeKeyAllowed(shift))
        return;
    if (Volume >= VolumeMax)
        DefaultBeep();
    else
        Volume += VolumeStep;
    sendVolume();
}

void VolumeDown(Qt::KeyboardModifiers shift)
{
    if (!volumeKeyAllowed(shift))
        return;
    if (Volume <= 0)
        DefaultBeep();
    else
        Volume -= VolumeStep;
    sendVolume();
}

void SetVolumeLevel(int level)
{
    if (NoVolume == 1)
        return;
    Volume = qBound(0, level, VolumeMax);
    if (MediaOpen == 1)
        sendVolume();
}
