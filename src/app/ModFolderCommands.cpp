#include "app/ModFolderCommands.h"

#include "app/AllTablesCommands.h"
#include "app/ModEngineDlg.h"
#include "app/ProblemsCommands.h"
#include "app/RecentArchives.h"
#include "app/TableGrids.h"
#include "data/ModTables.h"
#include "data/MpqArchive.h"
#include "data/OverridesFolder.h"
#include "model/RealmMirror.h"
#include "platform/FileSystem.h"
#include "platform/ProcessRunner.h"
#include "platform/ProfileFile.h"
#include "store/ModFolderStore.h"
#include "store/RealmStoreView.h"
#include "store/TablesFolderStore.h"

#include <QAction>
#include <QActionGroup>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <filesystem>

namespace {

using TableId = CGameDataSet::TableId;

constexpr const char* kSection = "Resurrected";
// Resurrected has no monster item percentages; its drops are the treasure classes' alone.
constexpr TableId kOptional[] = {TableId::MonItemPercent, TableId::TreasureClassEx};

bool IsOptional(TableId id) {
    return std::find(std::begin(kOptional), std::end(kOptional), id) != std::end(kOptional);
}

} // namespace

CModFolderCommands::CModFolderCommands(CModEngineDlg& window)
    : QObject(&window), m_window(window) {}

CModFolderCommands::~CModFolderCommands() = default;

std::string CModFolderCommands::Name() const {
    return m_pStore ? m_pStore->DisplayName() : std::string();
}

CModFolderCommands::Realms CModFolderCommands::RealmSetting() const {
    const std::string value =
        CProfileFile::ReadString(m_window.SettingsPath(), kSection, "Realms", "Both");
    if (value == "Expansion")
        return Realms::ExpansionOnly;
    if (value == "Classic")
        return Realms::ClassicOnly;
    return Realms::Both;
}

void CModFolderCommands::AddMenus(QMenu* file, QMenuBar* menuBar) {
    // After File > Open... and Recent, before the game folder.
    QAction* before = nullptr;
    for (QAction* action : file->actions()) {
        const QString text = action->text().remove('&');
        if (text == "Set Diablo II Folder...")
            before = action;
        // What a mod folder has no use for.
        if (text == "Save As..." || text == "Backup" || text == "Restore")
            m_archiveOnly.push_back(action);
    }
    auto add = [this, file, before](const char* caption, void (CModFolderCommands::*handler)()) {
        auto* action = new QAction(caption, file);
        file->insertAction(before, action);
        connect(action, &QAction::triggered, this, [this, handler] {
            (this->*handler)();
            m_window.UpdateTitle();
        });
    };
    add("Open &Mod Folder...", &CModFolderCommands::OnOpenModFolder);
    add("Ne&w Mod Folder...", &CModFolderCommands::OnNewModFolder);
    auto* resurrected = new QMenu("Diablo II: Res&urrected", file);
    file->insertMenu(before, resurrected);
    connect(resurrected->addAction("Game's &Tables Folder..."), &QAction::triggered, this,
            [this] { OnChooseTablesFolder(); });
    resurrected->addSeparator();
    auto* realms = new QActionGroup(resurrected);
    const std::pair<const char*, const char*> choices[] = {
        {"Both", "Changes Apply to &Both Realms"},
        {"Expansion", "Changes Apply to the &Expansion Only"},
        {"Classic", "Changes Apply to the &Classic Realm Only"}};
    const std::string current =
        CProfileFile::ReadString(m_window.SettingsPath(), kSection, "Realms", "Both");
    for (const auto& [value, caption] : choices) {
        QAction* action = resurrected->addAction(caption);
        action->setCheckable(true);
        action->setChecked(current == value);
        realms->addAction(action);
        connect(action, &QAction::triggered, this, [this, value = value] {
            if (!CProfileFile::WriteString(m_window.SettingsPath(), kSection, "Realms", value))
                m_window.AppendNote("The settings file " + NativePath(m_window.SettingsPath()) +
                                    " could not be written, so the realms chosen are not kept.");
            else if (IsOpen())
                m_window.AppendNote("The realms chosen apply from the next opening of a mod "
                                    "folder on.");
        });
    }
    for (QAction* action : menuBar->actions()) {
        if (action->menu() && action->text().remove('&') == "Misc") {
            m_pRunGame = action->menu()->addAction("&Run Diablo II: Resurrected");
            connect(m_pRunGame, &QAction::triggered, this, &CModFolderCommands::OnRunGame);
        }
    }
    UpdateCommands();
}

void CModFolderCommands::UpdateCommands() {
    for (QAction* action : m_archiveOnly) {
        action->setEnabled(!IsOpen());
        action->setToolTip(IsOpen() ? "Not for a Resurrected mod folder: it has no Patch_D2.mpq, "
                                      "and its files are saved where they are."
                                    : QString());
    }
    if (m_pRunGame) {
        m_pRunGame->setEnabled(IsOpen());
        m_pRunGame->setToolTip(IsOpen() ? QString() : "Open a Resurrected mod folder first.");
    }
}

