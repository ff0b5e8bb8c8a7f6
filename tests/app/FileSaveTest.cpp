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

namespace {

using TableId = CGameDataSet::TableId;

const char* const kContinueQuestion =
    "The mod engine has detected that you are using a version of Diablo II\n"
    "that requires an additional final step in order to active your changes.\n"
    "The mod engine will now run the Diablo II game.\n"
    "Please ensure that the game CD is in the drive, and that the mpq file you have\n"
    "editted, is in your Diablo II folder. When the game is loaded, select\n"
    "any character and load the game, then save and exit.\n"
    "If you plan to do further editting before testing or playing your mod,\n"
    "you can press cancel and your current edits will still be saved.\n"
    "\n"
    "Continue with save ?";

ArchiveFiles Tables(const std::string& origin) {
    ArchiveFiles files;
    for (TableId id : CGameDataSet::kDeclarationOrder)
        files.emplace_back(CGameDataSet::ArchivePath(id),
                           "name\tvalue\r\n" + origin + "\t" + CGameDataSet::FileName(id) + "\r\n");
    return files;
}

// A stand-in for the game: writes two compiled tables where the game would, spelt otherwise than
// the program's list spells them (a game folder from Windows), and a lot of output that nobody
// reads (the program must drain it or the child would block).
void WriteStandInGame(const std::string& folder) {
    std::string script = "#!/bin/sh\n"
                         "echo \"$1\" > game-ran.txt\n"
                         "head -c 3000000 /dev/zero | tr '\\0' x\n"
                         "sleep 0.5\n"
                         "mkdir -p data/global/excel\n"
                         "echo compiled-levels > data/global/excel/LEVELS.BIN\n"
                         "echo compiled-armour > data/global/excel/Armor.Bin\n";
    std::string path = folder + "/Diablo II.exe";
    WriteTextFile(path, script);
    ::chmod(path.c_str(), 0755);
}

class FileSaveTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }

    // Opens `archive` (made with `files`) in a new main window, with the game folder set.
    std::unique_ptr<CModEngineDlg> OpenWindow(const ArchiveFiles& files) {
        archive = game.File("Patch_D2.mpq");
        EXPECT_TRUE(MakeArchive(game.File("d2data.mpq"), Tables("base")));
        EXPECT_TRUE(MakeArchive(archive, files));
        CProfileFile::WriteString(work.File("Tarvane.ini"), "Diablo II", "Folder", game.Path());
        auto dlg = std::make_unique<CModEngineDlg>(prompts);
        prompts.AnswerOpenFile(archive);
        dlg->OnFileOpen();
        EXPECT_EQ(dlg->NotesText(),
                  "Please wait whilst data files are opened...\r\nMPQ Archive has been opened.");
        return dlg;
    }

    // Edits every table, as editors would.
    static void EditAll(CModEngineDlg& dlg) {
        for (TableId id : CGameDataSet::kDeclarationOrder)
            dlg.m_data.Table(id).SetCell(0, 1, "edited");
        dlg.m_data.m_bModified = true;
    }

    std::string LastNote(CModEngineDlg& dlg) {
        std::string notes = dlg.NotesText();
        size_t lf = notes.rfind('\n');
        return lf == std::string::npos ? notes : notes.substr(lf + 1);
    }

    bool TempFilesLeft() {
        for (TableId id : CGameDataSet::kDeclarationOrder)
            if (FileExists(CModSaver::TemporaryFile(id)))
                return true;
        return false;
    }

    std::string Edited(TableId id) {
        return "name\tvalue\r\nedited\t" + CGameDataSet::FileName(id) + "\r\n";
    }

    CTempFolder work{true};
    CTempFolder game;
    std::string archive;
    CScriptedPrompts prompts;
};

TEST_F(FileSaveTest, EightTablesWithoutCompiledTables) {
    auto dlg = OpenWindow(Tables("patch"));
    EditAll(*dlg);
    dlg->OnFileSave();
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
    EXPECT_EQ(dlg->NotesText(), notes);
    EXPECT_FALSE(TempFilesLeft());
    // All nine tables are in the archive: closing has nothing left to save.
    EXPECT_FALSE(dlg->m_data.m_bModified);
    EXPECT_TRUE(dlg->OnClose());
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::OkCancel).size(), 0u);
}

