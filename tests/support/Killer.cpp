#include "Killer.h"

#include <csignal>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

bool CKiller::Kill(const std::function<void()>& run) {
    pid_t child = fork();
    if (child == 0) {
        run();
        _exit(0);
    }
    if (child < 0)
        return false;
    std::this_thread::sleep_for(std::chrono::microseconds(
        static_cast<long long>(m_delay * std::uniform_real_distribution(0.5, 1.5)(m_random))));
    ::kill(child, SIGKILL);
    int status = 0;
    if (waitpid(child, &status, 0) != child)
        return false;
    ++m_kills;
    return WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
}

bool TimeInChild(const std::function<void()>& run, std::chrono::steady_clock::duration& took) {
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        run();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    took = std::chrono::steady_clock::now() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}
