#include "app/TablesFolder.h"

#include "data/ModTables.h"
#include "editors/TableLayout.h"
#include "platform/FileSystem.h"
#include "platform/NoteLog.h"
#include "platform/UserPrompts.h"

#include <optional>

namespace {

using TableId = CGameDataSet::TableId;

// The layout of a table whose columns differ between the game versions; nothing for the others.
// Resurrected's tables go with those of 1.10 to 1.14d, whose columns they keep.
std::optional<TableLayout> VersionLayout(const CTxtTable& table, TableId id) {
    const TableLayout layout = DetectClassicLayout(table, id);
    if (layout == TableLayout::V109 || layout == TableLayout::V110)
        return layout;
    return std::nullopt;
}

} // namespace

CTablesFolder::CTablesFolder(CGameDataSet& data, CUserPrompts& prompts, CNoteLog& notes,
                             CModTables* more)
    : m_data(data), m_prompts(prompts), m_notes(notes), m_pMore(more) {}

void CTablesFolder::Save(const std::string& folder) {
    m_data.SaveToFolder(folder);
    if (m_pMore)
        for (CModTables::Entry& entry : m_pMore->Entries())
            if (!entry.id && entry.own)
                entry.own->Save(folder + "\\" + entry.fileName);
    m_notes.AppendNote("Tables saved to " + NativePath(folder));
}

void CTablesFolder::LoadMore(const std::string& folder) {
    std::string loaded;
    for (CModTables::Entry& entry : m_pMore->Entries()) {
        if (entry.id)
            continue;
        const std::optional<std::string> path = FindFileIgnoringCase(folder, entry.fileName);
        CTxtTable table;
        table.SetPrompts(m_data.Table(TableId::Skills).Prompts());
        if (!path || !table.Load(*path))
            continue;
        // The same table object: the grids and steps that know it stay valid.
        if (entry.own)
            *entry.own = std::move(table);
        else
            entry.own = std::make_unique<CTxtTable>(std::move(table));
        entry.changed = true;
        loaded += (loaded.empty() ? "" : ", ") + entry.fileName;
    }
    if (!loaded.empty()) {
        m_notes.AppendNote("Also loaded from " + NativePath(folder) + ": " + loaded + ".");
        m_data.m_bModified = true;
    }
}

void CTablesFolder::Load(const std::string& folder) {
    CGameDataSet::FolderLoad load = m_data.ReadFolder(folder);
    if (!ConfirmLayout(load, folder)) {
        m_notes.AppendNote("Nothing was loaded from " + NativePath(folder) +
                           "; every table was left as it was.");
        return;
    }
    m_data.TakeFolderTables(load);
    for (const std::string& note : load.Notes(folder))
        m_notes.AppendNote(note);
    if (!load.tables.empty())
        m_data.m_bModified = true;
    if (m_pMore)
        LoadMore(folder);
}

bool CTablesFolder::ConfirmLayout(const CGameDataSet::FolderLoad& load, const std::string& folder) {
    std::optional<TableLayout> open;
    for (TableId id : CGameDataSet::kFolderOrder)
        if (!open)
            open = VersionLayout(m_data.Table(id), id);
    if (!open)
        return true; // the open tables do not tell a game version
    for (const auto& [id, table] : load.tables) {
        const std::optional<TableLayout> loaded = VersionLayout(table, id);
        if (loaded && *loaded != *open)
            return m_prompts.AskYesNo(
                CGameDataSet::FileName(id) + " in " + NativePath(folder) +
                " has the column layout of " + LayoutGameVersions(*loaded) +
                ", the open tables that of " + LayoutGameVersions(*open) +
                ". Saved into the archive, such tables do not suit its game. Load the tables "
                "all the same?");
    }
    return true;
}
