#include "app/ModEngineDlg.h"
#include "app/AboutDlg.h"
#include "app/EditorCommand.h"
#include "app/QtUserPrompts.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"

#include "LayoutTables.h"
#include "MpqFixture.h"
#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "MainWindowFixture.h"

namespace {

using TableId = CGameDataSet::TableId;

TEST_F(MainWindowTest, StartsWithTitleFoldersAndMenuStates) {
    auto dlg = MakeWindow();
    EXPECT_EQ(dlg->windowTitle(), "Morsk's Tarvane Diablo II");
    EXPECT_TRUE(std::filesystem::is_directory(work.File("overrides")));
    EXPECT_TRUE(std::filesystem::is_directory(work.File("tables")));
    EXPECT_EQ(dlg->m_strWorkingFolder, GetWorkingFolder());
    EXPECT_EQ(dlg->m_strDiabloFolder, "");
    EXPECT_FALSE(dlg->m_data.m_bModified);
    EXPECT_TRUE(dlg->NotesEdit()->isReadOnly());

    QStringList titles;
    for (QAction* action : dlg->MenuBar()->actions())
        titles << Plain(action);
    EXPECT_EQ(titles, (QStringList{"File", "Edit", "Global", "Monsters", "Items", "Misc", "Help"}));

    QStringList fileItems;
    for (QAction* action : FindMenu(*dlg, "File")->actions())
        fileItems << Plain(action) + (action->isEnabled() ? "" : " (off)");
    EXPECT_EQ(
        fileItems,
        (QStringList{"Open...", "Recent", "Open Mod Folder...", "New Mod Folder...",
                     "Diablo II: Resurrected", "Set Diablo II Folder...", "Save (off)",
                     "Save As... (off)", "Save Tables... (off)", "Load Tables... (off)", "Backup",
                     "Restore", "Clear Overrrides Folder", "Extract Base Files", "Exit"}));
    for (const char* menu : {"Global", "Monsters", "Items", "Misc"})
        EXPECT_FALSE(FindMenu(*dlg, menu)->menuAction()->isEnabled()) << menu;
    EXPECT_TRUE(FindMenu(*dlg, "Help")->menuAction()->isEnabled());

    EXPECT_NE(FindItem(*dlg, "Global", "Difficulty..."), nullptr);
    EXPECT_NE(FindItem(*dlg, "Global", "Resistances and Penalties..."), nullptr);
    EXPECT_NE(FindItem(*dlg, "Monsters", "Locations..."), nullptr);
    EXPECT_NE(FindItem(*dlg, "Monsters", "Editor..."), nullptr);
    EXPECT_NE(FindItem(*dlg, "Items", "Armour..."), nullptr);
    EXPECT_NE(FindItem(*dlg, "Items", "Weapons..."), nullptr);
    EXPECT_NE(FindItem(*dlg, "Items", "Uniques..."), nullptr);
    EXPECT_NE(FindItem(*dlg, "Misc", "Skills"), nullptr);
    EXPECT_NE(FindItem(*dlg, "Help", "About..."), nullptr);
}

TEST_F(MainWindowTest, ReadsTheGameFolderFromTheSettingsFile) {
    // One that the program would read otherwise is refused at start, as a chosen one is.
    for (const std::string folder : {"/games/d2", "C:\\Games\\d2", "/games/d2\rold"}) {
        WriteTextFile(work.File("Tarvane.ini"),
                      "[Other]\r\nFolder=no\r\n[diablo ii]\r\nfolder=" + folder + "\r\n");
        auto dlg = MakeWindow();
        EXPECT_EQ(dlg->m_strDiabloFolder, folder == "/games/d2" ? folder : "");
    }
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>(
                                      2, "The Diablo II folder set in " + work.File("Tarvane.ini") +
                                             " has a \"\\\" or a line break in its name, which "
                                             "this program cannot use, so it is not set. Set it "
                                             "again with File > Set Diablo II Folder."));
}

