#include "app/ModEngineDlg.h"
#include "app/QtUserPrompts.h"
#include "data/ModSaver.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"

#include "MachineChecks.h"
#include "MpqFixture.h"
#include "OtherInstanceLock.h"
#include "PictureFixtures.h"
#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"

#include <QApplication>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

#include "FileSaveFixture.h"

namespace {

using TableId = CGameDataSet::TableId;

TEST_F(FileSaveTest, EightTablesWithoutCompiledTables) {
    auto dlg = OpenWindow(Tables("patch"));
    EditAll(*dlg);
    dlg->OnFileSave();
    EXPECT_EQ(prompts.busyCount, 2); // the open's, and the save's while it copies the archive
    for (TableId id : CGameDataSet::kDeclarationOrder) {
        std::string expected = id == TableId::TreasureClassEx
                                   ? "name\tvalue\r\npatch\tTreasureClassEx.txt\r\n"
                                   : Edited(id);
        EXPECT_EQ(ReadArchived(archive, CGameDataSet::ArchivePath(id)), expected);
    }
    EXPECT_EQ(LastNote(*dlg), "Diablo II has been updated.");
    EXPECT_FALSE(dlg->m_data.m_bModified);
    EXPECT_FALSE(TempFilesLeft());
    EXPECT_FALSE(FileExists("game-ran.txt"));
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_TRUE(prompts.AllAnswersUsed());
}

TEST_F(FileSaveTest, NineTablesWithTheCompileStep) {
    ArchiveFiles files = Tables("patch");
    files.emplace_back("Data\\Global\\Excel\\Armor.bin", "old compiled");
    auto dlg = OpenWindow(files);
    if (!CanRunScriptsIn(game.Path()))
        GTEST_SKIP() << "needs /bin/sh and a temporary folder that allows running programs";
    WriteStandInGame(game.Path());
    // Left by an earlier run: the stand-in does not write Skills, so it must not be taken.
    std::filesystem::create_directories(work.File("data/global/excel"));
    WriteTextFile(work.File("data/global/excel/SKILLS.bin"), "earlier");
    EditAll(*dlg);
    prompts.AnswerOkCancel(true);
    // While the game runs the window is painted, says it waits, and takes no commands. The
    // look is taken by a timer that ends with this test.
    QString titleWhileWaiting;
    bool menuWhileWaiting = true;
    QObject endsWithTheTest;
    QTimer::singleShot(300, &endsWithTheTest, [&] {
        titleWhileWaiting = dlg->windowTitle();
        menuWhileWaiting = dlg->MenuBar()->isEnabled();
    });
    dlg->OnFileSave();
    EXPECT_EQ(titleWhileWaiting, "Morsk's Tarvane Diablo II - waiting for Diablo II to end");
    EXPECT_FALSE(menuWhileWaiting);
    EXPECT_TRUE(dlg->MenuBar()->isEnabled());
    // The game's end is over before the prompt asks for OK: no busy cursor over the prompt.
    EXPECT_EQ(prompts.busyDepth, 0);
    EXPECT_EQ(prompts.busyDepthAtMessage, (std::vector<int>{0}));

    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::OkCancel),
              (std::vector<std::string>{kContinueQuestion}));
    EXPECT_EQ(prompts.Messages(),
              (std::vector<std::string>{"Click OK when Diablo II has run, and been shut down."}));
    EXPECT_EQ(ReadTextFile(work.File("game-ran.txt")), "-txt\n");
    for (TableId id : CGameDataSet::kDeclarationOrder)
        EXPECT_EQ(ReadArchived(archive, CGameDataSet::ArchivePath(id)), Edited(id));
    // The compiled tables reached the overrides folder and, through it, the archive.
    EXPECT_EQ(ReadTextFile(work.File("overrides/data!global!excel!Levels.bin")),
              "compiled-levels\n");
    EXPECT_EQ(ReadArchived(archive, "data\\global\\excel\\Levels.bin"), "compiled-levels\n");
    EXPECT_EQ(ReadArchived(archive, "data\\global\\excel\\armor.bin"), "compiled-armour\n");
    EXPECT_FALSE(FileExists("overrides\\data!global!excel!Skills.bin"));
    EXPECT_FALSE(ReadArchived(archive, "data\\global\\excel\\Skills.bin").has_value());
    EXPECT_EQ(LastNote(*dlg), "Diablo II has been updated.");
    EXPECT_FALSE(dlg->m_data.m_bModified);
    EXPECT_FALSE(TempFilesLeft());
    EXPECT_EQ(dlg->windowTitle(), "Morsk's Tarvane Diablo II");
}

