#pragma once
#include "mci/MciCommand.h"
#include "mci/MciError.h"

namespace mci {
struct MciContext;

// Transport: positions arrive in the instance's time format and reach the device in frames.
ErrorCode handlePlay(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleStop(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handlePause(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleResume(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleSeek(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleStep(MciContext& context, const MciCommand& command, std::string& reply);

} // namespace mci
