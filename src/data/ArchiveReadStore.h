#pragma once

#include "data/ArchiveReaderCache.h"
#include "store/ModStore.h"

#include <string>

// An MPQ archive read as a store: the opened archive's tables, or the game's own archives'.
// Writing goes through CMpqArchive, so this store writes nothing. The archive stays open while
// the store lives; a save replaces the opened archive's file, so a new store reads it afterwards.
class CArchiveReadStore : public CModStore {
public:
    explicit CArchiveReadStore(std::string archivePath);
    // Reads through `shared`, which keeps the archive open for other stores of the same file
    // (the item editors' pictures read many small files of the same few archives).
    CArchiveReadStore(std::string archivePath, CArchiveReaderCache& shared);
    CArchiveReadStore(CArchiveReadStore&& other) noexcept;

    const std::string& Path() const { return m_path; }

    std::string DisplayName() const override;
    bool HasFile(const std::string& archivedName) const override;
    bool ReadFile(const std::string& archivedName, std::string& bytes) const override;
    // The tables its "(listfile)" names; the game's archives carry none.
    std::vector<std::string> ListExcelTables() const override;
    bool WriteBatch(const std::vector<std::pair<std::string, std::string>>& files,
                    std::string& error) override;

private:
    std::string m_path;
    mutable CArchiveReaderCache m_ownCache;
    CArchiveReaderCache* m_pCache;
};
