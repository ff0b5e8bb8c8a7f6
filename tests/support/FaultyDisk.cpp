#include "FaultyDisk.h"

#include <atomic>
#include <cerrno>
#include <filesystem>
#include <sys/syscall.h>
#include <unistd.h>

namespace {

// No lock: a child made by fork() could never take one that another thread held.
std::atomic<const CFaultyDisk*> g_disk{nullptr};

// The call, unless the rule fails it on the file `fd` names (errno set, -1).
long Unless(CFaultyDisk::Call call, int fd, long number, long a = 0, long b = 0, long c = 0) {
    const CFaultyDisk* disk = g_disk;
    std::error_code ec;
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const int error = disk ? disk->m_rule(call, std::filesystem::read_symlink(link, ec)) : 0;
    return error != 0 ? (errno = error, -1) : ::syscall(number, fd, a, b, c);
}

} // namespace

CFaultyDisk::CFaultyDisk(std::function<int(Call, const std::string&)> rule)
    : m_rule(std::move(rule)) {
    g_disk = this;
}

CFaultyDisk::~CFaultyDisk() {
    g_disk = nullptr;
}

extern "C" ssize_t write(int fd, const void* data, size_t size) {
    return Unless(CFaultyDisk::Call::Write, fd, SYS_write, long(data), long(size));
}

extern "C" int fsync(int fd) {
    return int(Unless(CFaultyDisk::Call::Sync, fd, SYS_fsync));
}

extern "C" int fchown(int fd, uid_t owner, gid_t group) noexcept {
    return int(Unless(CFaultyDisk::Call::Chown, fd, SYS_fchown, long(owner), long(group)));
}
