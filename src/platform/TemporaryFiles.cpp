#include "platform/TemporaryFiles.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <sys/random.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/FileLock.h"
#include "platform/FileSystem.h"

namespace {

constexpr std::string_view kTemporaryMarker = ".tarvane-tmp-";

} // namespace

std::string TemporaryPathBeside(const std::string& path) {
    // Drawn fresh for every name: a process made by fork() must not repeat its parent's names,
    // and nothing may depend on process ids, which the system hands out again.
    std::uint64_t value = 0;
    if (::getrandom(&value, sizeof value, 0) != static_cast<ssize_t>(sizeof value)) {
        static std::atomic<std::uint64_t> counter{0};
        value = static_cast<std::uint64_t>(
                    std::chrono::steady_clock::now().time_since_epoch().count()) ^
                (counter++ * 0x9E3779B97F4A7C15ull) ^ static_cast<std::uint64_t>(::getpid());
    }
    char digits[17];
    std::snprintf(digits, sizeof digits, "%016llx", static_cast<unsigned long long>(value));
    return path + std::string(kTemporaryMarker) + digits;
}

bool IsTemporaryName(std::string_view fileName) {
    if (fileName.find(kTemporaryMarker) != std::string_view::npos)
        return true;
    // The form of earlier versions: ".tarvane-<process>-<count>.tmp".
    auto at = fileName.rfind(".tarvane-");
    if (at == std::string_view::npos || fileName.size() < 4 ||
        fileName.substr(fileName.size() - 4) != ".tmp")
        return false;
    std::string_view rest = fileName.substr(at + 9, fileName.size() - 4 - at - 9);
    auto dash = rest.find('-');
    auto digitsOnly = [](std::string_view s) {
        return !s.empty() &&
               std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
    };
    return dash != std::string_view::npos && digitsOnly(rest.substr(0, dash)) &&
           digitsOnly(rest.substr(dash + 1));
}

int RemoveStaleTemporaryFiles(const std::string& path) {
    const std::string real = ResolveLinks(path);
    if (real.empty())
        return 0;
    // Holding the lock, no other instance can be writing beside the file: every temporary there
    // was left by a killed update. Without it, they may be another instance's work in progress.
    CFileLock lock(real, std::chrono::milliseconds(0));
    if (!lock.Held())
        return 0;
    const std::string folder = NativeParentFolder(real);
    const std::string prefix = real.substr(real.find_last_of('/') + 1) + ".tarvane-";
    int removed = 0;
    for (const FolderEntry& entry : ListFolder(folder)) {
        if (entry.name.compare(0, prefix.size(), prefix) != 0 || !IsTemporaryName(entry.name))
            continue;
        // Only files: a folder or a link of that name is not one of ours.
        const std::string full = folder + "/" + entry.name;
        struct stat st;
        if (::lstat(full.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
            continue;
        if (::unlink(full.c_str()) == 0)
            ++removed;
    }
    return removed;
}
