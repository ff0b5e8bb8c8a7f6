#include "data/ArchiveReaderCache.h"

#include "data/MpqArchive.h"
#include "platform/FileSystem.h"

#include <StormLib.h>
#include <filesystem>
#include <system_error>

namespace {

// The one spelling of a path: links, "." and ".." resolved, separators made native.
std::string CanonicalPath(const std::string& path) {
    std::error_code ec;
    const std::filesystem::path canonical = std::filesystem::weakly_canonical(NativePath(path), ec);
    return ec ? std::filesystem::path(NativePath(path)).lexically_normal().string()
              : canonical.string();
}

} // namespace

CArchiveReaderCache::~CArchiveReaderCache() {
    Close();
}

void CArchiveReaderCache::Close() {
    for (const Opened& opened : m_archives)
        if (opened.handle != nullptr)
            SFileCloseArchive(opened.handle);
    m_archives.clear();
    m_spellings.clear();
}

void* CArchiveReaderCache::Archive(const std::string& archivePath) {
    if (auto known = m_spellings.find(archivePath); known != m_spellings.end())
        return m_archives[known->second].handle;
    const std::string canonical = CanonicalPath(archivePath);
    for (std::size_t i = 0; i < m_archives.size(); ++i) {
        if (m_archives[i].canonicalPath == canonical) {
            m_spellings.emplace(archivePath, i);
            return m_archives[i].handle;
        }
    }
    ++m_nOpens;
    HANDLE handle = nullptr;
    // Anything but a file (a named pipe would block the open for good) is not an archive.
    if (!IsRegularFile(archivePath) ||
        !SFileOpenArchive(canonical.c_str(), 0,
                          MPQ_OPEN_READ_ONLY | MPQ_OPEN_NO_LISTFILE | MPQ_OPEN_NO_ATTRIBUTES,
                          &handle))
        handle = nullptr;
    m_spellings.emplace(archivePath, m_archives.size());
    m_archives.push_back({canonical, handle});
    return handle;
}

bool CArchiveReaderCache::ReadFile(const std::string& archivePath, const std::string& name,
                                   std::string& bytes, std::uint64_t maxBytes) {
    bytes.clear();
    void* archive = Archive(archivePath);
    if (archive == nullptr)
        return false;
    std::uint32_t size = 0;
    std::unique_ptr<std::uint8_t[]> block =
        CMpqArchive::ReadFileToMemory(archive, name.c_str(), &size);
    if (!block || size > maxBytes)
        return false;
    bytes.assign(reinterpret_cast<const char*>(block.get()), size);
    return true;
}

bool CArchiveReaderCache::HasFile(const std::string& archivePath, const std::string& name) {
    void* archive = Archive(archivePath);
    return archive != nullptr && SFileHasFile(archive, name.c_str());
}

bool CArchiveReaderCache::SameFile(const std::string& a, const std::string& b) {
    return CanonicalPath(a) == CanonicalPath(b);
}