TEST_F(MainWindowTest, AppendNoteSeparatesLinesWithCrLf) {
    auto dlg = MakeWindow();
    dlg->AppendNote("first");
    EXPECT_EQ(dlg->NotesText(), "first");
    dlg->AppendNote("second");
    EXPECT_EQ(dlg->NotesText(), "first\r\nsecond");
}

TEST_F(MainWindowTest, SetDiabloFolder) {
    auto dlg = MakeWindow();
    prompts.AnswerFolderCancelled();
    dlg->OnSetDiabloFolder();
    EXPECT_EQ(dlg->m_strDiabloFolder, "");
    EXPECT_FALSE(FileExists("Tarvane.ini"));

    prompts.AnswerFolderNotAFolder();
    dlg->OnSetDiabloFolder();
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{"Invalid Diablo II folder selected."}));
    EXPECT_EQ(dlg->NotesText(), "");

    prompts.AnswerFolder("/first/game");
    prompts.AnswerFolder("/second/game");
    dlg->OnSetDiabloFolder();
    dlg->OnSetDiabloFolder();
    EXPECT_EQ(dlg->m_strDiabloFolder, "/second/game");
    EXPECT_EQ(dlg->NotesText(),
              "Diablo II folder set to /first/game\r\nDiablo II folder set to /second/game");
    EXPECT_EQ(ReadTextFile(work.File("Tarvane.ini")), "[Diablo II]\r\nFolder=/second/game\r\n");
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::Folder).front(),
              "Select your Diablo II folder");

    // The next start reads it back.
    auto again = MakeWindow();
    EXPECT_EQ(again->m_strDiabloFolder, "/second/game");
}

TEST_F(MainWindowTest, SaveAndLoadTables) {
    auto dlg = MakeWindow();
    FillTables(*dlg);
    CTempFolder out;

    prompts.AnswerFolderCancelled();
    dlg->OnSaveTables();
    prompts.AnswerFolderNotAFolder();
    dlg->OnSaveTables();
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{"Invalid folder selected."}));
    EXPECT_TRUE(std::filesystem::is_empty(out.Path()));

    prompts.AnswerFolder(out.Path());
    dlg->OnSaveTables();
    EXPECT_EQ(dlg->NotesText(), "Tables saved to " + out.Path());
    int files = 0;
    for (TableId id : CGameDataSet::kDeclarationOrder) {
        std::string name = CGameDataSet::FileName(id);
        EXPECT_EQ(ReadTextFile(out.File(name)), "key\t" + name + "\r\nrow\t\xE9\r\n");
        ++files;
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(out.Path()),
                            std::filesystem::directory_iterator()),
              files);

    // Loading a folder that holds only Armor.txt replaces that table alone.
    CTempFolder only;
    WriteTextFile(only.File("Armor.txt"), "name\r\nnew armour\r\n");
    prompts.AnswerFolder(only.Path());
    dlg->OnLoadTables();
    EXPECT_EQ(dlg->m_data.m_Armor.GetCell(0, 1), "new armour");
    EXPECT_EQ(dlg->m_data.m_Weapons.GetCell(1, 0), "Weapons.txt");
    EXPECT_TRUE(dlg->m_data.m_bModified);
    // The tables it did not find are named.
    std::string notes = "Tables saved to " + out.Path();
    for (TableId id : CGameDataSet::kFolderOrder)
        if (id != TableId::Armor)
            notes += "\r\n" + CGameDataSet::FileName(id) + " was not found in " + only.Path() +
                     "; that table was left as it was.";
    EXPECT_EQ(dlg->NotesText(), notes + "\r\nTables loaded from " + only.Path());

    // A file that exists but cannot be read leaves its table as it was.
    std::filesystem::create_directory(only.File("Levels.txt"));
    prompts.AnswerFolder(only.Path());
    dlg->OnLoadTables();
    EXPECT_EQ(dlg->m_data.m_Levels.GetCell(1, 0), "Levels.txt");

    // Saving and loading the same folder gives back the same data set.
    prompts.AnswerFolder(out.Path());
    dlg->OnLoadTables();
    EXPECT_EQ(dlg->m_data.m_Armor.GetCell(1, 0), "Armor.txt");
    EXPECT_TRUE(prompts.AllAnswersUsed());
}

