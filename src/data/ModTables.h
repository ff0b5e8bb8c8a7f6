#pragma once

#include "data/ArchiveReaderCache.h"
#include "data/GameDataSet.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Every table of the opened mod by its file name: the nine the data set holds, and every other
// table the opened archive or the game's archives hold. The game's archives carry no list of
// names, so tables are found by trying the names the game's versions use. A table beyond the
// nine is read when first opened and, once changed, written by every save that follows.
class CModTables {
public:
    enum class Origin { ThisArchive, GameArchive };

    struct Entry {
        std::string fileName;
        Origin origin = Origin::GameArchive;
        // One of the nine, whose table the data set holds.
        std::optional<CGameDataSet::TableId> id;
        // A table beyond the nine: the archive it is read from, and the table once read.
        std::string archive;
        std::unique_ptr<CTxtTable> own;
        bool changed = false;
    };

    explicit CModTables(CGameDataSet& data);

    // "Data\Global\Excel\<fileName>".
    static std::string ArchivedName(const std::string& fileName);

    // Lists the tables: each of `names` (file names, any case) is tried in `openedArchive`, then
    // in `gameArchives` in the order the game reads them. The nine are always listed. The base
    // copies of the nine are in `tablesFolder`. Forgets the tables of an earlier mod.
    void Find(const std::string& openedArchive, const std::vector<std::string>& gameArchives,
              const std::string& tablesFolder, const std::vector<std::string>& names);
    bool IsFound() const { return m_bFound; }
    // Forgets every table: another mod is opened.
    void Clear();

    std::vector<Entry>& Entries() { return m_entries; }
    // The entry of that file name, any case; null when there is none.
    Entry* FindEntry(std::string_view fileName);
    // The entry's table, read now if it was not yet; null, with `error` saying why, when it
    // cannot be read.
    CTxtTable* Open(Entry& entry, std::string& error);
    // The entry's table when it is in memory; null for a table beyond the nine not yet read.
    CTxtTable* Loaded(Entry& entry);
    // Every table in memory, with its file name.
    std::vector<std::pair<std::string, CTxtTable*>> LoadedTables();
    // The tables beyond the nine a save into `archivePath` writes: those changed since they were
    // read, and, when it is not the opened archive, every table read from the opened archive.
    std::vector<const Entry*> ToSave(const std::string& archivePath) const;
    const std::string& Opened() const { return m_strOpened; }
    // The archive saved into holds this mod's tables now.
    void SetOpened(const std::string& archivePath);

    // The game's own copy of a table, the base its changes are counted against: read from the
    // game's archives other than the opened one, in the order the game reads them; for the nine,
    // else their base copies. Null when the game has none.
    const CTxtTable* Base(const std::string& fileName);

private:
    CGameDataSet& m_data;
    std::string m_strOpened;
    std::string m_strTablesFolder;
    std::vector<std::string> m_gameArchives;
    std::vector<Entry> m_entries;
    // By lower-case file name; null when the game has no copy.
    std::map<std::string, std::unique_ptr<CTxtTable>> m_bases;
    CArchiveReaderCache m_cache;
    bool m_bFound = false;
};
