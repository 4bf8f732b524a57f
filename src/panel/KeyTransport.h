#pragma once

// The character commands that drive the transport, the zoom factor, the
// multi-step mode and the window order, for HandleKeyChar.

void ZoomFactorUp();       // "*"
void ZoomFactorDown();     // "/"
void ToggleMultiStep();    // "," or "."
void ToggleFrontWindow();  // "0"
void KeyPlayReverse();     // "4"
void KeyStop();            // "5"
void KeyPlayOrPause();     // "6"
void KeyToStart();         // "7"
