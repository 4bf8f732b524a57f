#pragma once

class TInfoForm;

// Finds the video devices and their file extensions, shows them in the about
// box, and rebuilds the panel's open-dialog filter from them; the panel caption
// says that detection runs meanwhile. Works on the about box InfoForm; the
// panel's part goes through ThePanelRequests().
void CheckVideoDevices();

// The same on the given about box; without one its part is skipped.
void CheckVideoDevices(TInfoForm* about);
