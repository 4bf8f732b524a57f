#pragma once
#include <QString>

// The "c" key: the device saves the current frame as CaptureDir + "wcapNNNN.bmp",
// numbered by CaptureCounter (1 to 99999, then back to 1 with a message).

// "wcap" + counter padded with zeros to at least four digits.
QString CaptureNameFor(int counter);

// The two-line message shown when the counter wraps.
QString CounterResetMessage();

void CaptureFrame();
