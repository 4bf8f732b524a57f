#pragma once
#include <QThread>

#include <functional>

namespace keldtest {

// Waits (bounded) for a condition on something running; true if it came.
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
