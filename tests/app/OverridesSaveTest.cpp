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
} // namespace
