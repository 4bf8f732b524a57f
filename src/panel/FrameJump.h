#pragma once
// Keys "3" and "9": seek 50 frames forward or back and check where the device
// landed, nudging the target one frame at a time (at most 20 tries) until the
// device reports a position within 100 frames of it. JumpBusy guards the jump.
void JumpFrames(int direction); // +1 forward, -1 back

