#pragma once

#include "data/GameDataSet.h"
#include "platform/NoteLog.h"
#include "platform/UserPrompts.h"

#include <QDialog>
#include <QIcon>

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct CEditorCommand;
class CAllTablesCommands;
class CModFolderCommands;
class CModFuncs;
class CProblemsCommands;
class CMpqArchive;
class CTableGrids;
class QAction;
class QMenu;
class QMenuBar;
class QPlainTextEdit;

// The main window: a menu bar and the read-only notes area in which the program reports what it
// did. It owns the data set, the archive wrapper and the record service, and runs every command.
class CModEngineDlg : public QDialog, public CNoteLog {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Morsk's Tarvane Diablo II";
    using TableId = CGameDataSet::TableId;

    explicit CModEngineDlg(CUserPrompts& prompts, QWidget* parent = nullptr);
    ~CModEngineDlg() override;

    // Adds one line to the notes area (CR LF between lines, none after the last).
    void AppendNote(const std::string& text) override;
    std::string NotesText() const;

    // File menu.
    void OnFileOpen();
    // Opens the archive at `path` as File > Open does once a file is chosen (File > Recent, the
    // command line). False when it was not opened; the previous archive and tables stay then.
    bool OpenArchive(const std::string& path);
    void OnSetDiabloFolder();
    void OnFileSave();
    void OnFileSaveAs();
    void OnSaveTables();
    void OnLoadTables();
    void OnBackup();
    void OnRestore();
    void OnClearOverrides();
    void OnExtractBaseFiles();
    void OnFileExit();
    // Runs the editor command of that caption ("Editor...", mnemonics left out) as its menu item
    // does. False when there is no such command.
    bool OnEditorCommand(const std::string& caption);
    void OnAbout();

    // The close steps. False when the program stays open: the user cancelled the close
    // question, or asked to save and the save did not complete, so closing now would throw the
    // edits away.
    bool OnClose();

    // Runs an editor dialog modally with the tables it edits. OK marks the data set modified and
    // makes the dialog's changes one undo step; any other end puts the tables of
    // `restoreOnCancel` back as they were when it opened, and marks the data set modified only
    // when `modifiedOnCancel` is set. What it leaves in `alsoEdits` is an undo step either way.
    // Returns the dialog's result.
    int RunEditor(QDialog& dialog, const std::vector<TableId>& restoreOnCancel,
                  bool modifiedOnCancel, const std::vector<TableId>& alsoEdits = {});

    // The title: the opened archive's file name, "*" while there are unsaved edits, then the
    // program's title; the program's title alone while no archive is open.
    void UpdateTitle();

    QMenuBar* MenuBar() const { return m_pMenuBar; }
    QPlainTextEdit* NotesEdit() const { return m_editNotes; }
    // The settings file, built from the working folder captured at start.
    std::string SettingsPath() const { return m_strWorkingFolder + "\\Tarvane.ini"; }
    // True when the window was made in a working folder the program cannot use (it said so):
    // it must not be run.
    bool StartFailed() const { return m_bStartFailed; }
    CUserPrompts& Prompts() const { return m_prompts; }
    // The grids over the tables and the data set's undo stack.
    CTableGrids& Grids() const { return *m_pGrids; }
    // Every table of the opened mod, and the windows on them.
    CAllTablesCommands& AllTables() const { return *m_pAllTables; }
    // Diablo II: Resurrected mod folders.
    CModFolderCommands& ModFolder() const { return *m_pModFolder; }
    // The Problems pane and the rules behind it.
    CProblemsCommands& Problems() const { return *m_pProblems; }
    // Enables the menus that need an opened data set.
    void EnableDataCommands();
    // The folder browser of Save Tables and Load Tables; nothing when there is no folder.
    std::optional<std::string> ChooseTablesFolder(const std::string& prompt);

    CGameDataSet m_data;
    std::unique_ptr<CMpqArchive> m_pArchive;
    std::unique_ptr<CModFuncs> m_pFuncs;
    std::string m_strDiabloFolder;
    std::string m_strWorkingFolder;

public slots:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void OnInitDialog();
    // The folder browser of Set Diablo II Folder; tells what the user did.
    CUserPrompts::FolderChoice::Outcome BrowseForDiabloFolder();
    // Extracts the nine base copies from the game's own archive into "tables". False when the
    // open must stop.
    bool ExtractBaseCopies(bool expansion);
    // The steps of an open before the archive is known: the game folder, the base copies and
    // the question about unsaved edits. Whether the game is the expansion; nothing to stop.
    std::optional<bool> PrepareOpen();
    // Loads the archive aside and takes it only when every table needed was found.
    bool LoadArchive(const std::string& path, bool expansion);
    // The OK/Cancel warning before writing into the game's own archive; true to go on.
    bool ConfirmGameArchiveWrite(const std::string& path);
    // File > Recent, after Open...
    void AddRecentMenu(QMenu* file);
    void BuildMenu();
    void RunEditorCommand(const CEditorCommand& command);
    // Shows why a path chosen in a dialog cannot be used and returns true; false when it can.
    // Folders are also refused for a line break in their name.
    bool RefuseUnusablePath(const std::string& path, bool folder);
    // Writes one setting; when the settings file cannot be written (or read first), the notes
    // say so, followed by `consequence`.
    void WriteSetting(const std::string& section, const std::string& key, const std::string& value,
                      const std::string& consequence);
    // The game's own archive in the game folder: d2exp.mpq or d2data.mpq, in any letter case.
    std::string GameArchive(bool expansion) const;

    CUserPrompts& m_prompts;
    QIcon m_hIcon;
    QPlainTextEdit* m_editNotes = nullptr;
    QMenuBar* m_pMenuBar = nullptr;
    CTableGrids* m_pGrids = nullptr;
    CAllTablesCommands* m_pAllTables = nullptr;
    CModFolderCommands* m_pModFolder = nullptr;
    CProblemsCommands* m_pProblems = nullptr; // the Problems pane under the notes
    QAction* m_pSave = nullptr;
    QAction* m_pSaveAs = nullptr;
    QAction* m_pSaveTables = nullptr;
    QAction* m_pLoadTables = nullptr;
    // The menus of the editor commands, enabled once a data set is open.
    std::vector<QMenu*> m_editorMenus;
    // The game archive the user agreed to write into.
    std::string m_strConfirmedGameArchive;
    bool m_bClosed = false;
    bool m_bBusy = false; // a save waits for the game
    bool m_bStartFailed = false;
    bool m_bDataOpen = false; // an archive has been opened
};
