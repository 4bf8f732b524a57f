#pragma once

namespace mci {

// Puts the calling thread, and the threads it starts from now on, behind the
// program's other threads when the cores are busy: decoding ahead and scanning may
// take whatever the window and the sound leave, never the other way round (a key
// pressed while a film starts to play is answered at once on two cores). A thread
// cannot take its place back without privileges, so only threads that do nothing
// else call this.
void runBehindTheInterface();

} // namespace mci
