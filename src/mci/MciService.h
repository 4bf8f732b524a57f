#pragma once
#include "mci/MciBackend.h"
#include "mci/MciCommandParser.h"
#include "mci/MciDeviceTable.h"
#include "mci/MciExtensionTable.h"
#include "mci/MciInstanceTable.h"
#include "mci/MciOpenInProgress.h"

#include <mutex>

namespace mci {

// The MCI command-string service: parses a command against the command table,
// resolves the alias or device, and runs it on the device. Callers on several threads
// are served one command at a time; a close that names a device being opened ends
// that open rather than waiting for it.
class MciService : public MciBackend {
public:
    // The installed devices and the extension table of this user.
    MciService();
    MciService(MciDeviceTable devices, MciExtensionTable extensions);
    ~MciService() override;

    ErrorCode sendString(const char* command, char* reply, unsigned replyLength) override;
    std::string errorString(ErrorCode code) const override;

    // The same without a caller's buffer: the whole reply.
    ErrorCode send(const std::string& command, std::string& reply);

private:
    ErrorCode run(const MciCommand& command, std::string& reply);
    ErrorCode checkElement(const MciInstance& instance, const MciCommand& command) const;

    MciDeviceTable devices_;
    MciExtensionTable extensions_;
    MciInstanceTable instances_;
    MciCommandParser parser_;
    std::mutex running_;   // one command at a time
    MciOpenInProgress opening_;
};

} // namespace mci
