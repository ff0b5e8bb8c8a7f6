#include "data/GameDataSet.h"

#include "data/MpqArchive.h"
#include "platform/FileSystem.h"

#include <optional>

std::string CGameDataSet::FileName(TableId id) {
    switch (id) {
    case TableId::MonStats:
        return "monstats.txt";
    case TableId::MonItemPercent:
        return "MonItemPercent.txt";
    case TableId::Levels:
        return "Levels.txt";
    case TableId::Armor:
        return "Armor.txt";
    case TableId::Weapons:
        return "Weapons.txt";
    case TableId::DifficultyLevels:
        return "DifficultyLevels.txt";
    case TableId::UniqueItems:
        return "UniqueItems.txt";
    case TableId::TreasureClassEx:
        return "TreasureClassEx.txt";
    case TableId::Skills:
        return "Skills.txt";
    }
    return "";
}

std::string CGameDataSet::ArchivePath(TableId id) {
    return "Data\\Global\\Excel\\" + FileName(id);
}

std::string CGameDataSet::WorkingCopy(TableId id) {
    return FileName(id);
}

std::string CGameDataSet::BaseCopy(TableId id) {
    return "tables\\" + FileName(id);
}

std::string CGameDataSet::FolderFileName(TableId id) {
    return "\\" + FileName(id);
}

CGameDataSet::CGameDataSet() = default;

void CGameDataSet::SetPrompts(CUserPrompts* prompts) {
    for (TableId id : kDeclarationOrder)
        Table(id).SetPrompts(prompts);
}

CTxtTable& CGameDataSet::Table(TableId id) {
    return const_cast<CTxtTable&>(static_cast<const CGameDataSet*>(this)->Table(id));
}

const CTxtTable& CGameDataSet::Table(TableId id) const {
    switch (id) {
    case TableId::MonStats:
        return m_MonStats;
    case TableId::MonItemPercent:
        return m_MonItemPercent;
    case TableId::Levels:
        return m_Levels;
    case TableId::Armor:
        return m_Armor;
    case TableId::Weapons:
        return m_Weapons;
    case TableId::DifficultyLevels:
        return m_DifficultyLevels;
    case TableId::UniqueItems:
        return m_UniqueItems;
    case TableId::TreasureClassEx:
        return m_TreasureClassEx;
    case TableId::Skills:
        break;
    }
    return m_Skills;
}

void CGameDataSet::SaveToFolder(const std::string& folder) {
    for (TableId id : kFolderOrder)
        Table(id).Save(folder + FolderFileName(id));
}

CGameDataSet::FolderLoad CGameDataSet::LoadFromFolder(const std::string& folder) {
    FolderLoad result;
    for (TableId id : kFolderOrder) {
        std::optional<std::string> path = FindFileIgnoringCase(folder, FileName(id));
        if (!path) {
            result.missing.push_back(FileName(id));
            continue;
        }
        // Read into a fresh table first: a file that exists but cannot be read must not wipe
        // the table in memory, which may hold edits not saved anywhere else.
        CTxtTable loaded;
        loaded.SetPrompts(Table(id).Prompts());
        if (loaded.Load(*path)) {
            Table(id) = std::move(loaded);
            ++result.loaded;
        } else {
            result.unreadable.push_back(*path);
        }
    }
    return result;
}

bool CGameDataSet::LoadFromCopies(TableId id) {
    CTxtTable& table = Table(id);
    table.Load(WorkingCopy(id));
    if (!table.IsLoaded())
        table.Load(BaseCopy(id));
    return table.IsLoaded();
}

void CGameDataSet::ClearAll() {
    for (TableId id : kDeclarationOrder)
        Table(id).Clear();
}

bool CGameDataSet::IsComplete() const {
    return m_MonStats.IsLoaded() && m_MonItemPercent.IsLoaded() && m_Levels.IsLoaded() &&
           m_Armor.IsLoaded() && m_Weapons.IsLoaded() && m_UniqueItems.IsLoaded() &&
           m_Skills.IsLoaded() && m_DifficultyLevels.IsLoaded() &&
           (m_TreasureClassEx.IsLoaded() || !m_bBinTables);
}

std::vector<std::string> CGameDataSet::LoadFromArchive(CMpqArchive& archive,
                                                       const std::string& workingFolder) {
    for (TableId id : kDeclarationOrder)
        archive.ExtractFile(ArchivePath(id).c_str(), workingFolder.c_str(), false);
    // Asked of the archive: extracting it would need room on the disk and leave a file.
    m_bBinTables = archive.HasFile("Data\\Global\\Excel\\Armor.bin");

    // A table the archive did not hold comes from the last open's working copy, else from the
    // base copy; a table found in neither is left empty.
    for (TableId id : kDeclarationOrder)
        LoadFromCopies(id);
    std::vector<std::string> missing;
    for (TableId id : kDeclarationOrder)
        if (!Table(id).IsLoaded() && (id != TableId::TreasureClassEx || m_bBinTables))
            missing.push_back(FileName(id));
    return missing;
}

void CGameDataSet::TakeTablesFrom(CGameDataSet& other) {
    for (TableId id : kDeclarationOrder)
        Table(id) = std::move(other.Table(id));
    m_bExpansion = other.m_bExpansion;
    m_bBinTables = other.m_bBinTables;
}

std::vector<std::string> CGameDataSet::FolderLoad::Notes(const std::string& folder) const {
    const std::string shown = NativePath(folder);
    if (missing.size() == kTableCount)
        return {"None of the tables was found in " + shown + ", so nothing was loaded."};
    std::vector<std::string> notes;
    for (const std::string& name : missing)
        notes.push_back(name + " was not found in " + shown + "; that table was left as it was.");
    for (const std::string& path : unreadable)
        notes.push_back("Could not read " + NativePath(path) + "; that table was left as it was.");
    notes.push_back(loaded == 0 ? "No table could be loaded from " + shown + "."
                                : "Tables loaded from " + shown);
    return notes;
}
