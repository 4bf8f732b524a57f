#include "mci/frames/Orientation.h"

namespace mci {

void Orientation::toUpright(int u, int v, int w, int h, int& x, int& y) const
{
    if (mirrored)
        u = w - 1 - u;
    switch (quarterTurns & 3) {
    case 0: x = u; y = v; break;
    case 1: x = h - 1 - v; y = u; break;
    case 2: x = w - 1 - u; y = h - 1 - v; break;
    default: x = v; y = w - 1 - u; break;
    }
}

void Orientation::toStored(int x, int y, int w, int h, int& u, int& v) const
{
    switch (quarterTurns & 3) {
    case 0: u = x; v = y; break;
    case 1: u = y; v = h - 1 - x; break;
    case 2: u = w - 1 - x; v = h - 1 - y; break;
    default: u = w - 1 - y; v = x; break;
    }
    if (mirrored)
        u = w - 1 - u;
}

} // namespace mci
