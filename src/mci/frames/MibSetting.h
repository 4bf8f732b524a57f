#pragma once
#include <cstdint>

namespace mci {

// A size in MiB from the environment, in bytes: `fallback` MiB when the variable is
// not set, and also when it is not a whole number from `lowest` to `highest`, which
// is said once on standard error.
int64_t mibSetting(const char* name, int64_t lowest, int64_t highest, int64_t fallback);

} // namespace mci
