#pragma once
#include "Eventually.h"
#include "StampedClip.h"
#include "mci/VideoDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QString>
#include <gtest/gtest.h>

#include <functional>

namespace keldtest {

// Every device test runs without a display: the frame server's pictures go to a
// window that draws nothing, and capture still hands out the frame on display.
inline void useHeadlessDevice()
{
    qputenv("KELD32_MCI_HEADLESS", "1");
}

// The number stamped into the frame the device shows, read back through capture.
inline int frameOnDisplay(mci::VideoDevice& device)
{
    const QString path = StampedClip::folder() + "/shown.bmp";
    QFile::remove(path);
    if (device.capture(path.toStdString()) != mci::MCI_OK)
        return -2;
    return StampedClip::readStamp(path);
}

} // namespace keldtest
