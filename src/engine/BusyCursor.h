#pragma once

// The busy cursor (an arrow that is still at work: the windows go on answering)
// over every window of the program while it lives: for a command that can take a
// moment (an open reading a big file from a slow disk). Without a graphical
// application it does nothing.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;

private:
    bool shown_ = false;
};
