#pragma once

namespace mci {

// How a stored picture is turned to stand upright, as the stream's display matrix
// says (a phone held upright records its pictures on their side): mirrored left to
// right first, then turned clockwise by a quarter turn count.
struct Orientation {
    int quarterTurns = 0;   // clockwise: 0, 1 (90 degrees), 2, 3
    bool mirrored = false;

    bool upright() const { return quarterTurns == 0 && !mirrored; }
    bool swapsSides() const { return quarterTurns % 2 == 1; }

    // Where the stored pixel (u, v) of a picture w x h (as stored) lands upright, and back.
    void toUpright(int u, int v, int w, int h, int& x, int& y) const;
    void toStored(int x, int y, int w, int h, int& u, int& v) const;
};

} // namespace mci
