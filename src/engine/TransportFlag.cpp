#include "engine/TransportFlag.h"

#include "engine/Player.h"

TransportFlag::operator quint8() const
{
    return ThePlayer().Transport() == setIn_ ? 1 : 0;
}