TEST_F(MainWindowTest, SaveTablesGoesOnPastATableThatCannotBeWritten) {
    auto dlg = MakeWindow();
    FillTables(*dlg);
    CTempFolder out;
    std::filesystem::create_directory(out.File("Levels.txt"));
    prompts.AnswerFolder(out.Path());
    dlg->OnSaveTables();
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{"The file could not be accessed."}));
    EXPECT_EQ(ReadTextFile(out.File("Skills.txt")), "key\tSkills.txt\r\nrow\t\xE9\r\n");
    EXPECT_EQ(dlg->NotesText(), "Tables saved to " + out.Path());
}

// A stand-in editor: changes a table, then ends with the given result.
class CStandInEditor : public QDialog {
public:
    CStandInEditor(CTxtTable& table, std::string text, int result)
        : m_table(table), m_text(std::move(text)), m_result(result) {}
    int exec() override {
        m_table.SetCell(0, 1, m_text);
        return m_result;
    }

private:
    CTxtTable& m_table;
    std::string m_text;
    int m_result;
};

TEST_F(MainWindowTest, EditorFrameKeepsOkAndUndoesCancel) {
    auto dlg = MakeWindow();
    FillTables(*dlg);

    CStandInEditor ok(dlg->m_data.m_Armor, "kept", QDialog::Accepted);
    dlg->RunEditor(ok, {TableId::Armor}, false);
    EXPECT_TRUE(dlg->m_data.m_bModified);
    EXPECT_EQ(dlg->m_data.m_Armor.GetCell(0, 1), "kept");

    // Cancel undoes only this dialog's changes: the earlier OK stays.
    dlg->m_data.m_bModified = false;
    CStandInEditor cancel(dlg->m_data.m_Armor, "dropped", QDialog::Rejected);
    dlg->RunEditor(cancel, {TableId::Armor}, false);
    EXPECT_EQ(dlg->m_data.m_Armor.GetCell(0, 1), "kept");
    EXPECT_FALSE(dlg->m_data.m_bModified);

    // The monster editor's Cancel still marks the data set modified.
    CStandInEditor monsters(dlg->m_data.m_MonStats, "dropped", QDialog::Rejected);
    dlg->RunEditor(monsters, {TableId::MonStats}, true);
    EXPECT_EQ(dlg->m_data.m_MonStats.GetCell(0, 1), "row");
    EXPECT_TRUE(dlg->m_data.m_bModified);

    // A table not listed for restoring keeps what the dialog did.
    dlg->m_data.m_bModified = false;
    CStandInEditor other(dlg->m_data.m_Skills, "stays", QDialog::Rejected);
    dlg->RunEditor(other, {TableId::Levels}, false);
    EXPECT_EQ(dlg->m_data.m_Skills.GetCell(0, 1), "stays");
}

TEST_F(MainWindowTest, CloseAsksOnlyWithUnsavedEdits) {
    auto dlg = MakeWindow();
    EXPECT_TRUE(dlg->OnClose());
    EXPECT_TRUE(prompts.log.empty());

    auto edited = MakeWindow();
    FillTables(*edited);
    edited->m_data.m_bModified = true;
    prompts.AnswerThreeWay(CUserPrompts::Answer::Second);
    EXPECT_TRUE(edited->OnClose());
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::ThreeWay),
              (std::vector<std::string>{"Save before exitting ? [Save/Don't Save/Cancel]"}));
    EXPECT_EQ(edited->m_data.m_Armor.Columns(), 0); // tables cleared
    EXPECT_EQ(edited->m_pFuncs, nullptr);
}

