#include "mci/frames/ThreadPriority.h"

#include <cerrno>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace mci {
namespace {

// A third of the interface's share of a busy core (the scheduler's weights).
constexpr int kNiceSteps = 5;

} // namespace

void runBehindTheInterface()
{
    // On Linux each thread has a nice value of its own, addressed by its thread id.
    const auto thread = static_cast<id_t>(syscall(SYS_gettid));
    errno = 0;
    const int now = getpriority(PRIO_PROCESS, thread);
    if (now == -1 && errno != 0)
        return;
    setpriority(PRIO_PROCESS, thread, now + kNiceSteps > 19 ? 19 : now + kNiceSteps);
}

} // namespace mci
