#include "app/ModEngineDlg.h"

#include "app/AboutDlg.h"
#include "app/AllTablesCommands.h"
#include "app/ArchiveLoader.h"
#include "app/EditorCommand.h"
#include "app/GameFolder.h"
#include "app/ModFolderCommands.h"
#include "app/ProblemsCommands.h"
#include "app/RecentArchives.h"
#include "app/TableGrids.h"
#include "app/TablesFolder.h"
#include "app/WindowMemory.h"
#include "data/ModSaver.h"
#include "data/MpqArchive.h"
#include "data/OverridesFolder.h"
#include "data/PatchBackup.h"
#include "editors/ModFuncs.h"
#include "editors/ProblemsPane.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"
#include "platform/UnusablePath.h"
#include "platform/UserPrompts.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QVBoxLayout>

#include <filesystem>
#include <functional>
#include <utility>
#include <vector>

namespace {

// The program icon, drawn here so that the program needs no resource files.
QIcon MakeProgramIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(QColor(96, 16, 16));
    QPainter painter(&pixmap);
    painter.setPen(QColor(230, 190, 90));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(24);
    painter.setFont(font);
    painter.drawText(pixmap.rect(), Qt::AlignCenter, "T");
    return QIcon(pixmap);
}

} // namespace

CModEngineDlg::CModEngineDlg(CUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_hIcon(MakeProgramIcon()) {
    m_editNotes = new QPlainTextEdit(this);
    m_pGrids = new CTableGrids(m_data, m_prompts, this);
    m_pAllTables = new CAllTablesCommands(*this);
    m_pModFolder = new CModFolderCommands(*this);
    m_pProblems = new CProblemsCommands(*this);
    // Every step done, undone or redone is an unsaved edit.
    connect(m_pGrids, &CTableGrids::tableChanged, this, [this] {
        m_data.m_bModified = true;
        UpdateTitle();
    });
    OnInitDialog();
}

CModEngineDlg::~CModEngineDlg() = default;

void CModEngineDlg::OnInitDialog() {
    m_data.m_bModified = false;
    m_data.SetPrompts(&m_prompts);

    // The settings, the tables and the overrides all live in the working folder. Without it
    // they would go to the root of the file system, so the program does not start.
    m_strWorkingFolder = GetWorkingFolder();
    if (m_strWorkingFolder.empty()) {
        m_prompts.ShowMessage("The working folder cannot be read, so the program cannot keep its "
                              "settings and tables. Start it from another folder.");
        m_bStartFailed = true;
    } else if (m_strWorkingFolder.find('\\') != std::string::npos) {
        // Paths are built with "\" and it is read back as a separator: the files would land
        // in other folders.
        m_prompts.ShowMessage("The working folder " + m_strWorkingFolder +
                              " has a \"\\\" in its name, which the program would take as a "
                              "folder separator. Start it from another folder.");
        m_bStartFailed = true;
    }
    m_bClosed = m_bStartFailed;

    if (!m_bStartFailed) {
        // Failures are met later by the commands that use these folders.
        MakeFolder("overrides");
        MakeFolder("tables");
        m_strDiabloFolder = CProfileFile::ReadString(SettingsPath(), "Diablo II", "Folder", "");
        // A settings file edited by hand is held to what a chosen folder is.
        if (m_strDiabloFolder.find_first_of("\\\r\n") != std::string::npos) {
            m_prompts.ShowMessage("The Diablo II folder set in " + NativePath(SettingsPath()) +
                                  " has a \"\\\" or a line break in its name, which this "
                                  "program cannot use, so it is not set. Set it again with File > "
                                  "Set Diablo II Folder.");
            m_strDiabloFolder.clear();
        }
    }

    m_pFuncs = std::make_unique<CModFuncs>();
    m_pArchive.reset();

    m_editNotes->setReadOnly(true);
    m_editNotes->setAccessibleName("Notes");
    m_editNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    setWindowIcon(m_hIcon);
    // A main window, not a box: minimise and maximise like any program window.
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    setSizeGripEnabled(true);

    BuildMenu();
    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(m_pMenuBar);
    auto* split = new QSplitter(Qt::Vertical, this);
    split->addWidget(m_editNotes);
    split->addWidget(&m_pProblems->Pane());
    layout->addWidget(split);
    // Narrower than its menu bar, the window would hide menus behind the bar's overflow button.
    const QMargins margins = layout->contentsMargins();
    setMinimumWidth(m_pMenuBar->sizeHint().width() + margins.left() + margins.right());
    resize(560, 380);
    if (!m_bStartFailed)
        CWindowMemory::Restore(*this, SettingsPath(), "MainWindow");
    UpdateTitle();
}

void CModEngineDlg::BuildMenu() {
    m_pMenuBar = new QMenuBar(this);
    // Every command ends by bringing the title up to date, so no handler has to.
    auto add = [this](QMenu* menu, const char* caption, auto handler) {
        QAction* action = menu->addAction(caption);
        connect(action, &QAction::triggered, this, [this, handler] {
            std::invoke(handler, this);
            UpdateTitle();
        });
        return action;
    };

    QMenu* file = m_pMenuBar->addMenu("&File");
    add(file, "&Open...", &CModEngineDlg::OnFileOpen)->setShortcut(QKeySequence("Ctrl+O"));
    AddRecentMenu(file);
    add(file, "Set &Diablo II Folder...", &CModEngineDlg::OnSetDiabloFolder);
    m_pSave = add(file, "&Save", &CModEngineDlg::OnFileSave);
    m_pSave->setShortcut(QKeySequence("Ctrl+S"));
    m_pSaveAs = add(file, "Save &As...", &CModEngineDlg::OnFileSaveAs);
    m_pSaveAs->setShortcut(QKeySequence("Ctrl+Shift+S"));
    m_pSaveTables = add(file, "Save &Tables...", &CModEngineDlg::OnSaveTables);
    m_pLoadTables = add(file, "&Load Tables...", &CModEngineDlg::OnLoadTables);
    add(file, "&Backup", &CModEngineDlg::OnBackup);
    add(file, "&Restore", &CModEngineDlg::OnRestore);
    add(file, "&Clear Overrrides Folder", &CModEngineDlg::OnClearOverrides);
    add(file, "&Extract Base Files", &CModEngineDlg::OnExtractBaseFiles);
    add(file, "E&xit", &CModEngineDlg::OnFileExit)->setShortcut(QKeySequence("Ctrl+Q"));
    m_pGrids->AddEditMenu(*m_pMenuBar);

    // The editor menus come from the command table, in its order.
    for (const CEditorCommand& command : CEditorCommand::Table()) {
        if (m_editorMenus.empty() || m_editorMenus.back()->title() != command.menu)
            m_editorMenus.push_back(m_pMenuBar->addMenu(command.menu));
        QAction* action = add(m_editorMenus.back(), command.caption,
                              [&command](CModEngineDlg* self) { self->RunEditorCommand(command); });
        if (command.shortcut)
            action->setShortcut(QKeySequence(command.shortcut));
    }

    m_pModFolder->AddMenus(file, m_pMenuBar);
    QMenu* help = m_pMenuBar->addMenu("&Help");
    add(help, "&About...", &CModEngineDlg::OnAbout)->setShortcut(QKeySequence("F1"));

    for (QAction* action : {m_pSave, m_pSaveAs, m_pSaveTables, m_pLoadTables})
        action->setEnabled(false);
    for (QMenu* menu : m_editorMenus)
        menu->menuAction()->setEnabled(false);
}

void CModEngineDlg::EnableDataCommands() {
    for (QAction* action : {m_pSave, m_pSaveAs, m_pSaveTables, m_pLoadTables})
        action->setEnabled(true);
    for (QMenu* menu : m_editorMenus)
        menu->menuAction()->setEnabled(true);
    m_pMenuBar->update();
    m_bDataOpen = true;
}

void CModEngineDlg::AppendNote(const std::string& text) {
    // One paragraph a line: the first note stands alone, later ones follow a line break.
    m_editNotes->appendPlainText(
        QString::fromLocal8Bit(text.data(), static_cast<qsizetype>(text.size())));
    m_editNotes->moveCursor(QTextCursor::End);
}

std::string CModEngineDlg::NotesText() const {
    // The widget keeps one line a paragraph; the notes are CR LF separated.
    return m_editNotes->toPlainText().replace('\n', "\r\n").toLocal8Bit().toStdString();
}

void CModEngineDlg::OnSetDiabloFolder() {
    BrowseForDiabloFolder();
}

CUserPrompts::FolderChoice::Outcome CModEngineDlg::BrowseForDiabloFolder() {
    CUserPrompts::FolderChoice choice = m_prompts.BrowseForFolder("Select your Diablo II folder");
    switch (choice.outcome) {
    case CUserPrompts::FolderChoice::Outcome::Cancelled:
        return choice.outcome;
    case CUserPrompts::FolderChoice::Outcome::NotAFolder:
        m_prompts.ShowMessage("Invalid Diablo II folder selected.");
        return choice.outcome;
    case CUserPrompts::FolderChoice::Outcome::Chosen:
        break;
    }
    // Refused like an item that is no folder: File > Open asks again.
    if (RefuseUnusablePath(choice.path, true))
        return CUserPrompts::FolderChoice::Outcome::NotAFolder;
    m_strDiabloFolder = choice.path;
    // A settings file that cannot be written still leaves the folder set for this run.
    WriteSetting("Diablo II", "Folder", m_strDiabloFolder,
                 ", so the Diablo II folder is set for this run only.");
    AppendNote("Diablo II folder set to " + NativePath(m_strDiabloFolder));
    if (!CGameFolder::HoldsGameData(m_strDiabloFolder))
        m_prompts.ShowMessage(CGameFolder::NoGameDataWarning(m_strDiabloFolder));
    return choice.outcome;
}

std::optional<std::string> CModEngineDlg::ChooseTablesFolder(const std::string& prompt) {
    CUserPrompts::FolderChoice choice = m_prompts.BrowseForFolder(prompt);
    if (choice.outcome == CUserPrompts::FolderChoice::Outcome::Cancelled)
        return std::nullopt;
    if (choice.outcome == CUserPrompts::FolderChoice::Outcome::NotAFolder) {
        m_prompts.ShowMessage("Invalid folder selected.");
        return std::nullopt;
    }
    if (RefuseUnusablePath(choice.path, true))
        return std::nullopt;
    return choice.path;
}

void CModEngineDlg::OnSaveTables() {
    if (std::optional<std::string> folder = ChooseTablesFolder("Select folder to save tables."))
        CTablesFolder(m_data, m_prompts, *this, &m_pAllTables->Tables()).Save(*folder);
}

void CModEngineDlg::OnLoadTables() {
    if (std::optional<std::string> folder = ChooseTablesFolder("Select folder to load tables.")) {
        CTablesFolder(m_data, m_prompts, *this, &m_pAllTables->Tables()).Load(*folder);
        m_pGrids->Clear();
    }
}

bool CModEngineDlg::ExtractBaseCopies(bool expansion) {
    const std::string gameArchive = GameArchive(expansion);
    // A wrapper of its own, so that m_pArchive keeps pointing at the archive Save writes into.
    CMpqArchive archive(gameArchive);
    if (archive.m_bInitFailed) {
        m_prompts.ShowMessage("Failed to initialise: the archive library could not be started "
                              "to read " +
                              NativePath(gameArchive) + ", so nothing was opened.");
        return false;
    }
    const std::string tablesFolder = GetWorkingFolder() + "\\tables";
    for (TableId id : CGameDataSet::kDeclarationOrder)
        archive.ExtractFile(CGameDataSet::ArchivePath(id).c_str(), tablesFolder.c_str(), false);

    bool all = true;
    for (TableId id : CGameDataSet::kDeclarationOrder)
        all = all && FileExists(tablesFolder + CGameDataSet::FolderFileName(id));
    if (all)
        WriteSetting("Extracted", "BaseFiles", "True",
                     "; the base copies will be extracted again at the next open.");
    else
        AppendNote("Not every table could be read from " + NativePath(gameArchive) +
                   "; the base copies will be extracted again at the next open.");
    return true;
}

std::optional<bool> CModEngineDlg::PrepareOpen() {
    // The game folder is asked for until one is set; cancelling the browser ends the command
    // instead of asking for ever.
    while (m_strDiabloFolder.empty()) {
        CUserPrompts::FolderChoice::Outcome outcome = BrowseForDiabloFolder();
        if (outcome == CUserPrompts::FolderChoice::Outcome::Cancelled)
            return std::nullopt;
    }
    const bool expansion = FindFileIgnoringCase(m_strDiabloFolder, "d2exp.mpq").has_value();

    if (CProfileFile::ReadString(SettingsPath(), "Extracted", "BaseFiles", "False") != "True" &&
        !ExtractBaseCopies(expansion))
        return std::nullopt;

    if (m_data.m_bModified &&
        !m_prompts.AskOkCancel(
            "Loading another archive will erase any current edits. Are you sure ?"))
        return std::nullopt;
    return expansion;
}

void CModEngineDlg::OnFileOpen() {
    std::optional<bool> expansion = PrepareOpen();
    if (!expansion)
        return;
    std::optional<std::string> chosen = m_prompts.ChooseFileToOpen(
        "Open Diablo Data File", "Diablo data files (*.mpq)|*.mpq||", "mpq", m_strDiabloFolder);
    if (!chosen || RefuseUnusablePath(*chosen, false) || !ConfirmGameArchiveWrite(*chosen))
        return;
    LoadArchive(*chosen, *expansion);
}

bool CModEngineDlg::OpenArchive(const std::string& path) {
    if (IsFolder(path))
        return m_pModFolder->Open(path);
    std::optional<bool> expansion = PrepareOpen();
    return expansion && !RefuseUnusablePath(path, false) && ConfirmGameArchiveWrite(path) &&
           LoadArchive(path, *expansion);
}

bool CModEngineDlg::LoadArchive(const std::string& path, bool expansion) {
    CArchiveLoader loader(path, expansion, m_prompts);
    std::string failure = loader.Check();
    if (failure.empty()) {
        // Queued window events run during the open. A close among them would clear the data set
        // in the middle of it: it is refused while the window is busy, as during a save.
        m_bBusy = true;
        m_pMenuBar->setEnabled(false);
        struct CBusySpan {
            CModEngineDlg& dlg;
            ~CBusySpan() {
                dlg.m_pMenuBar->setEnabled(true);
                dlg.m_bBusy = false;
            }
        } busySpan{*this};

        AppendNote("Please wait whilst data files are opened...");
        m_editNotes->repaint();
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        CBusyCursor busy(m_prompts);
        failure = loader.Load(GetWorkingFolder());
    }
    if (!failure.empty()) {
        m_prompts.ShowMessage(failure + CArchiveLoader::WhatStays(m_pArchive.get()));
        return false;
    }
    m_data.TakeTablesFrom(loader.m_data);
    m_pModFolder->Close();
    m_pGrids->Clear();
    m_pAllTables->Forget();
    m_pArchive = std::move(loader.m_pArchive);
    m_pProblems->Restart();
    if (!CRecentArchives(SettingsPath()).Add(path))
        AppendNote("The settings file " + NativePath(SettingsPath()) +
                   " could not be written, so File > Recent does not list this archive.");
    AppendNote("MPQ Archive has been opened.");
    EnableDataCommands();
    UpdateTitle(); // File > Recent and the command line open outside the menu's commands
    return true;
}

void CModEngineDlg::OnFileSave() {
    if (m_pModFolder->IsOpen())
        return m_pModFolder->Save();
    if (m_pArchive && !ConfirmGameArchiveWrite(m_pArchive->m_strArchivePath))
        return;
    CModSaver saver(m_data, m_pArchive.get(), m_strDiabloFolder, m_prompts, *this);
    // While the game runs the window stays painted and says it waits, but takes no commands.
    bool waiting = false;
    auto whileRunning = [this, &waiting] {
        if (!waiting) {
            waiting = true;
            m_bBusy = true;
            m_pMenuBar->setEnabled(false);
            setWindowTitle(QString(kTitle) + " - waiting for Diablo II to end");
            m_prompts.BeginBusyCursor();
        }
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    auto ended = [this, &waiting] {
        if (!waiting)
            return;
        waiting = false;
        m_prompts.EndBusyCursor();
        setWindowTitle(kTitle);
        m_pMenuBar->setEnabled(true);
        m_bBusy = false;
    };
    saver.SetGameRunCallbacks(whileRunning, ended);
    if (m_pArchive)
        saver.SetMoreTables(m_pAllTables->TablesToSave(m_pArchive->m_strArchivePath));
    saver.AddSummary([this] { return m_pAllTables->ChangesSummary(); });
    saver.AddSummary([this] { return m_pProblems->SaveSentence(); });
    saver.Save();
    ended();
    if (m_pArchive && !m_data.m_bModified)
        m_pAllTables->Saved(m_pArchive->m_strArchivePath);
}

void CModEngineDlg::OnFileSaveAs() {
    std::optional<std::string> chosen = m_prompts.ChooseFileToSave(
        "Save Diablo Data File", "Diablo data files (*.mpq)|*.mpq||", "mpq", m_strDiabloFolder);
    if (!chosen || !m_pArchive || RefuseUnusablePath(*chosen, false))
        return;
    // The chooser does not ask: it would offer to replace the file, and the save adds to it.
    if (FileExists(*chosen) &&
        !m_prompts.AskYesNo(NativePath(*chosen) + " exists. Save the tables into it?"))
        return;
    if (!ConfirmGameArchiveWrite(*chosen))
        return;
    m_pArchive->SetArchivePath(*chosen);
    OnFileSave();
}

void CModEngineDlg::OnBackup() {
    CPatchBackup(m_prompts, *this).Backup(m_strDiabloFolder);
}

void CModEngineDlg::OnRestore() {
    CPatchBackup(m_prompts, *this).Restore(m_strDiabloFolder);
}

void CModEngineDlg::OnClearOverrides() {
    int cleared = 0;
    std::vector<COverridesFolder::Skipped> skipped;
    if (m_prompts.AskOkCancel("Clear Overrides folder ?"))
        cleared = COverridesFolder::Clear(GetWorkingFolder() + "\\overrides", &skipped);
    for (const COverridesFolder::Skipped& entry : skipped)
        AppendNote(entry.path + " was left in place: " + entry.reason + ".");
    AppendNote(std::to_string(cleared) + " files cleared from overrides folder.");
}

void CModEngineDlg::OnExtractBaseFiles() {
    WriteSetting("Extracted", "BaseFiles", "False",
                 ", so the base copies will not be extracted again at the next open.");
}

int CModEngineDlg::RunEditor(QDialog& dialog, const std::vector<TableId>& restoreOnCancel,
                             bool modifiedOnCancel, const std::vector<TableId>& alsoEdits) {
    const int result = m_pGrids->RunEditor(dialog, restoreOnCancel, alsoEdits);
    if (result == QDialog::Accepted || modifiedOnCancel)
        m_data.m_bModified = true;
    return result;
}

void CModEngineDlg::RunEditorCommand(const CEditorCommand& command) {
    if (!command.makeDialog)
        return; // a menu item without a dialog yet
    // An editor never guesses where its columns are: the tables' header rows must say.
    const std::optional<TableLayout> layout = command.CheckLayouts(m_data, Prompts(), *this);
    if (!layout)
        return;
    std::unique_ptr<QDialog> dialog = command.makeDialog(*this, *layout);
    RunEditor(*dialog, command.restoreOnCancel, command.modifiedOnCancel, command.alsoEdits);
}

bool CModEngineDlg::OnEditorCommand(const std::string& caption) {
    for (const CEditorCommand& command : CEditorCommand::Table()) {
        if (QString(command.caption).remove('&').toStdString() == caption) {
            RunEditorCommand(command);
            UpdateTitle();
            return true;
        }
    }
    return false;
}

void CModEngineDlg::OnAbout() {
    CAboutDlg about(m_prompts, m_hIcon, CAboutDlg::FindReadme(), this);
    about.exec();
}

bool CModEngineDlg::OnClose() {
    CUserPrompts::Answer answer = CUserPrompts::Answer::Second;
    if (m_data.m_bModified)
        answer = m_prompts.AskThreeWay("Save before exitting ?", "Save", "Don't Save");
    if (answer == CUserPrompts::Answer::Cancel)
        return false;
    if (answer == CUserPrompts::Answer::First) {
        OnFileSave();
        if (m_data.m_bModified) {
            AppendNote("The edits could not be saved, so the program stays open. Save again, "
                       "or close and answer Don't Save to leave them unsaved.");
            return false;
        }
    }
    m_pArchive.reset();
    m_pFuncs.reset();
    m_data.ClearAll();
    m_bClosed = true;
    return true;
}

void CModEngineDlg::OnFileExit() {
    if (OnClose())
        QDialog::done(QDialog::Accepted);
}

void CModEngineDlg::reject() {
    // Escape must not end the program behind the close steps' back; closing goes through them.
}

void CModEngineDlg::closeEvent(QCloseEvent* event) {
    if (m_bBusy) {
        event->ignore(); // the game is running inside a save
        return;
    }
    if (m_bClosed || OnClose()) {
        event->accept();
        QDialog::done(QDialog::Rejected);
    } else {
        event->ignore();
        UpdateTitle();
    }
}

void CModEngineDlg::hideEvent(QHideEvent* event) {
    // Every way out hides the window; a hide the window system sends (minimising) is none.
    // The notes are gone with the window, so a settings file that cannot be written goes
    // unreported: the window just opens at its default place next time.
    if (!event->spontaneous() && !m_bStartFailed)
        CWindowMemory::Save(*this, SettingsPath(), "MainWindow");
    QDialog::hideEvent(event);
}

void CModEngineDlg::keyPressEvent(QKeyEvent* event) {
    // Enter and Escape would end a dialog; in the main window they do nothing.
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        event->accept();
        return;
    default:
        QDialog::keyPressEvent(event);
    }
}

bool CModEngineDlg::RefuseUnusablePath(const std::string& path, bool folder) {
    const std::optional<std::string> message = UnusablePathMessage(path, folder);
    if (message)
        m_prompts.ShowMessage(*message);
    return message.has_value();
}

void CModEngineDlg::WriteSetting(const std::string& section, const std::string& key,
                                 const std::string& value, const std::string& consequence) {
    if (!CProfileFile::WriteString(SettingsPath(), section, key, value))
        AppendNote("The settings file " + NativePath(SettingsPath()) + " could not be written" +
                   consequence);
}

std::string CModEngineDlg::GameArchive(bool expansion) const {
    // A game folder copied from Windows may spell it "D2DATA.MPQ".
    const char* name = expansion ? "d2exp.mpq" : "d2data.mpq";
    return FindFileIgnoringCase(m_strDiabloFolder, name).value_or(m_strDiabloFolder + "\\" + name);
}

void CModEngineDlg::UpdateTitle() {
    std::string name;
    if (m_bDataOpen && m_pModFolder->IsOpen())
        name = m_pModFolder->Name() + " (mod folder)";
    else if (m_bDataOpen && m_pArchive)
        name = std::filesystem::path(NativePath(m_pArchive->m_strArchivePath)).filename().string();
    if (name.empty()) {
        setWindowTitle(kTitle);
        return;
    }
    setWindowTitle(QString::fromLocal8Bit(name) + (m_data.m_bModified ? "*" : "") + " - " + kTitle);
}

bool CModEngineDlg::ConfirmGameArchiveWrite(const std::string& path) {
    if (path == m_strConfirmedGameArchive || !CGameFolder::IsOwnArchive(m_strDiabloFolder, path))
        return true;
    if (!m_prompts.AskOkCancel(CGameFolder::OwnArchiveWarning(path)))
        return false;
    m_strConfirmedGameArchive = path;
    return true;
}

void CModEngineDlg::AddRecentMenu(QMenu* file) {
    CRecentArchives::AddMenu(
        file, [this] { return SettingsPath(); },
        [this](const std::string& path) { OpenArchive(path); });
}