TEST_F(MainWindowTest, StaysOpenWhenTheSaveAskedForDoesNotComplete) {
    auto dlg = MakeWindow();
    FillTables(*dlg);
    dlg->m_data.m_bModified = true;
    dlg->show();
    // Save; nothing is open to save into, so it cannot complete.
    prompts.AnswerThreeWay(CUserPrompts::Answer::First);
    EXPECT_FALSE(dlg->close());
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->m_data.m_bModified);
    EXPECT_EQ(dlg->m_data.m_Armor.GetCell(1, 0), "Armor.txt");
    EXPECT_NE(dlg->NotesText().find("stays open"), std::string::npos);

    prompts.AnswerThreeWay(CUserPrompts::Answer::Second); // then close without saving
    EXPECT_TRUE(dlg->close());
    EXPECT_FALSE(dlg->isVisible());
}

TEST_F(MainWindowTest, EnterAndEscapeDoNotEndTheProgram) {
    auto dlg = MakeWindow();
    dlg->m_data.m_bModified = true;
    dlg->show();
    for (int key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(dlg.get(), &press);
    }
    dlg->reject();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(prompts.log.empty());
    prompts.AnswerThreeWay(CUserPrompts::Answer::Second);
    dlg->OnFileExit();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
}

TEST_F(MainWindowTest, AboutBoxShowsTheVersionAndOpensTheReadme) {
    auto dlg = MakeWindow();
    QStringList texts;
    WhenDialogOpens([&texts](QDialog& d) {
        auto* about = dynamic_cast<CAboutDlg*>(&d);
        ASSERT_NE(about, nullptr);
        EXPECT_EQ(about->windowTitle(), "About Tarvane mod engine");
        for (QLabel* label : about->findChildren<QLabel*>())
            texts << label->text();
        for (QAbstractButton* button : about->findChildren<QAbstractButton*>())
            texts << button->text();
        about->ReadmeButton()->click();
        about->accept();
    });
    dlg->OnAbout();

    EXPECT_TRUE(texts.contains(QString("Version ") + TARVANE_VERSION))
        << texts.join("|").toStdString();
    // No web address: the project has no page of its own.
    for (const QString& text : texts) {
        EXPECT_FALSE(text.contains("http") || text.contains("www.")) << text.toStdString();
    }
    const std::vector<std::string> opened = prompts.TextsOf(CScriptedPrompts::Entry::Kind::Url);
    ASSERT_EQ(opened.size(), 1u);
    const QUrl url(QString::fromStdString(opened[0]));
    EXPECT_TRUE(url.isLocalFile()) << opened[0];
    EXPECT_TRUE(url.toLocalFile().endsWith("/README.md")) << opened[0];
    EXPECT_TRUE(FileExists(url.toLocalFile().toStdString())) << opened[0];
}

TEST_F(MainWindowTest, StartsInAWorkingFolderOfAnyLengthAndRefusesOneItCannotUse) {
    // Longer than the 259 characters of old systems: everything lands in it all the same.
    std::string deep = work.Path();
    while (deep.size() <= 300)
        deep += "/" + std::string(60, 'd');
    std::filesystem::create_directories(deep);
    {
        CTempFolder::Enter inside(deep);
        auto dlg = MakeWindow();
        EXPECT_FALSE(dlg->StartFailed());
        EXPECT_EQ(dlg->m_strWorkingFolder, deep);
        EXPECT_TRUE(std::filesystem::is_directory(deep + "/overrides"));
        EXPECT_TRUE(std::filesystem::is_directory(deep + "/tables"));
        prompts.AnswerFolder("/games/d2");
        dlg->OnSetDiabloFolder();
        dlg->OnExtractBaseFiles();
        EXPECT_EQ(ReadTextFile(deep + "/Tarvane.ini"),
                  "[Diablo II]\r\nFolder=/games/d2\r\n[Extracted]\r\nBaseFiles=False\r\n");
        EXPECT_EQ(prompts.Messages().size(), 1u); // no d2data.mpq there
    }

    // A working folder that cannot be read, or whose name holds a "\" that the program's paths
    // would take as a separator: the program says so and does not start.
    std::filesystem::create_directory(work.File("gone"));
    std::filesystem::create_directory(work.File("with\\backslash"));
    struct Case {
        std::string folder;
        bool removeIt;
        std::string message;
    };
    for (const Case& c :
         {Case{work.File("gone"), true,
               "The working folder cannot be read, so the program cannot keep its settings and "
               "tables. Start it from another folder."},
          Case{work.File("with\\backslash"), false,
               "The working folder " + work.File("with\\backslash") +
                   " has a \"\\\" in its name, which the program would take as a folder "
                   "separator. Start it from another folder."}}) {
        CScriptedPrompts local;
        CTempFolder::Enter inside(c.folder);
        if (c.removeIt)
            std::filesystem::remove(c.folder);
        CModEngineDlg dlg(local);
        EXPECT_TRUE(dlg.StartFailed()) << c.folder;
        EXPECT_EQ(local.Messages(), std::vector<std::string>{c.message});
        EXPECT_FALSE(std::filesystem::exists(c.folder + "/overrides")) << c.folder;
        // Closing the window that was never run asks nothing.
        dlg.close();
        EXPECT_EQ(local.log.size(), 1u);
    }
}

