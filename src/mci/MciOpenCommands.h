#pragma once
#include "mci/MciCommand.h"
#include "mci/MciError.h"

namespace mci {
struct MciContext;

// "open" and "close": create and free device instances under their aliases.
ErrorCode handleOpen(MciContext& context, const MciCommand& command, std::string& reply);
ErrorCode handleClose(MciContext& context, const MciCommand& command, std::string& reply);

} // namespace mci
