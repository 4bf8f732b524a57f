#pragma once
#include "mci/MciCommand.h"
#include "mci/MciError.h"

namespace mci {
struct MciContext;

// Where and how the picture is shown, and writing the frame on display.
ErrorCode handlePut(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleWindow(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleUpdate(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleCapture(MciContext& context, const MciCommand& command, std::string& reply);

} // namespace mci
