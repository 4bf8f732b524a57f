#include "shell/DropSource.h"

int RestrictDropEffect(int allowed, TDragTypes types)
{
    const int known = DropEffectCopy | DropEffectMove | DropEffectLink;
    return allowed & ~(known & ~int(types));
}

int DefaultDropEffect(const TShiftState& shift, int allowed)
{
    const bool withShift = shift.Keys.testFlag(Qt::ShiftModifier);
    const bool withCtrl = shift.Keys.testFlag(Qt::ControlModifier);
    if (withShift && withCtrl && (allowed & DropEffectLink))
        return DropEffectLink;
    if (withShift && !withCtrl && (allowed & DropEffectMove))
        return DropEffectMove;
    for (int effect : {DropEffectCopy, DropEffectMove, DropEffectLink}) {
        if (allowed & effect)
            return effect;
    }
    return DropEffectNone;
}
