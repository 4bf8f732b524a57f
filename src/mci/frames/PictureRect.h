#pragma once

namespace mci {

// A rectangle of a picture or a window, in pixels: where a frame is drawn, or
// where the own window lies on the screen.
struct PictureRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

} // namespace mci
