#pragma once
#include "mci/sound/MpvHandle.h"

namespace mci {

// Every libmpv option the service uses, in one place. libmpv plays the sound of a
// medium and nothing else: pictures come from the frame server.
class MpvOptions {
public:
    // volume0to1000 in MCI's range; `silent` for runs without a display (tests, tools).
    static MpvHandle::Options forSound(int volume0to1000, bool silent);
};

} // namespace mci