TEST_F(FileSaveTest, AFailedSaveLeavesTheArchiveAsItWas) {
    auto dlg = OpenWindow(Tables("patch"));
    EditAll(*dlg);
    std::string before = ReadTextFile(archive);

    // Another program is saving into the archive: this save waits briefly, then gives up.
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
    EXPECT_EQ(ReadArchived(archive, "Data\\Global\\Excel\\Armor.txt"), Edited(TableId::Armor));
    EXPECT_EQ(LastNote(*dlg), "Levels.txt could not be written, so its changes were not saved.");
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
    prompts.AnswerSaveFile(other);
    dlg->OnFileSaveAs();
    EXPECT_EQ(ReadArchived(other, "Data\\Global\\Excel\\Weapons.txt"), Edited(TableId::Weapons));
    dlg->m_data.m_Weapons.SetCell(0, 1, "again");
    dlg->OnFileSave();
    EXPECT_EQ(ReadArchived(other, "Data\\Global\\Excel\\Weapons.txt"),
              "name\tvalue\r\nagain\tWeapons.txt\r\n");
    EXPECT_EQ(ReadTextFile(archive), before);
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::SaveFile),
              std::vector<std::string>(2, "Save Diablo Data File"));
}

TEST_F(FileSaveTest, OverridesGoInUnderTheirEncodedNames) {
    auto dlg = OpenWindow(Tables("patch"));
    std::filesystem::create_directories(work.File("overrides/sub"));
    WriteTextFile(work.File("overrides/x!y.txt"), "xy");
    WriteTextFile(work.File("overrides/NOTES.txt"), "my notes");
    WriteTextFile(work.File("overrides/sub/notes.txt"), "sub notes");
    Pixels pixels = PatternPixels(28, 28, 7);
    WriteTextFile(work.File("overrides/inv.pcx"), MakePcx(28, 28, pixels));
    WriteTextFile(work.File("overrides/INV2.PCX"), MakePcx(28, 28, pixels));
    WriteTextFile(work.File("overrides/broken.pcx"), "not a picture");
    dlg->OnFileSave();

    EXPECT_EQ(ReadArchived(archive, "x\\y.txt"), "xy");
    EXPECT_FALSE(ReadArchived(archive, "NOTES.txt").has_value());
    EXPECT_EQ(ReadArchived(archive, "sub\\notes.txt"), "sub notes");
    std::optional<std::string> dc6 = ReadArchived(archive, "data\\global\\items\\inv.dc6");
    ASSERT_TRUE(dc6.has_value());
    EXPECT_EQ(ReadU32(*dc6, 0), 6u); // a DC6 file: version 6
    EXPECT_EQ(ReadArchived(archive, "INV2.PCX"), MakePcx(28, 28, pixels));
    EXPECT_FALSE(ReadArchived(archive, "data\\global\\items\\broken.dc6").has_value());
    // Only the pictures stay behind in the folder.
    std::vector<std::string> left;
    for (auto& entry : std::filesystem::directory_iterator(work.File("overrides")))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"INV2.PCX", "NOTES.txt", "broken.pcx", "inv.pcx",
                                              "sub", "x!y.txt"}));
    EXPECT_NE(dlg->NotesText().find("broken.pcx could not be converted to DC6"), std::string::npos);
    EXPECT_EQ(LastNote(*dlg), "Diablo II has been updated.");
}

