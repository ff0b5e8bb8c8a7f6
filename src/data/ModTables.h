#pragma once

#include "data/GameDataSet.h"
#include "store/ModStore.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Every table of the opened mod by its file name: the nine the data set holds, and every other
// table the mod's store (the opened archive, or a mod folder) or the game's own stores hold. The
// game's archives carry no list of names, so tables are found by trying the names the game's
// versions use. A table beyond the nine is read when first opened and, once changed, written by
// every save that follows.
class CModTables {
public:
    enum class Origin { ThisArchive, GameArchive };

    struct Entry {
        std::string fileName;
        Origin origin = Origin::GameArchive;
        // One of the nine, whose table the data set holds.
        std::optional<CGameDataSet::TableId> id;
        // A table beyond the nine: the store it is read from, and the table once read.
        const CModStore* source = nullptr;
        std::unique_ptr<CTxtTable> own;
        bool changed = false;
    };

    explicit CModTables(CGameDataSet& data);

    // "Data\Global\Excel\<fileName>".
    static std::string ArchivedName(const std::string& fileName);

    // Lists the tables: each of `names` (file names, any case) and each table a store lists is
    // tried in the mod's store, then in the game's stores in the order the game reads them. The
    // nine are always listed; their base copies are in `tablesFolder` ("" when there are none).
    // The stores must outlive the entries. Forgets the tables of an earlier mod.
    void Find(const CModStore& mod, const std::vector<const CModStore*>& game,
              const std::string& tablesFolder, std::vector<std::string> names);
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
    // The tables beyond the nine a save writes: those changed since they were read, and, into
    // another store than the mod's (Save As), every table read from the mod's store.
    std::vector<const Entry*> ToSave(bool elsewhere) const;
    const CModStore* Mod() const { return m_pMod; }
    // The store saved into (`mod`) holds this mod's tables now.
    void Saved(const CModStore& mod);

    // The game's own copy of a table, the base its changes are counted against: read from the
    // game's stores in the order the game reads them; for the nine, else their base copies. Null
    // when the game has none.
    const CTxtTable* Base(const std::string& fileName);
    // Reads a table from a store; null when the store does not hold it or it is no table.
    static std::unique_ptr<CTxtTable> ReadTable(const CModStore& store,
                                                const std::string& fileName);

private:
    CGameDataSet& m_data;
    const CModStore* m_pMod = nullptr;
    std::string m_strTablesFolder;
    std::vector<const CModStore*> m_game;
    std::vector<Entry> m_entries;
    // By upper-case file name; null when the game has no copy.
    std::map<std::string, std::unique_ptr<CTxtTable>> m_bases;
    bool m_bFound = false;
};
