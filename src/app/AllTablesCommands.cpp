#include "app/AllTablesCommands.h"

#include "app/ModEngineDlg.h"
#include "app/TableGrids.h"
#include "data/ArchiveReadStore.h"
#include "data/MpqArchive.h"
#include "data/TableNames.h"
#include "editors/ChangesDlg.h"
#include "editors/FindAllDlg.h"
#include "editors/TablesDlg.h"
#include "model/TableChanges.h"
#include "model/TableDiff.h"
#include "platform/FileSystem.h"

#include <QApplication>
#include <QUndoStack>

namespace {

// "12 cells, 1 row added", or "none".
std::string DifferenceText(const CTableDiff::Counts& counts) {
    std::string text;
    auto add = [&](int64_t count, const char* one, const char* many) {
        if (count == 0)
            return;
        text +=
            (text.empty() ? "" : ", ") + std::to_string(count) + " " + (count == 1 ? one : many);
    };
    add(counts.cells, "cell", "cells");
    add(counts.rowsAdded, "row added", "rows added");
    add(counts.rowsRemoved, "row removed", "rows removed");
    add(counts.columnsAdded, "column added", "columns added");
    add(counts.columnsRemoved, "column removed", "columns removed");
    return text.empty() ? "none" : text;
}

// The window a window opened from another stands over: the one running now.
QWidget* InFront(QWidget* fallback) {
    QWidget* modal = QApplication::activeModalWidget();
    return modal != nullptr ? modal : fallback;
}

} // namespace

CAllTablesCommands::CAllTablesCommands(CModEngineDlg& window)
    : QObject(&window), m_window(window), m_tables(window.m_data) {}

CModTables& CAllTablesCommands::Tables() {
    if (m_tables.IsFound())
        return m_tables;
    if (m_pGivenMod != nullptr) {
        m_tables.Find(*m_pGivenMod, m_givenGame, "", KnownTableNames());
        return m_tables;
    }
    if (!m_window.m_pArchive)
        return m_tables;
    const std::string& opened = m_window.m_pArchive->m_strArchivePath;
    m_pArchiveStore = std::make_unique<CArchiveReadStore>(opened);
    // The game reads its patch first, then the expansion's archive, then the classic one. The
    // opened archive may be one of them: it is then this mod, not the game's own.
    m_gameStores.clear();
    std::vector<const CModStore*> game;
    if (!m_window.m_strDiabloFolder.empty()) {
        for (const char* name : {"Patch_D2.mpq", "d2exp.mpq", "d2data.mpq"}) {
            const std::optional<std::string> found =
                FindFileIgnoringCase(m_window.m_strDiabloFolder, name);
            if (found && !CArchiveReaderCache::SameFile(*found, opened)) {
                m_gameStores.push_back(std::make_unique<CArchiveReadStore>(*found));
                game.push_back(m_gameStores.back().get());
            }
        }
    }
    m_tables.Find(*m_pArchiveStore, game, m_window.m_strWorkingFolder + "\\tables",
                  KnownTableNames());
    return m_tables;
}

void CAllTablesCommands::Forget() {
    for (CModTables::Entry& entry : m_tables.Entries())
        if (!entry.id && entry.own)
            m_window.Grids().ForgetTable(*entry.own);
    m_tables.Clear();
    m_pArchiveStore.reset();
    m_gameStores.clear();
    m_pGivenMod = nullptr;
    m_givenGame.clear();
}

void CAllTablesCommands::UseStores(const CModStore* mod, std::vector<const CModStore*> game) {
    Forget();
    m_pGivenMod = mod;
    m_givenGame = std::move(game);
}

CTxtTable* CAllTablesCommands::Open(CModTables::Entry& entry, bool quiet) {
    if (CTxtTable* table = m_tables.Loaded(entry))
        return table;
    std::string error;
    CTxtTable* table = m_tables.Open(entry, error);
    if (table == nullptr) {
        if (!quiet)
            m_window.Prompts().ShowMessage(error);
        return nullptr;
    }
    // From its first change on, every save writes the table.
    const std::string fileName = entry.fileName;
    connect(&m_window.Grids().ChangesOf(*table), &CTableChanges::tableChanged, this,
            [this, fileName] {
                if (CModTables::Entry* changed = m_tables.FindEntry(fileName))
                    changed->changed = true;
            });
    return table;
}

void CAllTablesCommands::OpenAll(bool thisArchiveOnly) {
    for (CModTables::Entry& entry : Tables().Entries())
        if (!thisArchiveOnly || entry.origin == CModTables::Origin::ThisArchive)
            Open(entry);
}

