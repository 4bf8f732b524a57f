#pragma once
#include "mci/MciCommand.h"
#include "mci/MciError.h"

namespace mci {
struct MciContext;

// Settings of an instance: time format, volume, and the configuration dialog we lack.
ErrorCode handleSet(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleSetaudio(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleConfigure(MciContext& context, const MciCommand& command, std::string& reply);

} // namespace mci
