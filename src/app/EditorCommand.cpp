#include "app/EditorCommand.h"

#include "app/AllTablesCommands.h"
#include "app/ModEngineDlg.h"
#include "app/TableGrids.h"
#include "data/MpqArchive.h"
#include "editors/ArmourDlg.h"
#include "editors/DifficultyDlg.h"
#include "editors/GlobalSettingsDlg.h"
#include "editors/ItemPictureFrame.h"
#include "editors/ModFuncs.h"
#include "editors/MonsterEditorDlg.h"
#include "editors/MonsterLocationsDlg.h"
#include "editors/TableGridDlg.h"
#include "editors/UniqueItemDlg.h"
#include "editors/WeaponDlg.h"
#include "platform/NoteLog.h"
#include "platform/UserPrompts.h"

namespace {

using TableId = CGameDataSet::TableId;

// What every editor is handed besides its table; `mainTable` is the one its entries list.
template <class Dialog>
std::unique_ptr<QDialog> WithServices(std::unique_ptr<Dialog> dialog, CModEngineDlg& window,
                                      TableLayout layout, TableId mainTable) {
    dialog->m_pFuncs = window.m_pFuncs.get();
    // Editors of tables whose columns differ between game versions read the layout found.
    if constexpr (requires { dialog->m_layout; })
        dialog->m_layout = layout;
    dialog->m_bExpansion = window.m_data.m_bExpansion;
    // Editors that remember their place and last entry keep them in the settings file.
    if constexpr (requires { dialog->m_strSettingsPath; })
        dialog->m_strSettingsPath = window.SettingsPath();
    // "All Columns..." opens the grid over the editor's own window.
    Dialog* editor = dialog.get();
    dialog->m_showAllColumns = [&window, editor, mainTable](int32_t tableRow) {
        window.Grids().ShowGrid(mainTable, tableRow, window.SettingsPath(), editor);
    };
    return dialog;
}

// A command that opens the grid on every column of a table.
CEditorCommand::Factory GridOn(TableId id) {
    return [id](CModEngineDlg& window, TableLayout) -> std::unique_ptr<QDialog> {
        return window.Grids().MakeGrid(id, window.SettingsPath(), &window);
    };
}

// A command that opens one of the windows on every table of the mod.
CEditorCommand::Factory
AllTablesWindow(std::unique_ptr<QDialog> (CAllTablesCommands::*make)(QWidget*)) {
    return
        [make](CModEngineDlg& window, TableLayout) { return (window.AllTables().*make)(&window); };
}

// Item pictures come from the working folder, then the opened archive and the game's own.
void ShowPicturesFrom(CItemPictureFrame& frame, const CModEngineDlg& window) {
    frame.m_strWorkingFolder = window.m_strWorkingFolder;
    frame.m_gameArchives = CItemPictureFrame::GameArchives(
        window.m_pArchive ? window.m_pArchive->m_strArchivePath : std::string(),
        window.m_strDiabloFolder);
}

template <size_t N> std::vector<std::string> Headers(const std::array<const char*, N>& headers) {
    return {headers.begin(), headers.end()};
}

// The monster editor shows every record field and finds monsters by their key.
std::vector<std::string> MonsterEditorHeaders(TableId, TableLayout layout) {
    std::vector<std::string> headers = Headers(MonsterRecordHeaders(layout));
    headers.insert(headers.begin(), MonsterKeyHeaders::For(layout).key);
    return headers;
}

// Tells the user why an editor stays closed, in a box and in the notes.
std::nullopt_t Refuse(const std::string& text, CUserPrompts& prompts, CNoteLog& notes) {
    prompts.ShowMessage(text);
    notes.AppendNote(text);
    return std::nullopt;
}

std::string JoinHeaders(const std::vector<std::string>& headers) {
    std::string text;
    for (const std::string& header : headers)
        text += (text.empty() ? "\"" : ", \"") + header + "\"";
    return text;
}

} // namespace