std::optional<std::string> CModFolderCommands::TablesFolder() {
    const std::string kept =
        CProfileFile::ReadString(m_window.SettingsPath(), kSection, "TablesFolder", "");
    if (!kept.empty())
        if (std::optional<std::string> excel = CTablesFolderStore::ExcelFolder(kept))
            return excel;
    return OnChooseTablesFolder();
}

std::optional<std::string> CModFolderCommands::OnChooseTablesFolder() {
    while (true) {
        std::optional<std::string> folder = m_window.ChooseTablesFolder(
            "Select the Resurrected tables folder: the folder holding data/global/excel, or "
            "excel itself, as extracted from the game.");
        if (!folder)
            return std::nullopt;
        const std::optional<std::string> excel = CTablesFolderStore::ExcelFolder(*folder);
        std::string missing;
        if (excel) {
            const CTablesFolderStore store(*excel);
            for (TableId id : CGameDataSet::kDeclarationOrder)
                if (!IsOptional(id) && !store.HasFile(CGameDataSet::ArchivePath(id)))
                    missing += (missing.empty() ? "" : ", ") + CGameDataSet::FileName(id);
        }
        if (excel && missing.empty()) {
            if (!CProfileFile::WriteString(m_window.SettingsPath(), kSection, "TablesFolder",
                                           *folder))
                m_window.AppendNote("The settings file " + NativePath(m_window.SettingsPath()) +
                                    " could not be written, so the tables folder is not kept.");
            return excel;
        }
        m_window.Prompts().ShowMessage(
            NativePath(*folder) +
            (excel ? " lacks tables every editor needs: " + missing + "."
                   : " holds no game tables (no data/global/excel folder of .txt files)."));
    }
}

void CModFolderCommands::OnOpenModFolder() {
    std::optional<std::string> folder = m_window.ChooseTablesFolder(
        "Select the mod folder: mods/<name>, or its <name>.mpq folder.");
    if (folder)
        Open(*folder);
}

void CModFolderCommands::OnNewModFolder() {
    std::optional<std::string> chosen = m_window.Prompts().ChooseFileToSave(
        "New Mod Folder: choose the mods folder and type the mod's name", "Mod folders (*)|*||", "",
        "");
    if (!chosen)
        return;
    const std::filesystem::path path(NativePath(*chosen));
    std::string error;
    if (!CModFolderStore::Create(path.parent_path().string(), path.filename().string(), error)) {
        m_window.Prompts().ShowMessage(error);
        return;
    }
    Open(path.string());
}

bool CModFolderCommands::Open(const std::string& folder) {
    CModFolderStore::Recover(folder, m_window);
    std::string error;
    std::unique_ptr<CModFolderStore> store = CModFolderStore::Open(folder, error);
    if (!store) {
        m_window.Prompts().ShowMessage(error);
        return false;
    }
    const std::optional<std::string> excel = TablesFolder();
    if (!excel)
        return false;
    if (m_window.m_data.m_bModified &&
        !m_window.Prompts().AskOkCancel(
            "Loading another archive will erase any current edits. Are you sure ?"))
        return false;

    auto game = std::make_unique<CTablesFolderStore>(*excel);
    const bool classic = RealmSetting() == Realms::ClassicOnly;
    // The classic realm's copies are read and written through views of the stores.
    std::unique_ptr<CRealmStoreView> modClassic, gameClassic;
    if (classic) {
        modClassic = std::make_unique<CRealmStoreView>(*store);
        gameClassic = std::make_unique<CRealmStoreView>(*game);
    }
    CModStore* modView = classic ? static_cast<CModStore*>(modClassic.get()) : store.get();
    CModStore* gameView = classic ? static_cast<CModStore*>(gameClassic.get()) : game.get();
    // Read aside: a mod that lacks a table leaves what is open as it was.
    CGameDataSet loaded;
    loaded.SetPrompts(&m_window.Prompts());
    std::string missing;
    for (TableId id : CGameDataSet::kDeclarationOrder) {
        const std::string name = CGameDataSet::FileName(id);
        std::unique_ptr<CTxtTable> table = CModTables::ReadTable(*modView, name);
        if (!table)
            table = CModTables::ReadTable(*gameView, name);
        if (table)
            loaded.Table(id) = std::move(*table);
        else if (!IsOptional(id))
            missing += (missing.empty() ? "" : ", ") + name;
    }
    if (!missing.empty()) {
        m_window.Prompts().ShowMessage("Failed to load data files: " + missing +
                                       " in neither the mod folder nor " + NativePath(*excel) +
                                       ". Nothing was opened.");
        return false;
    }
    loaded.m_bExpansion = true;
    m_window.m_data.TakeTablesFrom(loaded);
    m_window.m_data.SetPrompts(&m_window.Prompts());
    m_window.m_pArchive.reset();
    m_window.Grids().Clear();
    m_pStore = std::move(store);
    m_pGame = std::move(game);
    m_pModClassic = std::move(modClassic);
    m_pGameClassic = std::move(gameClassic);
    m_pModView = modView;
    m_pGameView = gameView;
    m_strFolder = folder;
    m_window.AllTables().UseStores(m_pModView, {m_pGameView});
    m_window.Problems().Restart();
    if (!CRecentArchives(m_window.SettingsPath()).Add(folder))
        m_window.AppendNote("The settings file " + NativePath(m_window.SettingsPath()) +
                            " could not be written, so File > Recent does not list this mod.");
    m_window.AppendNote("Mod folder " + m_pStore->DisplayName() + " has been opened.");
    m_window.EnableDataCommands();
    UpdateCommands();
    m_window.UpdateTitle();
    return true;
}

