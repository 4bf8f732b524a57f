#pragma once
#include "StampedClip.h"
#include "mci/MpvDevice.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>
#include <QString>
#include <gtest/gtest.h>

#include <functional>

namespace keldtest {

// Every device test runs without a display: libmpv renders to nothing but still
// hands out the frame on display through capture.
inline void useHeadlessDevice()
{
    qputenv("KELD32_MCI_HEADLESS", "1");
}

// The number stamped into the frame the device shows, read back through capture.
inline int frameOnDisplay(mci::MpvDevice& device)
{
    const QString path = StampedClip::folder() + "/shown.bmp";
    QFile::remove(path);
    if (device.capture(path.toStdString()) != mci::MCI_OK)
        return -2;
    return StampedClip::readStamp(path);
}

// Waits (bounded) for a condition on a running device; true if it came.
inline bool eventually(const std::function<bool()>& condition, int attempts = 400)
{
    for (int i = 0; i < attempts; ++i) {
        if (condition())
            return true;
        QThread::msleep(25);
    }
    return condition();
}

} // namespace keldtest
