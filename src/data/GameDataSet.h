#pragma once

#include "table/TxtTable.h"

#include <array>
#include <string>
#include <utility>
#include <vector>

class CMpqArchive;
class CUserPrompts;
class CNoteLog;

// The nine game tables the program edits, as one data set, with the flags kept beside them.
// Every table has a working copy in the working folder (written at each open from the archive
// opened) and a base copy in "tables" (extracted once from the game's own archive).
class CGameDataSet {
public:
    enum class TableId {
        MonStats,
        MonItemPercent,
        Levels,
        Armor,
        Weapons,
        DifficultyLevels,
        UniqueItems,
        TreasureClassEx,
        Skills,
    };
    static constexpr size_t kTableCount = 9;

    // Declaration order; also the order of extraction at open and of loading.
    static constexpr std::array<TableId, kTableCount> kDeclarationOrder = {
        TableId::MonStats,    TableId::MonItemPercent,  TableId::Levels,
        TableId::Armor,       TableId::Weapons,         TableId::DifficultyLevels,
        TableId::UniqueItems, TableId::TreasureClassEx, TableId::Skills};
    // The order in which Save Tables and Load Tables go through the tables.
    static constexpr std::array<TableId, kTableCount> kFolderOrder = {TableId::MonStats,
                                                                      TableId::MonItemPercent,
                                                                      TableId::Levels,
                                                                      TableId::Armor,
                                                                      TableId::Weapons,
                                                                      TableId::UniqueItems,
                                                                      TableId::DifficultyLevels,
                                                                      TableId::TreasureClassEx,
                                                                      TableId::Skills};

    // "monstats.txt", "Armor.txt", ...: the table's file name as the game spells it.
    static std::string FileName(TableId id);
    // "Data\Global\Excel\monstats.txt": the name inside a game archive.
    static std::string ArchivePath(TableId id);
    // "monstats.txt": the working copy, relative to the working folder.
    static std::string WorkingCopy(TableId id);
    // "tables\monstats.txt": the base copy, relative to the working folder.
    static std::string BaseCopy(TableId id);
    // "\monstats.txt": appended to a folder chosen by the user.
    static std::string FolderFileName(TableId id);

    CGameDataSet();
    CGameDataSet(const CGameDataSet&) = delete;
    CGameDataSet& operator=(const CGameDataSet&) = delete;

    // Message boxes of the tables' file errors go here.
    void SetPrompts(CUserPrompts* prompts);

    CTxtTable& Table(TableId id);
    const CTxtTable& Table(TableId id) const;

    // Load Tables read aside: the tables read, the paths of files that exist but could not be
    // read, and the file names of the tables not found at all.
    struct FolderLoad {
        std::vector<std::pair<TableId, CTxtTable>> tables;
        std::vector<std::string> unreadable;
        std::vector<std::string> missing;

        // What the user is told about a load from `folder`, one note a line.
        std::vector<std::string> Notes(const std::string& folder) const;
    };

    // Save Tables / Load Tables: all nine to and from `folder`. An empty table writes nothing.
    // Reading finds a file by its exact name first, else by its name ignoring ASCII case (tables
    // copied from Windows are spelt in any case); a table whose file is missing or cannot be read
    // is left out. TakeFolderTables replaces the tables read and leaves the others as they are.
    void SaveToFolder(const std::string& folder);
    FolderLoad ReadFolder(const std::string& folder) const;
    void TakeFolderTables(FolderLoad& load);

    void ClearAll();

    // The tables every editor needs are loaded; TreasureClassEx only matters for game versions
    // with compiled tables.
    bool IsComplete() const;

    // File > Open: reads the nine tables from `archive` itself (a working copy may be another
    // archive's) and a table the archive does not hold from its base copy under `workingFolder`,
    // notes whether the archive holds compiled tables, and then writes the working copies of the
    // tables read from it. Returns "" when every table IsComplete needs was loaded and every
    // working copy written, else why the open failed; none of its working copies is left then.
    std::string LoadFromArchive(const CMpqArchive& archive, const std::string& workingFolder);
    // Moves the nine tables and the flags of `other` in. For a data set loaded aside, so a failed
    // load never touches this one; the modified flag goes with the tables it describes.
    void TakeTablesFrom(CGameDataSet& other);

    CTxtTable m_MonStats;
    CTxtTable m_MonItemPercent;
    CTxtTable m_Levels;
    CTxtTable m_Armor;
    CTxtTable m_Weapons;
    CTxtTable m_DifficultyLevels;
    CTxtTable m_UniqueItems;
    CTxtTable m_TreasureClassEx;
    CTxtTable m_Skills;

    bool m_bModified = false;
    bool m_bExpansion = false;
    bool m_bBinTables = false;
};
