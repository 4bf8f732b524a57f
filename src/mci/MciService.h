#pragma once
#include "mci/MciBackend.h"

namespace mci {

// The MCI command-string service: parses a command against the command table,
// resolves the alias or device, and runs it on the device.
class MciService : public MciBackend {
public:
    MciService();
    ~MciService() override;

    ErrorCode sendString(const char* command, char* reply, unsigned replyLength) override;
    std::string errorString(ErrorCode code) const override;
};

} // namespace mci
