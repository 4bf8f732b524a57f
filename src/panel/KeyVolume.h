#pragma once
#include <Qt>

// Ctrl with plus or minus: the audio volume in steps of 100 within 0..1000.
// Any other shift state, or NoVolume, only beeps. At a bound the key beeps and
// still sends the volume as it stands.
void VolumeUp(Qt::KeyboardModifiers shift);
void VolumeDown(Qt::KeyboardModifiers shift);