TEST_F(FileSaveTest, AnOverridesFileThatCannotBeAddedIsReportedAndTheRestGoIn) {
    auto dlg = OpenWindow(Tables("patch"));
    // A link to a file that is gone: never followed, and named in the notes.
    std::filesystem::create_symlink(work.File("gone.txt"), work.File("overrides/broken-link.txt"));
    WriteTextFile(work.File("overrides/fine.txt"), "fine");
    EditAll(*dlg);
    dlg->OnFileSave();
    EXPECT_EQ(ReadArchived(archive, "fine.txt"), "fine");
    EXPECT_EQ(ReadArchived(archive, "Data\\Global\\Excel\\Armor.txt"), Edited(TableId::Armor));
    EXPECT_NE(dlg->NotesText().find("broken-link.txt could not be added to the archive"),
              std::string::npos);
    EXPECT_EQ(LastNote(*dlg), "Diablo II has been updated.");
}

TEST_F(FileSaveTest, ClearOverridesKeepsTheNotes) {
    auto dlg = OpenWindow(Tables("patch"));
    WriteTextFile(work.File("overrides/NOTES.TXT"), "mine");
    WriteTextFile(work.File("overrides/data!global!excel!Levels.bin"), "compiled");
    prompts.AnswerOkCancel(false);
    dlg->OnClearOverrides();
    EXPECT_EQ(LastNote(*dlg), "0 files cleared from overrides folder.");
    prompts.AnswerOkCancel(true);
    dlg->OnClearOverrides();
    EXPECT_EQ(LastNote(*dlg), "1 files cleared from overrides folder.");
    EXPECT_TRUE(FileExists("overrides\\NOTES.TXT"));
    EXPECT_FALSE(FileExists("overrides\\data!global!excel!Levels.bin"));
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::OkCancel),
              std::vector<std::string>(2, "Clear Overrides folder ?"));
}

bool Mentions(CModEngineDlg& dlg, const std::string& text) {
    return dlg.NotesText().find(text) != std::string::npos;
}

TEST_F(FileSaveTest, LinksInTheOverridesFolderAreNeverFollowed) {
    auto dlg = OpenWindow(Tables("patch"));
    CTempFolder outside;
    WriteTextFile(outside.File("keep.txt"), "not ours");
    std::filesystem::create_symlink(outside.Path(), work.File("overrides/outside"));
    std::filesystem::create_symlink("..", work.File("overrides/up"));
    std::filesystem::create_symlink(outside.File("keep.txt"), work.File("overrides/keep.txt"));
    WriteTextFile(work.File("overrides/fine.txt"), "fine");
    const int before = CountArchived(archive);
    dlg->OnFileSave();
    EXPECT_EQ(ReadArchived(archive, "fine.txt"), "fine");
    EXPECT_EQ(CountArchived(archive), before + 1);
    EXPECT_EQ(LastNote(*dlg), "Diablo II has been updated.");

    prompts.AnswerOkCancel(true);
    dlg->OnClearOverrides();
    EXPECT_EQ(LastNote(*dlg), "1 files cleared from overrides folder.");
    EXPECT_EQ(ReadTextFile(outside.File("keep.txt")), "not ours");
    EXPECT_TRUE(FileExists(work.File("Tarvane.ini")));
    for (std::string link : {"outside", "up", "keep.txt"}) {
        EXPECT_TRUE(std::filesystem::is_symlink(work.File("overrides/" + link))) << link;
        EXPECT_TRUE(
            Mentions(*dlg, "overrides/" + link +
                               " could not be added to the archive: it is a symbolic link."))
            << link;
        EXPECT_TRUE(
            Mentions(*dlg, "overrides/" + link + " was left in place: it is a symbolic link."))
            << link;
    }
}

