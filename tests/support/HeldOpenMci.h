#pragma once
#include "ScriptedMci.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>

// An open that runs until a close comes (from the window's thread, which goes on
// answering meanwhile), then fails as ended by it; all else as scripted.
class HeldOpenMci : public ScriptedMci {
public:
    bool holding = true;

    mci::ErrorCode sendString(const char* command, char* reply, unsigned replyLength) override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        const mci::ErrorCode code = ScriptedMci::sendString(command, reply, replyLength);
        const std::string text(command);
        if (text.rfind("close ", 0) == 0) {
            closed_ = true;
            changed_.notify_all();
            return code;
        }
        if (!holding || text.rfind("open ", 0) != 0)
            return code;
        closed_ = false;
        // Nobody closing it within seconds is the test's failure, not a hang.
        if (!changed_.wait_for(lock, std::chrono::seconds(10), [this] { return closed_; }))
            return code;
        return mci::MCIERR_OPEN_CANCELLED;
    }

private:
    std::mutex mutex_;
    std::condition_variable changed_;
    bool closed_ = false;
};
