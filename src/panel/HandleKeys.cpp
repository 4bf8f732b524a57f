#include "panel/HandleKeys.h"

#include "engine/modul01.h"
#include "panel/FrameCapture.h"
#include "panel/FrameJump.h"
#include "panel/KeyQueue.h"
#include "panel/KeyTransport.h"
#include "panel/KeyVolume.h"
#include "panel/KeyZoom.h"
#include "panel/VirtualKey.h"
#include "panel/ZORVEX32.h"

Qt::KeyboardModifiers HeldModifiers(Qt::KeyboardModifiers shift)
{
    return shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
}

void HandleKeyDown(quint16 key, Qt::KeyboardModifiers shift)
{
    if (MediaOpen != 1)
        return;
    switch (key) {
    case VkPageUp:
        if (HeldModifiers(shift) == Qt::ShiftModifier)
            MagnifyLess();
        else
            MagnifyMore();
        break;
    case VkPageDown: PanShowRight(); break;
    case VkEnd: PanShowBottom(); break;
    case VkHome: PanShowTop(); break;
    case VkInsert: MagnifyReset(); break;
    case VkDelete: PanShowLeft(); break;
    case VkAdd:
    case VkOemPlus: VolumeUp(shift); break;
    case VkSubtract:
    case VkOemMinus: VolumeDown(shift); break;
    default: break; // the arrow keys and 41 to 44 have no command
    }
}

void HandleKeyChar(char ch)
{
    if (MediaOpen != 1 || !BedienTeil)
        return;
    switch (ch) {
    case '*': ZoomFactorUp(); break;
    case '/': ZoomFactorDown(); break;
    case ',':
    case '.': ToggleMultiStep(); break;
    case '+': NextQueueEntry(); break;
    case '-': PreviousQueueEntry(); break;
    case '0': ToggleFrontWindow(); break;
    case '1': BedienTeil->BtnToEndClick(); break;
    case '2': BedienTeil->BtnStepClick(); break;
    case '3': JumpFrames(+1); break;
    case '4': KeyPlayReverse(); break;
    case '5': KeyStop(); break;
    case '6': KeyPlayOrPause(); break;
    case '7': KeyToStart(); break;
    case '8': BedienTeil->BtnStepRevClick(); break;
    case '9': JumpFrames(-1); break;
    case 'c': CaptureFrame(); break;
    default: break;
    }
}