TEST_F(MainWindowTest, SettingsThatCannotBeWrittenAreNamedInTheNotes) {
    // A settings file that cannot be read (a link to a file that is not there) is not replaced.
    std::filesystem::create_symlink("missing/Tarvane.ini", work.File("Tarvane.ini"));
    CTempFolder game;
    ASSERT_TRUE(MakeArchive(game.File("d2data.mpq"), [] {
        ArchiveFiles files;
        for (TableId id : CGameDataSet::kDeclarationOrder)
            files.emplace_back(CGameDataSet::ArchivePath(id), "name\r\nbase\r\n");
        return files;
    }()));
    auto dlg = MakeWindow();
    dlg->OnExtractBaseFiles();
    const std::string settings = work.File("Tarvane.ini");
    EXPECT_EQ(dlg->NotesText(), "The settings file " + settings +
                                    " could not be written, so the base copies will not be "
                                    "extracted again at the next open.");

    // The base copies are extracted, but that they are cannot be kept.
    prompts.AnswerFolder(game.Path());
    prompts.AnswerOpenFile(std::nullopt);
    dlg->OnFileOpen();
    EXPECT_TRUE(FileExists("tables\\monstats.txt"));
    EXPECT_NE(dlg->NotesText().find("The settings file " + settings +
                                    " could not be written; the base copies will be extracted "
                                    "again at the next open."),
              std::string::npos)
        << dlg->NotesText();
    EXPECT_TRUE(std::filesystem::is_symlink(settings));
}

// The main window with an archive opened through File > Open, as a user would.

TEST_F(MainWindowTest, LoadTablesSaysWhenItLoadedNothingAndMarksWhatItLoaded) {
    auto dlg = MakeWindow();
    FillTables(*dlg);
    CTempFolder none, unreadable, armour;
    std::filesystem::create_directory(unreadable.File("Skills.txt"));
    WriteTextFile(armour.File("Armor.txt"), "name\r\nloaded\r\n");
    const std::pair<const CTempFolder*, std::string> cases[] = {
        {&none, "None of the tables was found in " + none.Path() + ", so nothing was loaded."},
        {&unreadable, "No table could be loaded from " + unreadable.Path() + "."},
        {&armour, "Tables loaded from " + armour.Path()}};
    for (const auto& [folder, last] : cases) {
        prompts.AnswerFolder(folder->Path());
        dlg->OnLoadTables();
        const std::string notes = dlg->NotesText();
        EXPECT_EQ(notes.substr(notes.size() - last.size()), last);
        EXPECT_EQ(dlg->m_data.m_bModified, folder == &armour);
    }
    // Closing now asks.
    prompts.AnswerThreeWay(CUserPrompts::Answer::Cancel);
    EXPECT_FALSE(dlg->OnClose());
}

