#include "OtherInstanceLock.h"

#include "platform/FileLock.h"

#include <sys/wait.h>
#include <unistd.h>

COtherInstanceLock::COtherInstanceLock(const std::string& path) {
    int ready[2], release[2];
    if (::pipe(ready) != 0)
        return;
    if (::pipe(release) != 0) {
        ::close(ready[0]);
        ::close(ready[1]);
        return;
    }
    m_child = ::fork();
    if (m_child == 0) {
        ::close(ready[0]);
        ::close(release[1]);
        CFileLock lock(path, std::chrono::milliseconds(0));
        char held = lock.Held() ? 1 : 0;
        (void)!::write(ready[1], &held, 1);
        // Holds the lock until the parent closes its end (or ends).
        char byte;
        while (::read(release[0], &byte, 1) > 0) {
        }
        ::_exit(0);
    }
    ::close(ready[1]);
    ::close(release[0]);
    m_release = release[1];
    char held = 0;
    m_held = m_child > 0 && ::read(ready[0], &held, 1) == 1 && held == 1;
    ::close(ready[0]);
}

COtherInstanceLock::~COtherInstanceLock() {
    Release();
}

void COtherInstanceLock::Release() {
    if (m_release >= 0)
        ::close(m_release);
    m_release = -1;
    if (m_child > 0)
        ::waitpid(m_child, nullptr, 0);
    m_child = -1;
    m_held = false;
}
