#include "platform/FileLock.h"

#include "platform/FileSystem.h"
#include "platform/NoteLog.h"
#include "platform/UserPrompts.h"

#include <cerrno>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <new>
#include <pthread.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <utility>

namespace {

struct HeldLock {
    int fd = -1;
    int count = 0;
    // Tells a lock taken again after fork() apart from the parent's, whose holders the child
    // inherits on its stack.
    std::uint64_t generation = 0;
};

using FolderKey = std::pair<std::uint64_t, std::uint64_t>; // device, inode

std::mutex g_mutex;
std::map<FolderKey, HeldLock> g_held;
std::uint64_t g_nextGeneration = 1;

void ForgetParentLocks() {
    // The child shares the parent's open lock descriptions: unlocking them would unlock the
    // parent. Closing its copies leaves the parent's locks alone.
    new (&g_mutex) std::mutex;
    for (auto& [key, lock] : g_held)
        ::close(lock.fd);
    g_held.clear();
}

} // namespace

CFileLock::CFileLock(const std::string& path, std::chrono::milliseconds wait) {
    Take(path, wait);
}

CFileLock::CFileLock(const std::string& path, CUserPrompts& prompts, CNoteLog& notes,
                     const std::string& waiting) {
    Take(path, std::chrono::milliseconds(0));
    if (!m_heldElsewhere)
        return;
    notes.AppendNote(waiting);
    CBusyCursor busy(prompts);
    m_heldElsewhere = false;
    Take(path, kDefaultWait);
}

void CFileLock::Take(const std::string& path, std::chrono::milliseconds wait) {
    static const bool forkHandled = [] {
        ::pthread_atfork(nullptr, nullptr, ForgetParentLocks);
        return true;
    }();
    (void)forkHandled;

    const std::string real = ResolveLinks(path);
    if (real.empty())
        return;
    int fd = ::open(NativeParentFolder(real).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    struct stat st;
    if (::fstat(fd, &st) != 0) {
        ::close(fd);
        return;
    }
    const FolderKey key{static_cast<std::uint64_t>(st.st_dev),
                        static_cast<std::uint64_t>(st.st_ino)};
    m_device = key.first;
    m_inode = key.second;

    std::lock_guard<std::mutex> guard(g_mutex);
    auto found = g_held.find(key);
    if (found != g_held.end()) {
        ::close(fd);
        ++found->second.count;
        m_generation = found->second.generation;
        m_held = true;
        return;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || std::chrono::steady_clock::now() >= deadline) {
            m_heldElsewhere = errno == EWOULDBLOCK;
            ::close(fd);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    m_generation = g_nextGeneration++;
    g_held[key] = HeldLock{fd, 1, m_generation};
    m_held = true;
}

CFileLock::~CFileLock() {
    if (!m_held)
        return;
    std::lock_guard<std::mutex> guard(g_mutex);
    auto found = g_held.find({m_device, m_inode});
    if (found == g_held.end() || found->second.generation != m_generation)
        return;
    if (--found->second.count == 0) {
        // Closing the only descriptor of the lock releases it.
        ::close(found->second.fd);
        g_held.erase(found);
    }
}
