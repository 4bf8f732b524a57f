#pragma once
#include "mci/frames/FramePainter.h"
#include "mci/frames/FrameWindow.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace mci {

class X11Surface;

// Frames drawn with Xlib (MIT-SHM where the server has it) into a child window of
// our own that covers the window we were handed, or into a top-level window of our
// own. Everything X happens on the window's own thread and its own connection to
// the server, so drawing never waits for the caller and the caller never for it.
// The child selects no input: clicks and keys reach the owner's window as before.
// Pixels are written in the window's own format (15, 16, 24 or 32 bits); a window of
// another kind is refused. Once the X server is gone nothing is drawn, and a frame
// counts as shown when it is handed over, as without a display.
class X11FrameWindow : public FrameWindow {
public:
    X11FrameWindow();
    ~X11FrameWindow() override;

    // False when no X server can be reached.
    bool start();

    void show(FramePtr frame) override;
    int64_t shown() const override;
    bool waitShown(int64_t n, std::chrono::milliseconds timeout) override;
    WindowResult attach(uint64_t parent) override;
    void setDestination(const PictureRect& rect) override;
    bool hasDestination() const override;
    PictureRect destination() const override;
    void setOwnGeometry(const PictureRect& rect) override;
    void setOwnVisible(bool visible) override;
    void redraw() override;

private:
    struct Request;
    void run();
    void wake();
    void applyRequests(std::unique_lock<std::mutex>& lock);
    void draw(std::unique_lock<std::mutex>& lock);

    std::unique_ptr<X11Surface> surface_;
    FramePainter painter_;
    std::thread thread_;
    int wakeFd_ = -1;

    mutable std::mutex mutex_;
    std::condition_variable done_;
    // What the callers asked for; the window thread applies it.
    FramePtr frame_;
    bool frameChanged_ = false;
    PictureRect dest_;
    bool destSet_ = false;
    bool destChanged_ = false;
    bool attachRequested_ = false;
    uint64_t attachTo_ = 0;
    WindowResult attachResult_ = WindowResult::Ok;
    unsigned attachSerial_ = 0;
    unsigned attachDone_ = 0;
    PictureRect ownGeometry_;
    bool ownGeometryChanged_ = false;
    bool ownVisible_ = false;
    bool ownVisibleChanged_ = false;
    bool redraw_ = false;
    bool quit_ = false;
    int64_t shown_ = -1;
};

} // namespace mci
