#include "mci/frames/MibSetting.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <set>
#include <string>

namespace mci {

int64_t mibSetting(const char* name, int64_t lowest, int64_t highest, int64_t fallback)
{
    constexpr int64_t kMiB = 1024 * 1024;
    const char* v = std::getenv(name);
    if (!v || !*v)
        return fallback * kMiB;
    char* end = nullptr;
    errno = 0;
    const long long mib = std::strtoll(v, &end, 10);
    if (errno == 0 && end != v && *end == '\0' && mib >= lowest && mib <= highest)
        return mib * kMiB;
    // Said once: the setting is read again at every open.
    static std::mutex mutex;
    static std::set<std::string> told;
    std::lock_guard<std::mutex> lock(mutex);
    if (told.insert(name).second)
        std::fprintf(stderr, "KELD32: %s=%s is not a number from %lld to %lld; using %lld MiB\n", name, v,
                     static_cast<long long>(lowest), static_cast<long long>(highest), static_cast<long long>(fallback));
    return fallback * kMiB;
}

} // namespace mci