std::optional<TableLayout> CEditorCommand::CheckLayouts(CGameDataSet& data, CUserPrompts& prompts,
                                                        CNoteLog& notes) const {
    TableLayout shared = TableLayout::Either;
    TableId sharedBy = TableId::MonStats;
    for (TableId id : layoutTables) {
        const TableLayout layout = DetectTableLayout(data.Table(id), id);
        if (layout == TableLayout::Unknown)
            return Refuse(CGameDataSet::FileName(id) +
                              " does not have a column layout this editor knows (Diablo II "
                              "1.07–1.09 or 1.10–1.14d). The editor was not opened; nothing was "
                              "changed.",
                          prompts, notes);
        if (layout == TableLayout::Either)
            continue;
        if (shared == TableLayout::Either) {
            shared = layout;
            sharedBy = id;
        } else if (HasColumnsOf110(layout) && HasColumnsOf110(shared)) {
            // Resurrected's tables keep the 1.10 columns: the editor works on them with its
            // Resurrected fields.
            if (layout == TableLayout::D2R)
                shared = layout;
        } else if (layout != shared) {
            const TableLayout newer = layout == TableLayout::V109 ? shared : layout;
            return Refuse(
                CGameDataSet::FileName(sharedBy) + " and " + CGameDataSet::FileName(id) +
                    " have the column layouts of different game versions (one of "
                    "Diablo II 1.07–1.09, the other of " +
                    (newer == TableLayout::D2R ? "Diablo II: Resurrected" : "1.10–1.14d") +
                    "), so this editor cannot use them together. The editor was not "
                    "opened; nothing was changed.",
                prompts, notes);
        }
    }
    const TableLayout layout = shared == TableLayout::Either ? TableLayout::V109 : shared;
    if (neededHeaders) {
        for (TableId id : layoutTables) {
            const std::vector<std::string> missing =
                MissingHeaders(data.Table(id), neededHeaders(id, layout));
            if (!missing.empty())
                notes.AppendNote(CGameDataSet::FileName(id) + " has no column " +
                                 JoinHeaders(missing) +
                                 ": the editor shows those fields empty and does not write them.");
        }
    }
    return layout;
}

