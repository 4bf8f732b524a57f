#pragma once
#include <csignal>
#include <functional>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

// Ways to make the settings file unwritable that hold for root too.

// Runs `work` while no file may grow past `limit` bytes: writes then fail with
// EFBIG as they would on a full disk.
inline bool WithFullDisk(rlim_t limit, const std::function<bool()>& work)
{
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    const auto savedHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = limit;
    setrlimit(RLIMIT_FSIZE, &small);
    const bool result = work();
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, savedHandler);
    return result;
}

// Runs `work` as a user without rights to the test's files (root ignores file
// modes, so a read-only folder would stop nothing). Returns work's result, or
// -1 when the child did not end normally (a crash).
inline int AsUnprivilegedUser(const std::function<int()>& work)
{
    if (geteuid() != 0)
        return work();
    const pid_t child = fork();
    if (child == 0) {
        if (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0)
            _exit(99);
        _exit(work());
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
