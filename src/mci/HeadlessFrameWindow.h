#pragma once
#include "mci/FrameWindow.h"

#include <atomic>

namespace mci {

// The frame window without a display: a frame counts as shown once handed over.
class HeadlessFrameWindow : public FrameWindow {
public:
    void show(FramePtr frame) override { shown_ = frame ? frame->number() : -1; }
    int64_t shown() const override { return shown_; }
    bool waitShown(int64_t n, std::chrono::milliseconds) override { return shown_ == n; }
    ErrorCode attach(uint64_t) override { return MCI_OK; }
    void setDestination(const Rect& rect) override
    {
        dest_ = rect;
        destSet_ = true;
    }
    bool hasDestination() const override { return destSet_; }
    Rect destination() const override { return dest_; }
    void setOwnGeometry(const Rect&) override {}
    void setOwnVisible(bool) override {}
    void redraw() override {}

private:
    std::atomic<int64_t> shown_ {-1};
    Rect dest_;
    bool destSet_ = false;
};

} // namespace mci
