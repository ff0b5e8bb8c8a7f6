#include "platform/FileSystem.h"

#include "platform/AsciiText.h"
#include "platform/FileLock.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <climits>
#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <memory>
#include <mutex>
#include <pthread.h>
#include <sys/ioctl.h>
#include <sys/random.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr std::string_view kTemporaryMarker = ".tarvane-tmp-";

// Writes all of `bytes` to an open descriptor; false with errno set on failure.
bool WriteAll(int fd, const char* data, size_t size) {
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

// Flushes the folder entry of a file, so that a rename or a new name survives a power cut.
void SyncFolderOf(const std::string& nativePath) {
    int dir = ::open(NativeParentFolder(nativePath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
}

// Opens an ordinary file for reading, with its status; -1 for anything else (a folder, a pipe).
// Opening a pipe waits for a writer and opening a device can act on it, so the type is looked
// at first and the open itself cannot wait; the status of the open file then decides, in case
// the name was replaced in between.
int OpenRegularFile(const std::string& path, struct stat& st) {
    const std::string native = NativePath(path);
    if (::stat(native.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return -1;
    int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return -1;
    int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 ||
        ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

std::string NativeParentFolder(const std::string& nativePath) {
    auto slash = nativePath.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return nativePath.substr(0, slash);
}

std::string NativePath(const std::string& path) {
    std::string native = path;
    std::replace(native.begin(), native.end(), '\\', '/');
    return native;
}

bool FileExists(const std::string& path) {
    struct stat st;
    return ::stat(NativePath(path).c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
    struct stat st;
    return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string GetWorkingFolder() {
    // No length limit: a folder deeper than PATH_MAX is still a folder the user works in, and
    // an empty answer would send the settings and the overrides to the root.
    std::string buffer(PATH_MAX, '\0');
    while (::getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE || buffer.size() >= (size_t{1} << 24))
            return "";
        buffer.resize(buffer.size() * 2);
    }
    buffer.resize(std::char_traits<char>::length(buffer.c_str()));
    return buffer;
}

bool MakeFolder(const std::string& path) {
    return ::mkdir(NativePath(path).c_str(), 0777) == 0;
}

bool RemoveFile(const std::string& path) {
    return ::unlink(NativePath(path).c_str()) == 0;
}

bool RenameFile(const std::string& from, const std::string& to) {
    return ::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool LinkFile(const std::string& existing, const std::string& newName) {
    return ::link(NativePath(existing).c_str(), NativePath(newName).c_str()) == 0;
}

bool MoveFileNoReplace(const std::string& from, const std::string& to) {
    // link + unlink refuses an existing destination atomically; fall back to a checked rename
    // on file systems without hard links.
    std::string src = NativePath(from), dst = NativePath(to);
    if (::link(src.c_str(), dst.c_str()) == 0) {
        ::unlink(src.c_str());
        return true;
    }
    if (errno == EEXIST)
        return false;
    if (FileExists(to))
        return false;
    return ::rename(src.c_str(), dst.c_str()) == 0;
}

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

bool ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t maxSize) {
    bytes.clear();
    struct stat st;
    int fd = OpenRegularFile(path, st);
    if (fd < 0)
        return false;
    if (static_cast<std::uint64_t>(st.st_size) > maxSize) {
        ::close(fd);
        return false;
    }
    // A buffer of an earlier read keeps its memory.
    bytes.resize(static_cast<size_t>(st.st_size));
    size_t done = 0;
    char more[4096]; // what a file that grew while we read it has beyond its size
    while (true) {
        bool full = done == bytes.size();
        ssize_t n = full ? ::read(fd, more, sizeof more)
                         : ::read(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            ::close(fd);
            bytes.clear();
            return false;
        }
        if (n == 0)
            break;
        if (full)
            bytes.append(more, static_cast<size_t>(n));
        done += static_cast<size_t>(n);
        if (done > maxSize) {
            ::close(fd);
            bytes.clear();
            return false;
        }
    }
    bytes.resize(done);
    ::close(fd);
    return true;
}

bool SyncFileAndFolder(const std::string& path) {
    std::string native = NativePath(path);
    int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    SyncFolderOf(native);
    return ok;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, bool sync,
                         int* errorCause) {
    auto fail = [&](int err) {
        if (errorCause)
            *errorCause = FileErrorCauseFromErrno(err);
        return false;
    };
    // A link is followed: renaming over it would turn the link into a file of its own and leave
    // the file it names as it was.
    const std::string target = ResolveLinks(path);
    if (target.empty())
        return fail(EINVAL);
    const std::string temp = TemporaryPathBeside(target);

    // A target that exists but cannot be written must not be replaced behind the user's back:
    // the rename below would succeed in a writable folder even for a read-only file.
    if (::access(target.c_str(), F_OK) == 0 && ::access(target.c_str(), W_OK) != 0)
        return fail(errno);

    int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0)
        return fail(errno);
    bool ok = WriteAll(fd, bytes.data(), bytes.size());
    if (ok && sync)
        ok = ::fsync(fd) == 0;
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (ok) {
        // Keep the mode, owner, group and extended attributes of the file being replaced.
        if (::access(target.c_str(), F_OK) == 0)
            CopyFileAttributes(target, temp);
        if (::rename(temp.c_str(), target.c_str()) != 0) {
            ok = false;
            err = errno;
        }
    }
    if (!ok) {
        ::unlink(temp.c_str());
        return fail(err);
    }
    if (sync)
        SyncFolderOf(target);
    if (errorCause)
        *errorCause = 0;
    return true;
}

namespace {

// Copies the rest of `in` to `out` in the kernel where it can (sendfile where the file systems
// refuse copy_file_range), handing every chunk to the disk at once so that a flush afterwards
// finds little left to write.
bool CopyDescriptor(int in, int out) {
    constexpr size_t kChunk = size_t{2} << 20;
    bool range = true;
    off_t done = 0;
    while (true) {
        ssize_t n = range ? ::copy_file_range(in, nullptr, out, nullptr, kChunk, 0)
                          : ::sendfile(out, in, nullptr, kChunk);
        if (n < 0 && range && done == 0 &&
            (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)) {
            range = false;
            continue;
        }
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (n == 0)
            return true;
        ::sync_file_range(out, done, n, SYNC_FILE_RANGE_WRITE);
        done += n;
    }
}

} // namespace

bool CopyToNewFile(const std::string& from, const std::string& to, bool sync, std::uint64_t* size) {
    struct stat st;
    int in = OpenRegularFile(from, st);
    if (in < 0)
        return false;
    const std::string target = NativePath(to);
    int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, st.st_mode & 0777);
    if (out < 0) {
        ::close(in);
        return false;
    }
    // A reflink shares the blocks where the file system can: instant, and still a separate file.
    bool ok = ::ioctl(out, FICLONE, in) == 0 || CopyDescriptor(in, out);
    if (ok && sync)
        ok = ::fsync(out) == 0;
    ::close(in);
    if (::close(out) != 0)
        ok = false;
    if (!ok) {
        ::unlink(target.c_str());
        return false;
    }
    if (size)
        *size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists) {
    // A link is followed: renaming over it would leave the file it names as it was.
    const std::string target = ResolveLinks(to);
    if (target.empty() || (failIfExists && FileExists(target)))
        return false;
    // The copy is made beside the destination and only put in place once it is whole and on the
    // disk, so a failed or interrupted copy leaves the old destination as it was.
    std::string temp = TemporaryPathBeside(target);
    if (!CopyToNewFile(from, temp, true))
        return false;
    if (FileExists(target))
        CopyFileAttributes(target, temp);
    bool ok = failIfExists ? MoveFileNoReplace(temp, target) : RenameFile(temp, target);
    if (!ok) {
        RemoveFile(temp);
        return false;
    }
    SyncFolderOf(target);
    return true;
}

bool IsWritable(const std::string& path) {
    return ::access(NativePath(path).c_str(), W_OK) == 0;
}

std::vector<FolderEntry> ListFolder(const std::string& path) {
    std::vector<FolderEntry> entries;
    std::error_code ec;
    std::filesystem::directory_iterator it(NativePath(path), ec), end;
    if (ec)
        return entries;
    for (; it != end; it.increment(ec)) {
        if (ec)
            break;
        FolderEntry entry;
        entry.name = it->path().filename().string();
        // The entry's own type: a walk that followed links could leave the folder or go round
        // in circles.
        std::filesystem::file_status status = it->symlink_status(ec);
        entry.isLink = std::filesystem::is_symlink(status);
        entry.isFolder = std::filesystem::is_directory(status);
        entry.isRegular = std::filesystem::is_regular_file(status);
        entries.push_back(std::move(entry));
    }
    std::sort(entries.begin(), entries.end(),
              [](const FolderEntry& a, const FolderEntry& b) { return a.name < b.name; });
    return entries;
}

int FileErrorCauseFromErrno(int err) {
    switch (err) {
    case 0:
        return 0;
    case ENOENT:
        return 3; // a folder on the way is missing: the path is invalid
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
    case EINVAL:
        return 3;
    case EMFILE:
    case ENFILE:
        return 4;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case EEXIST:
        return 5;
    case EBADF:
        return 6;
    case ESPIPE:
        return 9;
    case EIO:
        return 10;
    case EBUSY:
    case ETXTBSY:
        return 11;
    case EDEADLK:
        return 12;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return 13;
    default:
        return 1;
    }
}

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

std::optional<std::string> FindFileIgnoringCase(const std::string& folder,
                                                const std::string& name) {
    const std::string exact = folder + "\\" + name;
    // Whatever has the exact name is the caller's to meet, as without this lookup.
    if (FileExists(exact))
        return exact;
    for (const FolderEntry& entry : ListFolder(folder)) {
        if (!entry.isFolder && entry.name.find('\\') == std::string::npos &&
            EqualsIgnoringAsciiCase(entry.name, name))
            return folder + "\\" + entry.name;
    }
    return std::nullopt;
}

bool RemoveRegularFile(const std::string& path) {
    const std::string native = NativePath(path);
    struct stat st;
    return ::lstat(native.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           ::unlink(native.c_str()) == 0;
}

std::string ResolveLinks(const std::string& path) {
    const std::string native = NativePath(path);
    std::string resolved;
    if (char* real = ::realpath(native.c_str(), nullptr)) {
        resolved = real;
        std::free(real);
    } else {
        // A file still to be made: where its folder really is, under the name it will get.
        char* folder = ::realpath(NativeParentFolder(native).c_str(), nullptr);
        if (folder == nullptr)
            return native;
        resolved = folder;
        std::free(folder);
        if (resolved != "/")
            resolved += '/';
        resolved += native.substr(native.find_last_of('/') + 1);
    }
    // The system's names are never reinterpreted: a "\" in one would become a separator.
    if (resolved.find('\\') != std::string::npos)
        return "";
    return resolved;
}

unsigned LinkCount(const std::string& path) {
    struct stat st;
    if (::stat(NativePath(path).c_str(), &st) != 0)
        return 0;
    return static_cast<unsigned>(st.st_nlink);
}

void CopyFileAttributes(const std::string& from, const std::string& to) {
    const std::string source = NativePath(from), target = NativePath(to);
    struct stat st;
    if (::stat(source.c_str(), &st) != 0)
        return;
    // Owner and group first: a change of owner clears set-id bits that the mode puts back. Who
    // may not give a file away may still give it one of their own groups.
    if (::chown(target.c_str(), st.st_uid, st.st_gid) != 0 &&
        ::chown(target.c_str(), static_cast<uid_t>(-1), st.st_gid) != 0) {
        // Neither is allowed: the new file stays the saving user's.
    }
    ssize_t size = ::listxattr(source.c_str(), nullptr, 0);
    if (size > 0) {
        std::string names(static_cast<size_t>(size), '\0');
        size = ::listxattr(source.c_str(), names.data(), names.size());
        names.resize(size > 0 ? static_cast<size_t>(size) : 0);
        for (size_t at = 0; at < names.size();) {
            const char* name = names.c_str() + at;
            at += std::strlen(name) + 1;
            ssize_t length = ::getxattr(source.c_str(), name, nullptr, 0);
            if (length < 0)
                continue;
            std::string value(static_cast<size_t>(length), '\0');
            length = ::getxattr(source.c_str(), name, value.data(), value.size());
            // Attributes this process may not set (another namespace, a file system without
            // them) are left out quietly.
            if (length >= 0)
                ::setxattr(target.c_str(), name, value.data(), static_cast<size_t>(length), 0);
        }
    }
    ::chmod(target.c_str(), st.st_mode & 07777);
}