TEST_F(FileSaveTest, NamesThatWouldLeaveTheFolderAreRefusedAndNamed) {
    auto dlg = OpenWindow(Tables("patch"));
    const std::string armor = ReadTextFile(work.File("Armor.txt")); // the working copy
    // A "\" in a name the system gave us is a character, not a separator.
    const std::string backslash = "..\\Armor.txt";
    WriteTextFile(work.File("overrides/" + backslash), "in overrides");
    const std::pair<std::string, std::string> refused[] = {
        {"..!..!up.txt", "..\\..\\up.txt"},       {"data!. .!up.txt", "data\\. .\\up.txt"},
        {"C:!drive.txt", "C:\\drive.txt"},        {"!data!lead.txt", "\\data\\lead.txt"},
        {"data!!twice.txt", "data\\\\twice.txt"}, {"data!tail!", "data\\tail\\"}};
    for (const auto& [file, decoded] : refused)
        WriteTextFile(work.File("overrides/" + file), file);
    WriteTextFile(work.File("overrides/..data!dots.txt"), "dots");
    dlg->OnFileSave();

    for (const auto& [file, decoded] : refused) {
        EXPECT_FALSE(ReadArchived(archive, decoded).has_value()) << file;
        EXPECT_TRUE(Mentions(*dlg, "overrides/" + file + " could not be added to the archive: " +
                                       "its name gives \"" + decoded + "\""))
            << file;
    }
    EXPECT_EQ(ReadArchived(archive, "..data\\dots.txt"), "dots");
    EXPECT_FALSE(ReadArchived(archive, backslash).has_value());
    EXPECT_TRUE(Mentions(*dlg, "overrides/" + backslash +
                                   " could not be added to the archive: its name holds a \"\\\"."));
    EXPECT_EQ(LastNote(*dlg), "Diablo II has been updated.");

    // Clear deletes the files of odd names, which are inside the folder, and nothing else.
    prompts.AnswerOkCancel(true);
    dlg->OnClearOverrides();
    EXPECT_EQ(LastNote(*dlg), "7 files cleared from overrides folder.");
    EXPECT_TRUE(
        Mentions(*dlg, "overrides/" + backslash + " was left in place: its name holds a \"\\\"."));
    EXPECT_EQ(ReadTextFile(work.File("Armor.txt")), armor);
}

TEST_F(FileSaveTest, OnlyTheNameInsideTheFolderCountsAndTemporariesStayOut) {
    // A working folder whose own name holds ".pcx" and, in capitals, "NOTES.TXT".
    std::filesystem::create_directories(work.File("notes.txt.pcx"));
    CTempFolder::Enter inside(work.File("notes.txt.pcx"));
    CProfileFile::WriteString("Tarvane.ini", "Diablo II", "Folder", game.Path());
    auto dlg = OpenWindow(Tables("patch"));
    const std::string overrides = work.File("notes.txt.pcx/overrides/");
    const std::string picture = MakePcx(28, 28, PatternPixels(28, 28, 3));
    // Left by a killed save, and by an older version.
    const std::string killed = "data!global!items!inv.dc6.tarvane-tmp-0123456789abcdef";
    const std::string older = "readme.txt.tarvane-12-3.tmp";
    const std::vector<std::string> names = {"Notes.txt",   killed,       "inv.pcx",
                                            "inv.pcx.bak", "readme.txt", older};
    for (const std::string& name : names)
        WriteTextFile(overrides + name, name.find(".pcx") != std::string::npos ? picture : name);
    const int before = CountArchived(archive);
    dlg->OnFileSave();

    EXPECT_EQ(ReadArchived(archive, "readme.txt"), "readme.txt");
    EXPECT_EQ(ReadArchived(archive, "inv.pcx.bak"), picture);
    std::optional<std::string> dc6 = ReadArchived(archive, "data\\global\\items\\inv.dc6");
    ASSERT_TRUE(dc6.has_value());
    EXPECT_EQ(ReadU32(*dc6, 0), 6u);
    EXPECT_EQ(CountArchived(archive), before + 3); // and nothing else
    EXPECT_EQ(LastNote(*dlg), "Diablo II has been updated.");
    // The converted picture is gone again: nothing is left for a later save to add.
    std::vector<std::string> left;
    for (auto& entry : std::filesystem::directory_iterator(overrides))
        left.push_back(entry.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, names);

    // Clear deletes the temporaries too, and keeps only the notes.
    prompts.AnswerOkCancel(true);
    dlg->OnClearOverrides();
    EXPECT_EQ(LastNote(*dlg), "5 files cleared from overrides folder.");
    EXPECT_EQ(ReadTextFile(overrides + "Notes.txt"), "Notes.txt");
}

// Save As may name a file that does not exist yet: a new archive is made there, holding all
// nine tables and the overrides, and File > Open opens it.
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
