#pragma once

#include <chrono>
#include <cstdint>
#include <string>

class CUserPrompts;
class CNoteLog;

// An advisory lock (flock) that an update of a file holds from its first read to its last
// rename, so that two instances of the program never write one file at the same time.
//
// It is taken on the folder that holds the file, once the file's symbolic links are resolved:
// the rename that puts a new file in place leaves the folder as it is, the folder exists before a
// new file does, and no lock file is left behind in the user's game folder. The price is that
// the files of one folder share one lock.
//
// Within one process the lock is re-entrant: a second CFileLock of a folder shares the first
// one's (flock on a second descriptor would wait for the first). A process made by fork() starts
// without its parent's locks.
class CFileLock {
public:
    // How long a lock that another program holds is waited for.
    static constexpr std::chrono::milliseconds kDefaultWait{2000};

    explicit CFileLock(const std::string& path, std::chrono::milliseconds wait = kDefaultWait);
    // Waits the same, but not without a sign: when another program holds the lock, `waiting` goes
    // to the notes and the busy cursor shows until the wait ends.
    CFileLock(const std::string& path, CUserPrompts& prompts, CNoteLog& notes,
              const std::string& waiting);
    ~CFileLock();
    CFileLock(const CFileLock&) = delete;
    CFileLock& operator=(const CFileLock&) = delete;

    bool Held() const { return m_held; }
    // True when another program kept the lock for the whole wait.
    bool HeldElsewhere() const { return m_heldElsewhere; }

private:
    void Take(const std::string& path, std::chrono::milliseconds wait);

    bool m_held = false;
    bool m_heldElsewhere = false;
    std::uint64_t m_device = 0;
    std::uint64_t m_inode = 0;
    std::uint64_t m_generation = 0;
};
