#pragma once
#include "mci/MciError.h"

#include <string>

namespace mci {

// Our own wording for each MCI error code; the numbers are MCI's.
std::string errorText(ErrorCode code);

} // namespace mci