TEST_F(FileSaveTest, DecliningTheGameRunStillSaves) {
    ArchiveFiles files = Tables("patch");
    files.emplace_back("Data\\Global\\Excel\\Armor.bin", "old compiled");
    auto dlg = OpenWindow(files);
    WriteStandInGame(game.Path());
    WriteTextFile(work.File("overrides/x!y.txt"), "override");
    WriteTextFile(work.File("overrides/data!global!excel!levels.bin"), "earlier");
    EditAll(*dlg);
    prompts.AnswerOkCancel(false);
    dlg->OnFileSave();
    EXPECT_FALSE(FileExists("game-ran.txt"));
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_EQ(ReadArchived(archive, "x\\y.txt"), "override");
    // The compiled table in the overrides folder still goes in, named as an earlier run's.
    EXPECT_EQ(ReadArchived(archive, "data\\global\\excel\\Levels.bin"), "earlier");
    EXPECT_NE(dlg->NotesText().find(work.File("overrides/data!global!excel!levels.bin") +
                                    " is from an earlier run of Diablo II"),
              std::string::npos)
        << dlg->NotesText();
    EXPECT_EQ(ReadArchived(archive, "Data\\Global\\Excel\\TreasureClassEx.txt"),
              Edited(TableId::TreasureClassEx));
    EXPECT_EQ(LastNote(*dlg), "Diablo II has been updated.");
    EXPECT_FALSE(dlg->m_data.m_bModified);
}

// A game run that produced nothing usable is said so, and leaves the edits marked as unsaved.
// Compiled files left by an earlier run in the game's output folder are never taken.
TEST_F(FileSaveTest, AGameRunThatProducesNothingIsNamedAndNothingOldIsTaken) {
    ArchiveFiles files = Tables("patch");
    files.emplace_back("Data\\Global\\Excel\\Armor.bin", "old compiled");
    auto dlg = OpenWindow(files);
    const bool scripts = CanRunScriptsIn(game.Path());
    const std::string exe = game.File("Diablo II.exe");
    struct Case {
        const char* name;
        const char* bytes; // nullptr: no game at all
        std::string note;
    };
    const std::string notUpdated = ", so the compiled tables were not updated.";
    const Case cases[] = {
        {"no game", nullptr, exe + " could not be started: there is no such file" + notUpdated},
        {"Windows program without wine", "MZ\x90 a Windows program",
         exe + " could not be started: it needs \"wine\", which was not found" + notUpdated},
        // What a Wine that runs only 64-bit programs does with the 32-bit game.
        {"exits with 0 and writes nothing", "#!/bin/sh\nexit 0\n",
         exe + " ended without writing any compiled table" + notUpdated},
        {"exits with an error",
         "#!/bin/sh\nmkdir -p data/global/excel\n"
         "echo half > data/global/excel/Skills.bin\nexit 2\n",
         exe + " ended with the error status 2" + notUpdated},
    };
    CTempFolder noWine;
    const std::string oldPath = std::getenv("PATH") ? std::getenv("PATH") : "";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const bool script = c.bytes != nullptr && c.bytes[0] == '#';
        if (script && !scripts)
            continue; // needs /bin/sh and a temporary folder that allows running programs
        std::filesystem::remove(exe);
        if (c.bytes != nullptr) {
            WriteTextFile(exe, c.bytes);
            ::chmod(exe.c_str(), 0755);
        }
        // Left by earlier runs: in the game's output folder, and copied into the overrides.
        std::filesystem::create_directories(work.File("data/global/excel"));
        WriteTextFile(work.File("data/global/excel/Skills.bin"), "earlier");
        WriteTextFile(work.File("data/global/excel/levels.BIN"), "earlier");
        WriteTextFile(work.File("overrides/data!global!excel!Armor.bin"), "older run");
        EditAll(*dlg);
        const size_t notesBefore = dlg->NotesText().size();
        const size_t messagesBefore = prompts.Messages().size();
        prompts.AnswerOkCancel(true);
        if (c.bytes != nullptr && !script)
            ::setenv("PATH", noWine.Path().c_str(), 1);
        dlg->OnFileSave();
        ::setenv("PATH", oldPath.c_str(), 1);

        const std::string notes = dlg->NotesText().substr(notesBefore);
        EXPECT_NE(notes.find(c.note), std::string::npos) << notes;
        EXPECT_NE(notes.find(work.File("overrides/data!global!excel!Armor.bin") +
                             " is from an earlier run of Diablo II"),
                  std::string::npos)
            << notes;
        EXPECT_EQ(LastNote(*dlg), "The tables and the overrides are in the archive, but its "
                                  "compiled tables are not up to date. Save again once Diablo II "
                                  "can be run.");
        EXPECT_TRUE(dlg->m_data.m_bModified);
        EXPECT_EQ(prompts.Messages().size(), messagesBefore + 1);
        // The text tables went in; no compiled table but the overrides folder's own.
        EXPECT_EQ(ReadArchived(archive, "Data\\Global\\Excel\\Weapons.txt"),
                  Edited(TableId::Weapons));
        EXPECT_FALSE(ReadArchived(archive, "data\\global\\excel\\Skills.bin").has_value());
        EXPECT_FALSE(ReadArchived(archive, "data\\global\\excel\\Levels.bin").has_value());
        EXPECT_EQ(ReadArchived(archive, "data\\global\\excel\\Armor.bin"), "older run");
        EXPECT_FALSE(FileExists(work.File("data/global/excel/levels.BIN")));
        EXPECT_FALSE(TempFilesLeft());
    }
    EXPECT_TRUE(prompts.AllAnswersUsed());
}

