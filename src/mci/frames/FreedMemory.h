#pragma once

namespace mci {

// Hands the heap pages freed so far back to the system. The C library keeps them
// resident until told otherwise, so a big medium's index or frames would go on
// counting against the process after they are gone.
void giveBackFreedMemory();

} // namespace mci
