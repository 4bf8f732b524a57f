#pragma once
#include "mci/MciError.h"
#include <string>

namespace mci {

// The shape of the platform's string service (mciSendString / mciGetErrorString).
// The player's command channel talks to exactly this; the real service and the
// scripted test double both implement it.
class MciBackend {
public:
    virtual ~MciBackend() = default;

    // Executes one command string. The reply is written into `reply` (at most
    // replyLength - 1 characters plus a terminating zero; longer replies are cut).
    virtual ErrorCode sendString(const char* command, char* reply, unsigned replyLength) = 0;

    // The text for an error code, for the error box of the execute operation.
    virtual std::string errorString(ErrorCode code) const = 0;
};

} // namespace mci
