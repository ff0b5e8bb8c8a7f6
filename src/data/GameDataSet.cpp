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

CGameDataSet::FolderLoad CGameDataSet::ReadFolder(const std::string& folder) const {
    FolderLoad result;
    for (TableId id : kFolderOrder) {
        std::optional<std::string> path = FindFileIgnoringCase(folder, FileName(id));
        if (!path) {
            result.missing.push_back(FileName(id));
            continue;
        }
        // Read aside: a file that exists but cannot be read must not wipe the table in memory,
        // which may hold edits not saved anywhere else.
        CTxtTable loaded;
        loaded.SetPrompts(Table(id).Prompts());
        if (loaded.Load(*path))
            result.tables.emplace_back(id, std::move(loaded));
        else
            result.unreadable.push_back(*path);
    }
    return result;
}

void CGameDataSet::TakeFolderTables(FolderLoad& load) {
    for (auto& [id, table] : load.tables)
        Table(id) = std::move(table);
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

std::string CGameDataSet::LoadFromArchive(const CMpqArchive& archive,
                                          const std::string& workingFolder) {
    const std::string failed = "Failed to load data files: ";
    const std::string shown = NativePath(archive.m_strArchivePath);
    std::vector<TableId> fromArchive;
    for (TableId id : kDeclarationOrder) {
        std::string bytes;
        if (archive.ReadFile(ArchivePath(id), bytes)) {
            if (!Table(id).LoadFromBytes(std::move(bytes)))
                return failed + FileName(id) + " of " + shown + " could not be held in memory.";
            fromArchive.push_back(id);
        } else if (archive.HasFile(ArchivePath(id))) {
            return failed + FileName(id) + " could not be read from " + shown + ".";
        } else {
            Table(id).Load(workingFolder + "\\" + BaseCopy(id));
        }
    }
    m_bBinTables = archive.HasFile("Data\\Global\\Excel\\Armor.bin");

    std::string missing;
    size_t missingCount = 0;
    for (TableId id : kDeclarationOrder) {
        if (!Table(id).IsLoaded() && (id != TableId::TreasureClassEx || m_bBinTables)) {
            missing += (missing.empty() ? "" : ", ") + FileName(id);
            ++missingCount;
        }
    }
    if (!missing.empty())
        return failed + missing + (missingCount == 1 ? " is" : " are") + " in neither " + shown +
               " nor the base copies.";

    // Written only once the tables are loaded, and taken back when one cannot be written, so
    // that a refused archive leaves no copy of its own beside the open archive's.
    for (size_t i = 0; i < fromArchive.size(); ++i) {
        const std::string copy = workingFolder + "\\" + WorkingCopy(fromArchive[i]);
        int cause = 0;
        if (!WriteFileAtomically(copy, Table(fromArchive[i]).ToBytes(), false, &cause)) {
            for (size_t written = 0; written < i; ++written)
                RemoveFile(workingFolder + "\\" + WorkingCopy(fromArchive[written]));
            return failed + "the working copy " + NativePath(copy) + " could not be written. " +
                   CTxtTable::FileErrorText(cause);
        }
    }
    return "";
}

void CGameDataSet::TakeTablesFrom(CGameDataSet& other) {
    for (TableId id : kDeclarationOrder)
        Table(id) = std::move(other.Table(id));
    m_bModified = other.m_bModified;
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
    notes.push_back(tables.empty() ? "No table could be loaded from " + shown + "."
                                   : "Tables loaded from " + shown);
    return notes;
}
