#pragma once

#include <QObject>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

class CModEngineDlg;
class CModFolderStore;
class CModStore;
class CRealmStoreView;
class CTablesFolderStore;
class CTxtTable;
class QAction;
class QMenu;
class QMenuBar;

// Diablo II: Resurrected mods, which are folders rather than archives: File > Open Mod Folder...
// and New Mod Folder..., the folder of the game's extracted tables the mod starts from, which of
// the game's two realms a change applies to, File > Save into the mod folder, and Misc > Run
// Diablo II: Resurrected.
class CModFolderCommands : public QObject {
    Q_OBJECT
public:
    // Which copies of a table a change goes into: the expansion's and the classic realm's (under
    // base/), or one of them.
    enum class Realms { Both, ExpansionOnly, ClassicOnly };

    explicit CModFolderCommands(CModEngineDlg& window);
    ~CModFolderCommands() override;

    // The File menu's items (after Open...) and Misc > Run Diablo II: Resurrected.
    void AddMenus(QMenu* file, QMenuBar* menuBar);

    bool IsOpen() const { return m_pStore != nullptr; }
    // The mod's name, for the title.
    std::string Name() const;

    void OnOpenModFolder();
    void OnNewModFolder();
    // The game's extracted tables, asked for until a folder holding them is chosen; kept in the
    // settings. Its excel folder, or nothing when the user cancelled.
    std::optional<std::string> OnChooseTablesFolder();
    void OnRunGame();
    // Opens the mod folder at `folder` (mods/<name> or its <name>.mpq folder): from the menu,
    // File > Recent and the command line. False when it was not opened; what was open stays.
    bool Open(const std::string& folder);
    // File > Save: every table that differs from the game's own, written into the mod folder all
    // at once or not at all.
    void Save();
    // An archive was opened instead: the mod folder is closed.
    void Close();

    Realms RealmSetting() const;

private:
    // The game's extracted tables, from the settings or asked for; nothing when the user gave up.
    std::optional<std::string> TablesFolder();
    // The files a save writes: tables that differ from the game's, their classic copies when
    // both realms are edited, and the overrides folder's files.
    std::vector<std::pair<std::string, std::string>> FilesToSave(std::vector<std::string>& notes);
    // Enables the commands that only a mod folder has, and disables those it lacks.
    void UpdateCommands();

    CModEngineDlg& m_window;
    std::unique_ptr<CModFolderStore> m_pStore;
    std::unique_ptr<CTablesFolderStore> m_pGame;
    // The realm the tables are read from and written to: the stores themselves, or views of
    // their classic realm's copies.
    std::unique_ptr<CRealmStoreView> m_pModClassic;
    std::unique_ptr<CRealmStoreView> m_pGameClassic;
    CModStore* m_pModView = nullptr;
    CModStore* m_pGameView = nullptr;
    std::string m_strFolder;
    QAction* m_pRunGame = nullptr;
    std::vector<QAction*> m_archiveOnly;
};