TEST_F(MainWindowTest, LoadTablesAsksBeforeTablesOfTheOtherLayout) {
    auto dlg = MakeWindow();
    for (TableId id : CGameDataSet::kDeclarationOrder)
        ASSERT_TRUE(dlg->m_data.Table(id).LoadFromBytes(LayoutTableText(id, TableLayout::V110)));
    CTempFolder older, newer;
    WriteTextFile(older.File("Levels.txt"), LayoutTableText(TableId::Levels, TableLayout::V109));
    WriteTextFile(newer.File("Levels.txt"), LayoutTableText(TableId::Levels, TableLayout::V110));
    // No, then tables of the same layout (no question), then Yes.
    for (const auto& [folder, loads] : std::vector<std::pair<CTempFolder*, bool>>{
             {&older, false}, {&newer, true}, {&older, true}}) {
        prompts.AnswerFolder(folder->Path());
        if (folder == &older)
            prompts.AnswerYesNo(loads);
        dlg->m_data.m_bModified = false;
        dlg->OnLoadTables();
        EXPECT_EQ(dlg->m_data.m_bModified, loads);
    }
    EXPECT_EQ(DetectTableLayout(dlg->m_data.m_Levels, TableId::Levels), TableLayout::V109);
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::YesNo),
              std::vector<std::string>(
                  2, "Levels.txt in " + older.Path() +
                         " has the column layout of Diablo II 1.07–1.09, the open tables that of "
                         "Diablo II 1.10–1.14d. Saved into the archive, such tables do not suit "
                         "its game. Load the tables all the same?"));
}

// Where a key the user presses goes: an open popup (the completer's list) takes it first.
void PressKey(QKeyEvent& key) {
    QWidget* receiver = QApplication::activePopupWidget();
    if (receiver && receiver->focusWidget())
        receiver = receiver->focusWidget();
    if (!receiver)
        receiver = QApplication::focusWidget();
    QApplication::sendEvent(receiver, &key);
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

TEST(FolderChooserTest, GivesTheFolderTheUserTyped) {
    EnsureQApplication();
    CTempFolder root;
    std::filesystem::create_directories(root.File("parent/child"));
    std::filesystem::create_directories(root.File("parent/tables (new)"));
    struct Case {
        std::string startIn; // "" for the dialog's own start
        std::string typed;
        std::string expected;
    };
    const Case cases[] = {
        {"", root.File("parent/child"), root.File("parent/child")},
        {"", root.File("parent/child/"), root.File("parent/child")},
        {"", root.File("parent"), root.File("parent")},
        {root.File("parent"), "child", root.File("parent/child")},
        {root.File("parent"), "tables (new)", root.File("parent/tables (new)")},
        {root.File("parent/child"), root.File("parent/tables (new)"),
         root.File("parent/tables (new)")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        CQtUserPrompts prompts;
        WhenDialogOpens([&c](QDialog& dialog) {
            auto* chooser = qobject_cast<QFileDialog*>(&dialog);
            ASSERT_NE(chooser, nullptr);
            if (!c.startIn.empty())
                chooser->setDirectory(QString::fromStdString(c.startIn));
            auto* field = dialog.findChild<QLineEdit*>("fileNameEdit");
            ASSERT_NE(field, nullptr);
            // Typed key by key into the focused field, then Enter.
            dialog.activateWindow();
            field->setFocus(Qt::OtherFocusReason);
            QCoreApplication::processEvents();
            for (QChar ch : QString::fromStdString(c.typed)) {
                QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
                PressKey(press);
            }
            QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
            PressKey(enter);
            EXPECT_FALSE(dialog.isVisible()) << "Enter did not accept the folder";
        });
        CUserPrompts::FolderChoice choice = prompts.BrowseForFolder("Select a folder");
        EXPECT_EQ(choice.outcome, CUserPrompts::FolderChoice::Outcome::Chosen);
        EXPECT_EQ(choice.path, c.expected);
    }
}

} // namespace
