#include "display/disp.h"

#include "engine/VidCommands.h"
#include "panel/KeyZoom.h"

#include "engine/MCI_FUNC.h"
#include "engine/modul01.h"

namespace {

// Each pan moves the origin by this much and grows the size by PanGrow, so that
// opposite keys undo each other exactly.
constexpr int PanMove = 9;
constexpr int PanGrow = 2;
constexpr int MaxLevel = 12;

int displayWidth() { return Display ? Display->width() : 0; }
int displayHeight() { return Display ? Display->height() : 0; }

void sendDestination()
{
    SendMciString(vid::putDestination(KeyZoomLeft, KeyZoomTop, KeyZoomWidth, KeyZoomHeight), MciReply, MciError);
}

} // namespace

void MagnifyMore()
{
    if (KeyZoomLevel >= MaxLevel)
        return;
    if (KeyZoomLevel <= 0) {
        // The first step starts from the whole window, whatever was set before.
        KeyZoomLeft = 0;
        KeyZoomTop = 0;
        KeyZoomWidth = displayWidth() + KeyZoomStepX;
        KeyZoomHeight = displayHeight() + KeyZoomStepY;
        KeyZoomLevel = 1;
    } else {
        KeyZoomWidth += KeyZoomStepX;
        KeyZoomHeight += KeyZoomStepY;
        ++KeyZoomLevel;
    }
    sendDestination();
}

void MagnifyLess()
{
    if (KeyZoomLevel <= 0)
        return;
    KeyZoomWidth -= KeyZoomStepX;
    KeyZoomHeight -= KeyZoomStepY;
    --KeyZoomLevel;
    sendDestination();
}

void MagnifyReset()
{
    KeyZoomLeft = 0;
    KeyZoomTop = 0;
    KeyZoomWidth = displayWidth();
    KeyZoomHeight = displayHeight();
    KeyZoomLevel = 0;
    sendDestination();
}

void PanShowTop()
{
    if (KeyZoomLevel <= 0 || KeyZoomTop >= 0)
        return;
    KeyZoomTop += PanMove;
    KeyZoomHeight += PanGrow;
    sendDestination();
}

void PanShowBottom()
{
    if (KeyZoomLevel <= 0 || KeyZoomTop + KeyZoomHeight - PanGrow <= displayHeight())
        return;
    KeyZoomTop -= PanMove;
    KeyZoomHeight -= PanGrow;
    sendDestination();
}

void PanShowLeft()
{
    if (KeyZoomLevel <= 0 || KeyZoomLeft >= 0)
        return;
    KeyZoomLeft += PanMove;
    KeyZoomWidth += PanGrow;
    sendDestination();
}

void PanShowRight()
{
    // Against the window, as End is: the screen is wider than any window below
    // full screen, so measured against it the picture could never move left.
    if (KeyZoomLevel <= 0 || KeyZoomLeft + KeyZoomWidth - PanGrow <= displayWidth())
        return;
    KeyZoomLeft -= PanMove;
    KeyZoomWidth -= PanGrow;
    sendDestination();
}