void CModFolderCommands::Close() {
    m_pModView = nullptr;
    m_pGameView = nullptr;
    m_pModClassic.reset();
    m_pGameClassic.reset();
    m_pStore.reset();
    m_pGame.reset();
    UpdateCommands();
}

std::vector<std::pair<std::string, std::string>>
CModFolderCommands::FilesToSave(std::vector<std::string>& notes) {
    CModTables& tables = m_window.AllTables().Tables();
    std::vector<std::pair<std::string, std::string>> files;
    for (auto& [fileName, table] : tables.LoadedTables()) {
        const std::string name = CModTables::ArchivedName(fileName);
        const CTxtTable* base = tables.Base(fileName);
        std::string bytes = table->ToBytes();
        // A table the mod does not hold goes in only once it differs from the game's.
        if (!m_pModView->HasFile(name) && base && base->ToBytes() == bytes)
            continue;
        const bool mirror = RealmSetting() == Realms::Both && base != nullptr;
        files.emplace_back(name, std::move(bytes));
        if (!mirror || !m_pGame->HasFile(CRealmStoreView::ClassicName(name)))
            continue;
        // The classic realm's copy as the mod has it, else the game's, with the same changes.
        const CRealmStoreView modClassic(*m_pStore), gameClassic(*m_pGame);
        std::unique_ptr<CTxtTable> classic = CModTables::ReadTable(modClassic, fileName);
        if (!classic)
            classic = CModTables::ReadTable(gameClassic, fileName);
        if (!classic)
            continue;
        for (std::string& note : MirrorChanges(fileName, *base, *table, *classic))
            notes.push_back(std::move(note));
        files.emplace_back(CRealmStoreView::ClassicName(name), classic->ToBytes());
    }
    // The overrides folder's files go in by their archived names, as into an archive.
    const std::string overrides = m_window.m_strWorkingFolder + "\\overrides";
    std::vector<std::string> paths;
    COverridesFolder::ListFiles(overrides, paths);
    for (const std::string& path : paths) {
        const std::string name = COverridesFolder::ArchivedName(overrides, path);
        std::string bytes;
        if (name == "Notes.txt" || !COverridesFolder::IsPlainArchivedName(name))
            continue;
        if (ReadWholeFile(path, bytes))
            files.emplace_back(name, std::move(bytes));
        else
            notes.push_back(NativePath(path) + " could not be read, so it was left out.");
    }
    return files;
}

void CModFolderCommands::Save() {
    if (!IsOpen())
        return;
    std::vector<std::string> notes;
    const std::vector<std::pair<std::string, std::string>> files = FilesToSave(notes);
    for (const std::string& note : notes)
        m_window.AppendNote(note);
    std::string error;
    CBusyCursor busy(m_window.Prompts());
    if (!m_pModView->WriteBatch(files, error)) {
        m_window.AppendNote(error + " Nothing was saved into the mod folder.");
        return;
    }
    m_window.AppendNote(m_window.AllTables().ChangesSummary());
    if (const std::string problems = m_window.Problems().SaveSentence(); !problems.empty())
        m_window.AppendNote(problems);
    m_window.AppendNote(std::to_string(files.size()) + (files.size() == 1 ? " file" : " files") +
                        " saved into the mod folder " + m_pStore->DisplayName() + ".");
    m_window.m_data.m_bModified = false;
}

void CModFolderCommands::OnRunGame() {
    if (!IsOpen())
        return;
    if (m_window.m_data.m_bModified) {
        switch (m_window.Prompts().AskThreeWay("Save the changes to " + Name() +
                                                   " before Diablo II: Resurrected starts?",
                                               "Save", "Don't Save")) {
        case CUserPrompts::Answer::First:
            Save();
            break;
        case CUserPrompts::Answer::Second:
            break;
        case CUserPrompts::Answer::Cancel:
            return;
        }
    }
    // The game folder holds mods/<name>/<name>.mpq.
    const std::filesystem::path game = std::filesystem::path(NativePath(m_pStore->DataFolder()))
                                           .parent_path()
                                           .parent_path()
                                           .parent_path();
    const std::string exe = game.string() + "/D2R.exe";
    m_window.AppendNote("Diablo II: Resurrected runs the mod " + Name() + "...");
    const ProcessResult result = RunProcess("\"" + exe + "\" -mod \"" + Name() + "\" -txt", [] {
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    });
    if (!result.Started())
        m_window.AppendNote(exe + " could not be started.");
    else if (!result.Succeeded())
        m_window.AppendNote("Diablo II: Resurrected ended with an error.");
}
