#pragma once

class TBedienTeil;
class TInfoForm;

// Finds the video devices and their file extensions, shows them in the about
// box, and rebuilds the panel's open-dialog filter from them; the panel caption
// says that detection runs meanwhile. Works on the windows InfoForm and BedienTeil.
void CheckVideoDevices();

// The same on the given windows; a missing window's part is skipped.
void CheckVideoDevices(TInfoForm* about, TBedienTeil* panel);
