#include "mci/MciService.h"

#include <cstring>

namespace mci {

MciService::MciService() = default;
MciService::~MciService() = default;

ErrorCode MciService::sendString(const char*, char* reply, unsigned replyLength)
{
    if (reply && replyLength > 0)
        reply[0] = '\0';
    return MCIERR_UNRECOGNIZED_COMMAND;
}

std::string MciService::errorString(ErrorCode code) const
{
    return "MCI error " + std::to_string(code) + ".";
}

} // namespace mci