CTxtTable* CAllTablesCommands::TableQuietly(const std::string& fileName) {
    CModTables::Entry* entry = Tables().FindEntry(fileName);
    return entry != nullptr ? Open(*entry, true) : nullptr;
}

void CAllTablesCommands::OpenGrid(const std::string& fileName, int32_t col, int32_t tableRow,
                                  QWidget* parent) {
    CModTables::Entry* entry = Tables().FindEntry(fileName);
    CTxtTable* table = entry ? Open(*entry) : nullptr;
    if (table != nullptr)
        m_window.Grids().ShowGrid(*table, entry->fileName, tableRow, m_window.SettingsPath(),
                                  parent, col);
}

std::unique_ptr<QDialog> CAllTablesCommands::MakeTablesDialog(QWidget* parent) {
    CTablesDlg::Commands commands;
    commands.lines = [this] {
        std::vector<CTablesDlg::Line> lines;
        for (CModTables::Entry& entry : Tables().Entries()) {
            CTablesDlg::Line line{
                entry.fileName,
                entry.origin == CModTables::Origin::ThisArchive ? "this archive" : "a game archive",
                "none"};
            // A table of the game's archives not read yet is the game's own copy.
            CTxtTable* table = entry.origin == CModTables::Origin::ThisArchive
                                   ? Open(entry)
                                   : m_tables.Loaded(entry);
            if (table != nullptr) {
                const CTxtTable* base = m_tables.Base(entry.fileName);
                line.differs = base ? DifferenceText(CTableDiff::Compare(*base, *table).counts)
                                    : "the game has no copy";
            }
            lines.push_back(std::move(line));
        }
        return lines;
    };
    commands.open = [this, parent](const std::string& fileName) {
        OpenGrid(fileName, -1, 1, InFront(parent));
    };
    commands.findInAll = [this, parent] { MakeFindDialog(InFront(parent))->exec(); };
    commands.changes = [this, parent] { MakeChangesDialog(InFront(parent))->exec(); };
    return std::make_unique<CTablesDlg>(std::move(commands), parent);
}

std::unique_ptr<QDialog> CAllTablesCommands::MakeFindDialog(QWidget* parent) {
    auto tables = [this] {
        OpenAll(false);
        std::vector<NamedTable> named;
        for (auto& [fileName, table] : m_tables.LoadedTables())
            named.push_back({fileName, table});
        return named;
    };
    auto open = [this, parent](const std::string& fileName, int32_t col, int32_t tableRow) {
        OpenGrid(fileName, col, tableRow, InFront(parent));
    };
    return std::make_unique<CFindAllDlg>(tables, open, parent);
}

std::unique_ptr<QDialog> CAllTablesCommands::MakeChangesDialog(QWidget* parent) {
    OpenAll(true);
    std::vector<CChangesDlg::Entry> entries;
    for (auto& [fileName, table] : m_tables.LoadedTables())
        if (const CTxtTable* base = m_tables.Base(fileName))
            entries.push_back({fileName, table, base, &m_window.Grids().ChangesOf(*table)});
    auto open = [this, parent](const std::string& fileName, int32_t col, int32_t tableRow) {
        OpenGrid(fileName, col, tableRow, InFront(parent));
    };
    return std::make_unique<CChangesDlg>(std::move(entries), m_window.Grids().UndoStack(),
                                         m_window.Prompts(), open, parent);
}

std::vector<std::pair<std::string, const CTxtTable*>>
CAllTablesCommands::TablesToSave(const std::string& archivePath) {
    const bool elsewhere = m_tables.IsFound() && m_pArchiveStore &&
                           !CArchiveReaderCache::SameFile(archivePath, m_pArchiveStore->Path());
    if (elsewhere)
        OpenAll(true);
    std::vector<std::pair<std::string, const CTxtTable*>> tables;
    for (const CModTables::Entry* entry : m_tables.ToSave(elsewhere))
        tables.emplace_back(entry->fileName, entry->own.get());
    return tables;
}

void CAllTablesCommands::Saved(const std::string& archivePath) {
    if (!m_tables.IsFound() || !m_pArchiveStore)
        return;
    // The saved archive is another file now: read through a store opened anew.
    auto saved = std::make_unique<CArchiveReadStore>(archivePath);
    m_tables.Saved(*saved);
    m_pArchiveStore = std::move(saved);
}

std::string CAllTablesCommands::ChangesSummary() {
    OpenAll(true);
    std::vector<CTableDiff> diffs;
    for (auto& [fileName, table] : m_tables.LoadedTables())
        if (const CTxtTable* base = m_tables.Base(fileName))
            diffs.push_back(CTableDiff::Compare(*base, *table));
    return ::ChangesSummary(diffs);
}
