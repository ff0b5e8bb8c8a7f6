#include "platform/FileSystem.h"

#include "platform/AsciiText.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <linux/fs.h>
#include <pwd.h>
#include <sys/ioctl.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

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
bool SyncFolderOf(const std::string& nativePath) {
    int dir = ::open(NativeParentFolder(nativePath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir < 0)
        return false;
    bool ok = ::fsync(dir) == 0;
    ::close(dir);
    return ok;
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

bool SyncFile(const std::string& path) {
    int fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

bool SyncFileAndFolder(const std::string& path) {
    const bool ok = SyncFile(path);
    return SyncFolderOf(NativePath(path)) && ok;
}

bool WriteNewFile(const std::string& path, std::string_view bytes, DiskWrite disk) {
    const std::string native = NativePath(path);
    int fd = ::open(native.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    bool ok = WriteAll(fd, bytes.data(), bytes.size());
    if (ok && disk == DiskWrite::Flush)
        ok = ::fsync(fd) == 0;
    else if (ok && disk == DiskWrite::Start)
        ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE);
    int err = errno;
    if (::close(fd) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(native.c_str());
        errno = err;
    }
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

    if (!WriteNewFile(temp, bytes, sync ? DiskWrite::Flush : DiskWrite::Later))
        return fail(errno);
    // Keep the mode, owner, group and extended attributes of the file being replaced.
    if (::access(target.c_str(), F_OK) == 0)
        CopyFileAttributes(target, temp);
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int err = errno;
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
    // Writable by its owner whatever the source's mode: StormLib updates a copy in place, and a
    // copy that replaces a file is given that file's mode afterwards.
    int out = ::open(target.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                     (st.st_mode & 0777) | S_IWUSR);
    if (out < 0) {
        ::close(in);
        return false;
    }
    // A reflink shares the blocks where the file system can: instant, and still a separate file.
    bool ok = ::ioctl(out, FICLONE, in) == 0 || CopyDescriptor(in, out);
    if (ok && sync)
        ok = ::fsync(out) == 0;
    int err = errno;
    ::close(in);
    if (::close(out) != 0 && ok) {
        ok = false;
        err = errno;
    }
    if (!ok) {
        ::unlink(target.c_str());
        errno = err;
        return false;
    }
    if (size)
        *size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists, bool* flushed) {
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
    const bool synced = SyncFolderOf(target);
    if (flushed)
        *flushed = synced;
    return true;
}

bool IsWritable(const std::string& path) {
    return ::access(NativePath(path).c_str(), W_OK) == 0;
}

bool IsReadOnlyFile(const std::string& path) {
    struct stat st;
    return ::stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
           (st.st_mode & S_IWUSR) == 0;
}

std::optional<std::int64_t> ModificationTime(const std::string& path) {
    struct stat st;
    if (::stat(NativePath(path).c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<std::int64_t>(st.st_mtime);
}

std::optional<unsigned> OwnerOf(const std::string& path) {
    struct stat st;
    if (::stat(NativePath(path).c_str(), &st) != 0)
        return std::nullopt;
    return static_cast<unsigned>(st.st_uid);
}

namespace {

// The user's login name, or the number where the system knows none.
std::string UserName(unsigned uid) {
    struct passwd entry;
    struct passwd* found = nullptr;
    std::string buffer(16384, '\0');
    if (::getpwuid_r(static_cast<uid_t>(uid), &entry, buffer.data(), buffer.size(), &found) == 0 &&
        found != nullptr)
        return found->pw_name;
    return std::to_string(uid);
}

} // namespace

std::string OwnerChangeNote(const std::string& shown, const std::string& path,
                            unsigned formerOwner) {
    const std::optional<unsigned> owner = OwnerOf(path);
    if (!owner || *owner == formerOwner)
        return "";
    return shown + " now belongs to " + UserName(*owner) + "; it belonged to " +
           UserName(formerOwner) + ".";
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

std::string WriteFailureReason(int err, const std::string& folder, bool creating) {
    if (FileErrorCauseFromErrno(err) == 13)
        return "The disk is full.";
    if (creating && (err == EACCES || err == EPERM || err == EROFS))
        return NativePath(folder) + " is read-only.";
    return "";
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
    // Set on the open copy, so that nothing put at its name meanwhile is changed instead.
    int fd = ::open(target.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) // a copy its owner may write but not read
        fd = ::open(target.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return;
    // Owner and group first: a change of owner clears set-id bits that the mode puts back. Who
    // may not give a file away may still give it one of their own groups; the callers name the
    // new owner then.
    if (::fchown(fd, st.st_uid, st.st_gid) != 0 &&
        ::fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
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
                ::fsetxattr(fd, name, value.data(), static_cast<size_t>(length), 0);
        }
    }
    ::fchmod(fd, st.st_mode & 07777);
    ::close(fd);
}