TEST_F(FileSaveTest, CompiledTablesNeedTheGameFolder) {
    ArchiveFiles files = Tables("patch");
    files.emplace_back("Data\\Global\\Excel\\Armor.bin", "old compiled");
    auto dlg = OpenWindow(files);
    EditAll(*dlg);
    dlg->m_strDiabloFolder.clear();
    std::string notes = dlg->NotesText();
    dlg->OnFileSave();
    EXPECT_EQ(prompts.Messages(),
              (std::vector<std::string>{
                  "The mod engine has detected that you are using a version of Diablo II\n"
                  "that requires an additional step in order save your changes.\n"
                  "To do this, you must first set your Diablo II folder using the file menu."}));
    for (TableId id : CGameDataSet::kDeclarationOrder)
        EXPECT_EQ(ReadArchived(archive, CGameDataSet::ArchivePath(id)), Edited(id));
    EXPECT_EQ(LastNote(*dlg), "The tables are in the archive, but its compiled tables are not up "
                              "to date. Set the Diablo II folder in the File menu and save again.");
    EXPECT_FALSE(TempFilesLeft());
    // The game has not compiled the tables, so the edits are not in effect yet.
    EXPECT_TRUE(dlg->m_data.m_bModified);
}

TEST_F(FileSaveTest, AFailedSaveLeavesTheArchiveAsItWas) {
    auto dlg = OpenWindow(Tables("patch"));
    EditAll(*dlg);
    std::string before = ReadTextFile(archive);

    // Another program is saving into the archive: this save waits briefly, then gives up.
    const int busyBefore = prompts.busyCount;
    {
        COtherInstanceLock other(archive);
        ASSERT_TRUE(other.Held());
        dlg->OnFileSave();
    }
    EXPECT_EQ(ReadTextFile(archive), before);
    std::string notes = dlg->NotesText();
    EXPECT_NE(notes.find(archive + " is being saved by another program, so nothing was saved. "
                                   "Try again when it has finished."),
              std::string::npos)
        << notes;
    EXPECT_TRUE(Mentions(*dlg, "Waiting for another program to finish saving " + archive + "..."));
    EXPECT_EQ(prompts.busyCount, busyBefore + 1);
    EXPECT_EQ(LastNote(*dlg), "Failed to update files in MPQ. Please try again.");
    EXPECT_TRUE(dlg->m_data.m_bModified);
    EXPECT_FALSE(TempFilesLeft());

    // The archive became something StormLib cannot update.
    WriteTextFile(archive, "no longer an archive");
    dlg->OnFileSave();
    EXPECT_EQ(LastNote(*dlg), "Failed to update files in MPQ. Please try again.");
    EXPECT_EQ(ReadTextFile(archive), "no longer an archive");
    EXPECT_TRUE(dlg->m_data.m_bModified);
    EXPECT_FALSE(TempFilesLeft());

    // The close question's save fails the same way: the program stays open.
    prompts.AnswerThreeWay(CUserPrompts::Answer::First);
    EXPECT_FALSE(dlg->OnClose());
    EXPECT_EQ(dlg->m_data.m_Armor.GetCell(0, 1), "edited");
}

TEST_F(FileSaveTest, ATableThatCannotBeWrittenIsNotAdded) {
    auto dlg = OpenWindow(Tables("patch"));
    EditAll(*dlg);
    // A folder where the temporary file of Levels goes, with a stale file inside.
    std::filesystem::create_directory(work.File("tmpLevels.txt"));
    WriteTextFile(work.File("tmpLevels.txt/stale"), "stale");
    dlg->OnFileSave();
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{"The file could not be accessed."}));
    EXPECT_EQ(ReadArchived(archive, "Data\\Global\\Excel\\Levels.txt"),
              "name\tvalue\r\npatch\tLevels.txt\r\n");
    // Nor any other table: a save writes every table or none.
    EXPECT_EQ(ReadArchived(archive, "Data\\Global\\Excel\\Armor.txt"), Tables("patch")[3].second);
    EXPECT_TRUE(Mentions(*dlg, "Levels.txt could not be written, so nothing was saved."));
    // Nor is a new archive made without it.
    prompts.AnswerSaveFile(game.File("new.mpq"));
    dlg->OnFileSaveAs();
    EXPECT_FALSE(FileExists(game.File("new.mpq")) || Mentions(*dlg, "A new archive was made"));
    EXPECT_TRUE(dlg->m_data.m_bModified);
}

