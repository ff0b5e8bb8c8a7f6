#include "FaultyDisk.h"

#include <cerrno>
#include <climits>
#include <cstdarg>
#include <fcntl.h>
#include <mutex>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

std::mutex g_mutex;
CFaultyDisk::Rule g_rule;

std::string PathOf(int fd) {
    char link[64], path[PATH_MAX];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    ssize_t size = ::readlink(link, path, sizeof path);
    return size > 0 ? std::string(path, static_cast<size_t>(size)) : std::string();
}

// The error the rule gives the call, 0 to let it through.
int Fault(CFaultyDisk::Call call, const std::string& path) {
    std::lock_guard<std::mutex> guard(g_mutex);
    return g_rule ? g_rule(call, path) : 0;
}

int Fault(CFaultyDisk::Call call, int fd) {
    {
        std::lock_guard<std::mutex> guard(g_mutex);
        if (!g_rule)
            return 0;
    }
    return Fault(call, PathOf(fd));
}

long Failed(int error) {
    errno = error;
    return -1;
}

} // namespace

CFaultyDisk::CFaultyDisk(Rule rule) {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_rule = std::move(rule);
}

CFaultyDisk::~CFaultyDisk() {
    std::lock_guard<std::mutex> guard(g_mutex);
    g_rule = nullptr;
}

extern "C" {

int open(const char* path, int flags, ...) {
    mode_t mode = 0;
    if ((flags & (O_CREAT | O_TMPFILE)) != 0) {
        va_list args;
        va_start(args, flags);
        mode = static_cast<mode_t>(va_arg(args, unsigned));
        va_end(args);
        if (int error = Fault(CFaultyDisk::Call::Create, path))
            return static_cast<int>(Failed(error));
    }
    return static_cast<int>(::syscall(SYS_openat, AT_FDCWD, path, flags, mode));
}

ssize_t write(int fd, const void* data, size_t size) {
    if (int error = Fault(CFaultyDisk::Call::Write, fd))
        return Failed(error);
    return ::syscall(SYS_write, fd, data, size);
}

int fsync(int fd) {
    if (int error = Fault(CFaultyDisk::Call::Sync, fd))
        return static_cast<int>(Failed(error));
    return static_cast<int>(::syscall(SYS_fsync, fd));
}

int fchown(int fd, uid_t owner, gid_t group) noexcept {
    if (int error = Fault(CFaultyDisk::Call::Chown, fd))
        return static_cast<int>(Failed(error));
    return static_cast<int>(::syscall(SYS_fchown, fd, owner, group));
}

} // extern "C"
