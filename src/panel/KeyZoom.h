#pragma once

// Keyboard magnification and panning inside the display window. Each change sets the
// device's destination rectangle (KeyZoomLeft/Top/Width/Height) with one
// "put vid destination at" command; a key whose condition does not hold sends nothing.

void MagnifyMore();   // Page Up: one step more, at most 12
void MagnifyLess();   // Shift+Page Up: one step less
void MagnifyReset();  // Insert: the picture fills the window again
void PanShowTop();    // Home
void PanShowBottom(); // End
void PanShowLeft();   // Delete
void PanShowRight();  // Page Down
