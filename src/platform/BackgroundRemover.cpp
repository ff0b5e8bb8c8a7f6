#include "platform/BackgroundRemover.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <thread>
#include <unistd.h>

#include "platform/FileSystem.h"

namespace {

// One worker that removes files handed to it; the process waits for it at its end.
class CBackgroundRemover {
public:
    ~CBackgroundRemover() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stop = true;
        }
        m_wake.notify_one();
        if (m_worker.joinable())
            m_worker.join();
    }

    void WaitUntilIdle() {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_idle.wait(lock, [this] { return m_paths.empty() && !m_busy; });
    }

    void Remove(std::string nativePath) {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_paths.push_back(std::move(nativePath));
            if (!m_worker.joinable())
                m_worker = std::thread([this] { Run(); });
        }
        m_wake.notify_one();
    }

private:
    void Run() {
        std::unique_lock<std::mutex> lock(m_mutex);
        while (true) {
            m_wake.wait(lock, [this] { return m_stop || !m_paths.empty(); });
            while (!m_paths.empty()) {
                std::string path = std::move(m_paths.front());
                m_paths.pop_front();
                m_busy = true;
                lock.unlock();
                ::unlink(path.c_str());
                lock.lock();
                m_busy = false;
            }
            m_idle.notify_all();
            if (m_stop)
                return;
        }
    }

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::string> m_paths;
    bool m_busy = false;
    std::thread m_worker;
    bool m_stop = false;
};

} // namespace

namespace {

std::mutex g_removerMutex;
std::unique_ptr<CBackgroundRemover> g_remover;
// A child process made by fork() has no worker thread, and the parent's may have held the lock;
// the child leaves the parent's remover alone (still reachable here) and makes its own.
CBackgroundRemover* g_removerOfParent = nullptr;

} // namespace

CBackgroundRemover* CurrentRemover() {
    std::lock_guard<std::mutex> lock(g_removerMutex);
    return g_remover.get();
}

void WaitForBackgroundRemovals() {
    if (CBackgroundRemover* remover = CurrentRemover())
        remover->WaitUntilIdle();
}

void RemoveFileInBackground(const std::string& path) {
    static const bool forkHandled = [] {
        ::pthread_atfork(nullptr, nullptr, [] {
            new (&g_removerMutex) std::mutex;
            g_removerOfParent = g_remover.release();
        });
        return true;
    }();
    (void)forkHandled;
    std::lock_guard<std::mutex> lock(g_removerMutex);
    if (!g_remover)
        g_remover = std::make_unique<CBackgroundRemover>();
    g_remover->Remove(NativePath(path));
}
