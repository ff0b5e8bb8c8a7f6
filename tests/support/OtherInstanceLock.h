#pragma once

#include <string>
#include <sys/types.h>

// Another instance of the program in the middle of updating a file: a child process that holds
// the file's lock (CFileLock) from construction until the object goes.
class COtherInstanceLock {
public:
    explicit COtherInstanceLock(const std::string& path);
    ~COtherInstanceLock();
    COtherInstanceLock(const COtherInstanceLock&) = delete;
    COtherInstanceLock& operator=(const COtherInstanceLock&) = delete;

    // False when the child could not take the lock.
    bool Held() const { return m_held; }
    // Ends the child, and with it the lock.
    void Release();

private:
    pid_t m_child = -1;
    int m_release = -1;
    bool m_held = false;
};
