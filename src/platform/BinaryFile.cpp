#include "platform/BinaryFile.h"

#include "platform/FileSystem.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

CBinaryFile::~CBinaryFile() {
    Close();
}

bool CBinaryFile::OpenForReading(const std::string& path) {
    Close();
    // Opened without waiting, then checked: a pipe or a device is no file to read at offsets.
    m_fd = ::open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    struct stat st;
    if (m_fd < 0 || ::fstat(m_fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = m_fd < 0 ? errno : EINVAL;
        Close();
        errno = error;
        return false;
    }
    m_size = static_cast<std::uint64_t>(st.st_size);
    return true;
}

bool CBinaryFile::CreateNew(const std::string& path) {
    Close();
    m_fd = ::open(NativePath(path).c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    m_size = 0;
    return m_fd >= 0;
}

bool CBinaryFile::ReadAt(std::uint64_t offset, void* into, std::size_t size) const {
    auto* bytes = static_cast<char*>(into);
    while (size > 0) {
        const ssize_t n = ::pread(m_fd, bytes, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            if (n == 0)
                errno = EIO;
            return false;
        }
        bytes += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

bool CBinaryFile::WriteAt(std::uint64_t offset, const void* from, std::size_t size) {
    const auto* bytes = static_cast<const char*>(from);
    while (size > 0) {
        const ssize_t n = ::pwrite(m_fd, bytes, size, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        bytes += n;
        offset += static_cast<std::uint64_t>(n);
        size -= static_cast<std::size_t>(n);
    }
    m_size = std::max(m_size, offset);
    return true;
}

bool CBinaryFile::CopyFrom(const CBinaryFile& source, std::uint64_t offset, std::uint64_t size,
                           std::uint64_t at) {
    // Every chunk is handed to the disk at once, so that the flush that follows a copy finds
    // little left to write.
    constexpr std::uint64_t kChunk = std::uint64_t{2} << 20;
    auto in = static_cast<off_t>(offset);
    auto out = static_cast<off_t>(at);
    while (size > 0) {
        const ssize_t n =
            ::copy_file_range(source.m_fd, &in, m_fd, &out, std::min(size, kChunk), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        ::sync_file_range(m_fd, out - n, n, SYNC_FILE_RANGE_WRITE);
        size -= static_cast<std::uint64_t>(n);
    }
    // Where the kernel cannot copy between these files, the bytes pass through memory.
    std::vector<char> buffer(size > 0 ? std::min<std::uint64_t>(size, 1 << 20) : 0);
    while (size > 0) {
        const std::size_t chunk = std::min<std::uint64_t>(size, buffer.size());
        if (!source.ReadAt(static_cast<std::uint64_t>(in), buffer.data(), chunk) ||
            !WriteAt(static_cast<std::uint64_t>(out), buffer.data(), chunk))
            return false;
        in += static_cast<off_t>(chunk);
        out += static_cast<off_t>(chunk);
        size -= chunk;
    }
    m_size = std::max(m_size, static_cast<std::uint64_t>(out));
    return true;
}

bool CBinaryFile::Resize(std::uint64_t size) {
    if (::ftruncate(m_fd, static_cast<off_t>(size)) != 0)
        return false;
    m_size = size;
    return true;
}

bool CBinaryFile::Close() {
    if (m_fd < 0)
        return true;
    const bool ok = ::close(m_fd) == 0;
    m_fd = -1;
    return ok;
}
