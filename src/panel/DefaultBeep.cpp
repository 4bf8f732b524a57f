#include "panel/DefaultBeep.h"

#include <QApplication>

namespace {

std::function<void()>& beepInUse()
{
    static std::function<void()> beep = [] { QApplication::beep(); };
    return beep;
}

} // namespace

void DefaultBeep()
{
    beepInUse()();
}

std::function<void()> SetDefaultBeep(std::function<void()> beep)
{
    if (!beep)
        beep = [] { QApplication::beep(); };
    std::function<void()> previous = std::move(beepInUse());
    beepInUse() = std::move(beep);
    return previous;
}
