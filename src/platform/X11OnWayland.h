#pragma once

// The MCI device draws into the display window's X11 window, and a window of
// Qt's Wayland platform has none: in a Wayland session the player runs on X11
// through XWayland, unless the user chose a platform (QT_QPA_PLATFORM; the command
// line is the player's own, Qt never sees it). Called before the application
// object is made and before any thread starts, as it sets QT_QPA_PLATFORM;
// programs the player starts (the about box's links) inherit it.
void PreferX11OnWayland();
