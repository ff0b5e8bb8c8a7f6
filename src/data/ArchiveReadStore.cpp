#include "data/ArchiveReadStore.h"

#include "data/TableNames.h"
#include "platform/FileSystem.h"

#include <filesystem>

namespace {

// Larger than any table of the game by far; a bigger file is no table.
constexpr std::uint64_t kMaxFileBytes = 256u << 20;

} // namespace

CArchiveReadStore::CArchiveReadStore(std::string archivePath)
    : m_path(std::move(archivePath)), m_pCache(&m_ownCache) {}

CArchiveReadStore::CArchiveReadStore(std::string archivePath, CArchiveReaderCache& shared)
    : m_path(std::move(archivePath)), m_pCache(&shared) {}

CArchiveReadStore::CArchiveReadStore(CArchiveReadStore&& other) noexcept
    : m_path(std::move(other.m_path)),
      m_pCache(other.m_pCache == &other.m_ownCache ? &m_ownCache : other.m_pCache) {}

std::string CArchiveReadStore::DisplayName() const {
    return std::filesystem::path(NativePath(m_path)).filename().string();
}

bool CArchiveReadStore::HasFile(const std::string& archivedName) const {
    return m_pCache->HasFile(m_path, archivedName);
}

bool CArchiveReadStore::ReadFile(const std::string& archivedName, std::string& bytes) const {
    return m_pCache->ReadFile(m_path, archivedName, bytes, kMaxFileBytes);
}

std::vector<std::string> CArchiveReadStore::ListExcelTables() const {
    std::string listfile;
    if (!ReadFile("(listfile)", listfile))
        return {};
    return ExcelNamesInListfile(listfile);
}

bool CArchiveReadStore::WriteBatch(const std::vector<std::pair<std::string, std::string>>&,
                                   std::string& error) {
    error = "The archive " + NativePath(m_path) + " is written only by File > Save.";
    return false;
}
