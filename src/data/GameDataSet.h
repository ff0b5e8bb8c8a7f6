#pragma once

#include "table/TxtTable.h"

#include <array>
#include <string>
#include <vector>

class CMpqArchive;
class CUserPrompts;
class CNoteLog;

// The nine game tables the program edits, as one data set, with the flags kept beside them.
// Every table has a working copy in the working folder (extracted at each open) and a base copy
// in "tables" (extracted once from the game's own archive).
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

    // What Load Tables left as it was: the paths of files that exist but could not be read, and
    // the file names of the tables not found at all.
    struct FolderLoad {
        std::vector<std::string> unreadable;
        std::vector<std::string> missing;
        size_t loaded = 0; // tables replaced

        // What the user is told about a load from `folder`, one note a line.
        std::vector<std::string> Notes(const std::string& folder) const;
    };

    // Save Tables / Load Tables: all nine to and from `folder`. An empty table writes nothing.
    // Loading finds a file by its exact name first, else by its name ignoring ASCII case (tables
    // copied from Windows are spelt in any case), and leaves a table as it is when its file is
    // missing or cannot be read.
    void SaveToFolder(const std::string& folder);
    FolderLoad LoadFromFolder(const std::string& folder);

    // Loads a table from its working copy, or from its base copy when that fails.
    bool LoadFromCopies(TableId id);

    void ClearAll();

    // The tables every editor needs are loaded; TreasureClassEx only matters for game versions
    // with compiled tables.
    bool IsComplete() const;

    // File > Open: extracts the working copies of the nine tables from `archive` into
    // `workingFolder`, notes whether it holds compiled tables, and loads every table from its
    // copies. Returns the file names of the tables IsComplete needs that were found nowhere.
    std::vector<std::string> LoadFromArchive(CMpqArchive& archive,
                                             const std::string& workingFolder);
    // Moves the nine tables and the expansion and compiled-tables flags of `other` in; the
    // modified flag stays. For a data set loaded aside, so a failed load never touches this one.
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