TEST_F(FileSaveTest, SaveAsChangesTheTargetForGood) {
    auto dlg = OpenWindow(Tables("patch"));
    std::string other = game.File("other.mpq");
    ASSERT_TRUE(MakeArchive(other, Tables("other")));
    std::string before = ReadTextFile(archive);

    prompts.AnswerSaveFile(std::nullopt);
    dlg->OnFileSaveAs();
    EXPECT_EQ(dlg->m_pArchive->m_strArchivePath, archive);

    EditAll(*dlg);
    // An existing archive is asked about in the program's words: the save adds to it.
    prompts.AnswerSaveFile(other);
    prompts.AnswerYesNo(false);
    dlg->OnFileSaveAs();
    EXPECT_EQ(dlg->m_pArchive->m_strArchivePath, archive);
    prompts.AnswerSaveFile(other);
    prompts.AnswerYesNo(true);
    dlg->OnFileSaveAs();
    EXPECT_EQ(ReadArchived(other, "Data\\Global\\Excel\\Weapons.txt"), Edited(TableId::Weapons));
    dlg->m_data.m_Weapons.SetCell(0, 1, "again");
    dlg->OnFileSave();
    EXPECT_EQ(ReadArchived(other, "Data\\Global\\Excel\\Weapons.txt"),
              "name\tvalue\r\nagain\tWeapons.txt\r\n");
    EXPECT_EQ(ReadTextFile(archive), before);
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::YesNo),
              std::vector<std::string>(2, other + " exists. Save the tables into it?"));
}

TEST_F(FileSaveTest, SaveAsToANewFileMakesAnArchiveThatOpens) {
    auto dlg = OpenWindow(Tables("patch"));
    WriteTextFile(work.File("overrides/x!y.txt"), "override");
    EditAll(*dlg);
    const std::string fresh = game.File("my mod.mpq");
    prompts.AnswerSaveFile(fresh);
    dlg->OnFileSaveAs();

    const std::string bytes = ReadTextFile(fresh);
    ASSERT_GE(bytes.size(), 32u);
    EXPECT_EQ(bytes.substr(0, 4), "MPQ\x1A");
    EXPECT_EQ(ReadU32(bytes, 12) & 0xFFFFu, 0u); // format version 1
    for (TableId id : CGameDataSet::kDeclarationOrder)
        EXPECT_EQ(ReadArchived(fresh, CGameDataSet::ArchivePath(id)), Edited(id));
    EXPECT_EQ(ReadArchived(fresh, "x\\y.txt"), "override");
    EXPECT_TRUE(Mentions(*dlg, "A new archive was made at " + fresh + "."));
    EXPECT_EQ(LastNote(*dlg), "Diablo II has been updated.");
    EXPECT_FALSE(dlg->m_data.m_bModified);

    // Opened in a new window, it gives back what was saved.
    auto again = std::make_unique<CModEngineDlg>(prompts);
    prompts.AnswerOpenFile(fresh);
    again->OnFileOpen();
    EXPECT_EQ(LastNote(*again), "MPQ Archive has been opened.");
    for (TableId id : CGameDataSet::kDeclarationOrder)
        EXPECT_EQ(again->m_data.Table(id).GetCell(0, 1), "edited") << CGameDataSet::FileName(id);
    EXPECT_TRUE(prompts.AllAnswersUsed());
}

// The save dialog itself takes a name that does not exist yet.
TEST_F(FileSaveTest, TheSaveDialogTakesANewName) {
    CQtUserPrompts qtPrompts;
    const std::string fresh = game.File("new mod.mpq");
    QObject endsWithTheTest;
    QTimer::singleShot(0, &endsWithTheTest, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        // Should the dialog refuse the name, its warning and then the dialog are closed.
        QTimer::singleShot(300, &endsWithTheTest, [dialog] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->reject();
            QTimer::singleShot(0, dialog, &QDialog::reject);
        });
        dialog->selectFile(QString::fromStdString(fresh));
        static_cast<QDialog*>(dialog)->accept();
    });
    EXPECT_EQ(qtPrompts.ChooseFileToSave("Save Diablo Data File",
                                         "Diablo data files (*.mpq)|*.mpq||", "mpq", game.Path()),
              fresh);
    EXPECT_FALSE(FileExists(fresh));
}

} // namespace
