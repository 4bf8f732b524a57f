#pragma once
#include <functional>

// The platform's default beep for refused keyboard commands. Replaceable so that a
// test can count the beeps instead of hearing them.
void DefaultBeep();
// Installs `beep` (an empty function restores QApplication::beep); returns the previous one.
std::function<void()> SetDefaultBeep(std::function<void()> beep);
