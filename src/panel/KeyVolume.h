#pragma once
#include <Qt>

// Ctrl with plus or minus: the audio volume in steps of 100 within 0..1000.
// Any other shift state, or NoVolume, only beeps. At a bound the key beeps and
// still sends the volume as it stands.
void VolumeUp(Qt::KeyboardModifiers shift);
void VolumeDown(Qt::KeyboardModifiers shift);

// A volume chosen elsewhere (the desktop's volume control), clamped to 0..1000,
// kept in the same setting and sent as the keys send it while a medium is open.
// With NoVolume on the volume is the system's and nothing changes.
void SetVolumeLevel(int level);
