#pragma once
#include "mci/frames/FrameWindow.h"

#include <condition_variable>
#include <mutex>

namespace mci {

// The frame window without a display: a frame counts as shown once handed over.
class HeadlessFrameWindow : public FrameWindow {
public:
    void show(FramePtr frame) override
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            shown_ = frame ? frame->number() : -1;
        }
        handedOver_.notify_all();
    }
    int64_t shown() const override
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return shown_;
    }
    bool waitShown(int64_t n, std::chrono::milliseconds timeout) override
    {
        std::unique_lock<std::mutex> lock(mutex_);
        return handedOver_.wait_for(lock, timeout, [&] { return shown_ == n; });
    }
    WindowResult attach(uint64_t) override { return WindowResult::Ok; }
    void setDestination(const PictureRect& rect) override
    {
        dest_ = rect;
        destSet_ = true;
    }
    bool hasDestination() const override { return destSet_; }
    PictureRect destination() const override { return dest_; }
    void setOwnGeometry(const PictureRect&) override {}
    void setOwnVisible(bool) override {}
    void redraw() override {}

private:
    mutable std::mutex mutex_;
    std::condition_variable handedOver_;
    int64_t shown_ = -1;
    PictureRect dest_;
    bool destSet_ = false;
};

} // namespace mci
