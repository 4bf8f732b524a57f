#pragma once
#include "mci/frames/PictureRect.h"
#include "mci/frames/WindowResult.h"

#include <cstdint>

namespace mci {

// The X side of a frame window: one connection, one window (a child covering a
// parent, or a top-level one) and an image of the window's size to draw into.
// Used from one thread only.
class X11Surface {
public:
    X11Surface();
    ~X11Surface();
    X11Surface(const X11Surface&) = delete;
    X11Surface& operator=(const X11Surface&) = delete;

    bool connect();
    // The connection's descriptor; -1 once the server is gone.
    int fd() const;
    // True once the X server is gone: nothing is drawn from then on.
    bool lost() const;

    // A child covering `parent`, or a top-level window when parent is 0. For the
    // parent already drawn into, only checks that it still exists.
    WindowResult attach(uint64_t parent, const PictureRect& ownGeometry);
    void detach();
    bool attached() const { return window_ != 0; }
    bool attachedTo(uint64_t parent) const { return window_ != 0 && parent_ == parent; }
    bool ownWindow() const { return parent_ == 0 && window_ != 0; }

    void setOwnGeometry(const PictureRect& rect);
    void setOwnVisible(bool visible);

    // Handles the server's events; true when the window must be drawn again
    // (exposed, or resized: then pixels() changed too).
    bool handleEvents();

    // The image to paint, in pixelFormat() (an AVPixelFormat), of the window's
    // current size, with FramePainter::kRoom bytes after its last row.
    uint8_t* pixels();
    int pixelFormat() const { return format_; }
    int width() const { return width_; }
    int height() const { return height_; }
    int stride() const;
    // Puts the image on screen and waits until the server has it.
    void put();

private:
    struct Impl;
    WindowResult checkParent();
    WindowResult createWindow(uint64_t parent, const PictureRect& own, int width, int height);
    void placeOwn();
    bool makeImage();
    bool makeSharedImage();
    void freeImage();
    void forgetWindow();
    void resize(int width, int height);

    Impl* d_;
    unsigned long window_ = 0;
    unsigned long parent_ = 0;
    int width_ = 0;
    int height_ = 0;
    int format_ = -1;
};

} // namespace mci