const std::vector<CEditorCommand>& CEditorCommand::Table() {
    static const std::vector<CEditorCommand> commands = {
        // OK marks the data set modified; Cancel has changed nothing.
        {"&Global",
         "&Difficulty...",
         [](CModEngineDlg& window, TableLayout layout) -> std::unique_ptr<QDialog> {
             auto dialog = std::make_unique<CGlobalSettingsDlg>(window.Prompts(), &window);
             dialog->m_pMonTable = &window.m_data.m_MonStats;
             dialog->m_pItmTable = &window.m_data.m_MonItemPercent;
             dialog->m_pTCTable = &window.m_data.m_TreasureClassEx;
             dialog->m_bBinTables = window.m_data.m_bBinTables;
             dialog->m_layout = layout;
             dialog->m_strSettingsPath = window.SettingsPath();
             dialog->m_pNotes = &window;
             return dialog;
         },
         {},
         false,
         {TableId::MonStats},
         [](TableId, TableLayout layout) { return CModFuncs::GlobalMonStatsHeaders(layout); },
         {TableId::MonStats, TableId::MonItemPercent, TableId::TreasureClassEx}},
        {"&Global",
         "&Resistances and Penalties...",
         [](CModEngineDlg& window, TableLayout layout) -> std::unique_ptr<QDialog> {
             auto dialog = std::make_unique<CDifficultyDlg>(window.Prompts(), &window);
             dialog->m_pDiffTable = &window.m_data.m_DifficultyLevels;
             dialog->m_pFuncs = window.m_pFuncs.get();
             dialog->m_layout = layout;
             return dialog;
         },
         {TableId::DifficultyLevels},
         false,
         {TableId::DifficultyLevels},
         [](TableId, TableLayout layout) { return DifficultyHeaders(layout); }},
        {"&Monsters",
         "&Locations...",
         [](CModEngineDlg& window, TableLayout layout) {
             auto dialog = std::make_unique<CMonsterLocationsDlg>(window.Prompts(), &window);
             dialog->m_pMonTable = &window.m_data.m_MonStats;
             dialog->m_pLvlTable = &window.m_data.m_Levels;
             return WithServices(std::move(dialog), window, layout, TableId::Levels);
         },
         // "Spawned" cells set on a first use stay: only the levels table is put back.
         {TableId::Levels},
         false,
         {TableId::Levels, TableId::MonStats},
         CMonsterLocationsDlg::NeededHeaders,
         {TableId::MonStats}},
        {"&Monsters",
         "&Editor...",
         [](CModEngineDlg& window, TableLayout layout) {
             auto dialog = std::make_unique<CMonsterEditorDlg>(window.Prompts(), &window);
             dialog->m_pMonTable = &window.m_data.m_MonStats;
             return WithServices(std::move(dialog), window, layout, TableId::MonStats);
         },
         {TableId::MonStats},
         true,
         {TableId::MonStats},
         MonsterEditorHeaders},
        {"&Items",
         "&Armour...",
         [](CModEngineDlg& window, TableLayout layout) {
             auto dialog = std::make_unique<CArmourDlg>(window.Prompts(), &window);
             dialog->m_pArmourTable = &window.m_data.m_Armor;
             ShowPicturesFrom(*dialog->PictureFrame(), window);
             return WithServices(std::move(dialog), window, layout, TableId::Armor);
         },
         {TableId::Armor},
         false,
         {TableId::Armor},
         [](TableId, TableLayout) { return Headers(ArmourHeaders::kFields); }},
        {"&Items",
         "&Weapons...",
         [](CModEngineDlg& window, TableLayout layout) {
             auto dialog = std::make_unique<CWeaponDlg>(window.Prompts(), &window);
             dialog->m_pWeaponTable = &window.m_data.m_Weapons;
             ShowPicturesFrom(*dialog->PictureFrame(), window);
             return WithServices(std::move(dialog), window, layout, TableId::Weapons);
         },
         {TableId::Weapons},
         false,
         {TableId::Weapons},
         [](TableId, TableLayout) { return Headers(WeaponHeaders::kFields); }},
        {"&Items",
         "&Uniques...",
         [](CModEngineDlg& window, TableLayout layout) {
             auto dialog = std::make_unique<CUniqueItemDlg>(window.Prompts(), &window);
             dialog->m_pUniqueTable = &window.m_data.m_UniqueItems;
             dialog->m_strWorkingFolder = window.m_strWorkingFolder;
             dialog->m_strInstalledConfig = CUniqueItemDlg::FindInstalledConfig();
             dialog->m_pNotes = &window;
             return WithServices(std::move(dialog), window, layout, TableId::UniqueItems);
         },
         {TableId::UniqueItems},
         false,
         {TableId::UniqueItems},
         [](TableId, TableLayout layout) { return UniqueItemsHeaders::Needed(layout); }},
        // The grid's steps go on the undo stack: closing it keeps them.
        {"Mi&sc", "&Skills", GridOn(TableId::Skills), {}, false, {}, {}},
        {"Mi&sc", "&Treasure", GridOn(TableId::TreasureClassEx), {}, false, {}, {}},
        {"Mi&sc",
         "Ta&bles...",
         AllTablesWindow(&CAllTablesCommands::MakeTablesDialog),
         {},
         false,
         {},
         {},
         {},
         "Ctrl+T"},
        {"Mi&sc",
         "&Find in All Tables...",
         AllTablesWindow(&CAllTablesCommands::MakeFindDialog),
         {},
         false,
         {},
         {},
         {},
         "Ctrl+Shift+F"},
        {"Mi&sc",
         "&Changes Against the Game's...",
         AllTablesWindow(&CAllTablesCommands::MakeChangesDialog),
         {},
         false,
         {},
         {},
         {},
         "Ctrl+Shift+G"},
    };
    return commands;
}
