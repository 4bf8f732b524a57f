#pragma once
#include "mci/MciCommand.h"
#include "mci/MciError.h"

namespace mci {
struct MciContext;

// Commands that only answer: status, capability, where, info, sysinfo.
ErrorCode handleStatus(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleCapability(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleWhere(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleInfo(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleSysinfo(MciContext& context, const MciCommand& command, std::string& reply);

} // namespace mci
