#include "data/GameDataSet.h"

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
        if (loaded.Load(*path))
            Table(id) = std::move(loaded);
        else
            result.unreadable.push_back(*path);
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
