#pragma once
#include <QString>

// The "c" key: the device saves the current frame as CaptureDir + "wcapNNNN.bmp",
// numbered by CaptureCounter (1 to 99999, then back to 1 with a message). A name
// that is already there is skipped, never replaced; a failed capture says so and
// leaves the counter where it was.

// "wcap" + counter padded with zeros to at least four digits.
QString CaptureNameFor(int counter);

// The two-line message shown when the counter wraps.
QString CounterResetMessage();

// The device refused or failed the capture; `reason` is its error text.
QString CaptureFailedMessage(const QString& path, const QString& reason);

// Every number from 1 to 99999 already names a file in `folder`.
QString NoFreeCaptureNameMessage(const QString& folder);

void CaptureFrame();
