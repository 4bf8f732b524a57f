#pragma once
#include <QSize>
#include <functional>

class TRegistryEnhanced;

// What the settings rules exchange with the control panel besides the shared
// player state (engine/modul01.h).
struct PanelSettingsIO {
    // Read: the panel's edges after clamping. Write: its current edges.
    int PanelLeft = 0;
    int PanelTop = 0;
    // Read: the multi-step interval to apply. Write: Timer2's current interval.
    int Timer2Interval = 250;
    // Write: a queue file from the command line still plays and holds
    // CommandLoop on; the user's own value (SavedCommandLoop) is written instead.
    bool QueueForcesCommandLoop = false;

    // Called, when set, right after each value is read, so the panel moves as
    // soon as its edge is known and Timer2 takes its interval at once.
    std::function<void(int)> SetPanelLeft;
    std::function<void(int)> SetPanelTop;
    std::function<void(int)> SetTimer2Interval;
};

// Sets the start values of the player state, then reads every setting in its
// order with its read rule. `screen` is the size of the screen the panel is on.
void ReadPanelSettings(TRegistryEnhanced& reg, const QSize& screen, PanelSettingsIO& io);

// Writes every setting back in its order and form, committed to the store at once.
// Returns whether the store took them; the program goes on to exit either way.
bool WritePanelSettings(TRegistryEnhanced& reg, const PanelSettingsIO& io);
