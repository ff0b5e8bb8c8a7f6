#include "app/EditorCommand.h"

#include "app/ModEngineDlg.h"
#include "data/MpqArchive.h"
#include "editors/ArmourDlg.h"
#include "editors/DifficultyDlg.h"
#include "editors/GlobalSettingsDlg.h"
#include "editors/ItemPictureFrame.h"
#include "editors/MonsterEditorDlg.h"
#include "editors/MonsterLocationsDlg.h"
#include "editors/SkillsDlg.h"
#include "editors/UniqueItemDlg.h"
#include "editors/WeaponDlg.h"

namespace {

using TableId = CGameDataSet::TableId;

// What every editor is handed besides its table.
template <class Dialog>
std::unique_ptr<QDialog> WithServices(std::unique_ptr<Dialog> dialog, CModEngineDlg& window) {
    dialog->m_pFuncs = window.m_pFuncs.get();
    dialog->m_bExpansion = window.m_data.m_bExpansion;
    // Editors that remember their place and last entry keep them in the settings file.
    if constexpr (requires { dialog->m_strSettingsPath; })
        dialog->m_strSettingsPath = window.SettingsPath();
    return dialog;
}

// Item pictures come from the working folder, then the opened archive and the game's own.
void ShowPicturesFrom(CItemPictureFrame& frame, const CModEngineDlg& window) {
    frame.m_strWorkingFolder = window.m_strWorkingFolder;
    frame.m_gameArchives = CItemPictureFrame::GameArchives(
        window.m_pArchive ? window.m_pArchive->m_strArchivePath : std::string(),
        window.m_strDiabloFolder);
}

} // namespace

const std::vector<CEditorCommand>& CEditorCommand::Table() {
    static const std::vector<CEditorCommand> commands = {
        // OK marks the data set modified; Cancel has changed nothing.
        {"&Global",
         "&Difficulty...",
         [](CModEngineDlg& window) -> std::unique_ptr<QDialog> {
             auto dialog = std::make_unique<CGlobalSettingsDlg>(window.Prompts(), &window);
             dialog->m_pMonTable = &window.m_data.m_MonStats;
             dialog->m_pItmTable = &window.m_data.m_MonItemPercent;
             dialog->m_pTCTable = &window.m_data.m_TreasureClassEx;
             dialog->m_bBinTables = window.m_data.m_bBinTables;
             dialog->m_strSettingsPath = window.SettingsPath();
             dialog->m_pNotes = &window;
             return dialog;
         },
         {}},
        {"&Global",
         "&Resistances and Penalties...",
         [](CModEngineDlg& window) -> std::unique_ptr<QDialog> {
             auto dialog = std::make_unique<CDifficultyDlg>(window.Prompts(), &window);
             dialog->m_pDiffTable = &window.m_data.m_DifficultyLevels;
             dialog->m_pFuncs = window.m_pFuncs.get();
             return dialog;
         },
         {TableId::DifficultyLevels}},
        {"&Monsters",
         "&Locations...",
         [](CModEngineDlg& window) {
             auto dialog = std::make_unique<CMonsterLocationsDlg>(window.Prompts(), &window);
             dialog->m_pMonTable = &window.m_data.m_MonStats;
             dialog->m_pLvlTable = &window.m_data.m_Levels;
             return WithServices(std::move(dialog), window);
         },
         // "Spawned" cells set on a first use stay: only the levels table is put back.
         {TableId::Levels}},
        {"&Monsters",
         "&Editor...",
         [](CModEngineDlg& window) {
             auto dialog = std::make_unique<CMonsterEditorDlg>(window.Prompts(), &window);
             dialog->m_pMonTable = &window.m_data.m_MonStats;
             return WithServices(std::move(dialog), window);
         },
         {TableId::MonStats},
         true},
        {"&Items",
         "&Armour...",
         [](CModEngineDlg& window) {
             auto dialog = std::make_unique<CArmourDlg>(window.Prompts(), &window);
             dialog->m_pArmourTable = &window.m_data.m_Armor;
             ShowPicturesFrom(*dialog->PictureFrame(), window);
             return WithServices(std::move(dialog), window);
         },
         {TableId::Armor}},
        {"&Items",
         "&Weapons...",
         [](CModEngineDlg& window) {
             auto dialog = std::make_unique<CWeaponDlg>(window.Prompts(), &window);
             dialog->m_pWeaponTable = &window.m_data.m_Weapons;
             ShowPicturesFrom(*dialog->PictureFrame(), window);
             return WithServices(std::move(dialog), window);
         },
         {TableId::Weapons}},
        {"&Items",
         "&Uniques...",
         [](CModEngineDlg& window) {
             auto dialog = std::make_unique<CUniqueItemDlg>(window.Prompts(), &window);
             dialog->m_pUniqueTable = &window.m_data.m_UniqueItems;
             dialog->m_strWorkingFolder = window.m_strWorkingFolder;
             dialog->m_strInstalledConfig = CUniqueItemDlg::FindInstalledConfig();
             dialog->m_pNotes = &window;
             return WithServices(std::move(dialog), window);
         },
         {TableId::UniqueItems}},
        {"Mi&sc",
         "&Skills",
         [](CModEngineDlg& window) {
             auto dialog = std::make_unique<CSkillsDlg>(&window);
             dialog->m_pSkillsTable = &window.m_data.m_Skills;
             return WithServices(std::move(dialog), window);
         },
         {TableId::Skills}},
        {"Mi&sc", "&Treasure", {}, {}},
    };
    return commands;
}
