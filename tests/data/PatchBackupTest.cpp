#include "data/PatchBackup.h"

#include "platform/FileSystem.h"

#include "ScriptedPrompts.h"
#include "TempFolder.h"
#include "TestNotes.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class PatchBackupTest : public ::testing::Test {
protected:
    CTempFolder work{true};
    CTempFolder game;
    CScriptedPrompts prompts;
    CTestNotes notes;
    CPatchBackup backup{prompts, notes};
};

TEST_F(PatchBackupTest, NeedsTheGameFolder) {
    backup.Backup("");
    backup.Restore("");
    EXPECT_EQ(prompts.Messages(),
              std::vector<std::string>(
                  2, "No Diablo II folder has been set. Use the File menu to do so."));
    EXPECT_FALSE(FileExists("Morsk_D2.mpq"));
    EXPECT_TRUE(notes.lines.empty());
}

TEST_F(PatchBackupTest, BacksUpOnceAndRestores) {
    WriteTextFile(game.File("Patch_D2.mpq"), "original");
    backup.Backup(game.Path());
    EXPECT_EQ(ReadTextFile(work.File("Morsk_D2.mpq")), "original");

    // A second backup keeps the first copy even though the game's archive changed.
    WriteTextFile(game.File("Patch_D2.mpq"), "modded");
    backup.Backup(game.Path());
    EXPECT_EQ(ReadTextFile(work.File("Morsk_D2.mpq")), "original");
    EXPECT_EQ(notes.lines, (std::vector<std::string>{"Patch_D2.mpq has been backed up.",
                                                     "Patch_D2.mpq has already been backed up."}));

    // No at the first question changes nothing.
    prompts.AnswerYesNo(false);
    backup.Restore(game.Path());
    EXPECT_EQ(ReadTextFile(game.File("Patch_D2.mpq")), "modded");

    // Yes, then No: restored, backup kept.
    prompts.AnswerYesNo(true);
    prompts.AnswerYesNo(false);
    backup.Restore(game.Path());
    EXPECT_EQ(ReadTextFile(game.File("Patch_D2.mpq")), "original");
    EXPECT_TRUE(FileExists("Morsk_D2.mpq"));

    // Yes twice: restored and the backup removed.
    WriteTextFile(game.File("Patch_D2.mpq"), "modded again");
    prompts.AnswerYesNo(true);
    prompts.AnswerYesNo(true);
    backup.Restore(game.Path());
    EXPECT_EQ(ReadTextFile(game.File("Patch_D2.mpq")), "original");
    EXPECT_FALSE(FileExists("Morsk_D2.mpq"));
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::YesNo),
              (std::vector<std::string>{"Restore Diablo to its default settings ?",
                                        "Restore Diablo to its default settings ?",
                                        "Diablo II has been restored, remove backup ?",
                                        "Restore Diablo to its default settings ?",
                                        "Diablo II has been restored, remove backup ?"}));
    EXPECT_EQ(notes.lines.back(), "Diablo II has been restored to its default settings.");
}

TEST_F(PatchBackupTest, RestoreWithoutBackupAsksNothing) {
    backup.Restore(game.Path());
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{"No Backup file found."}));
    EXPECT_TRUE(prompts.TextsOf(CScriptedPrompts::Entry::Kind::YesNo).empty());
}

TEST_F(PatchBackupTest, FailedCopiesAreReportedAndLoseNothing) {
    // No Patch_D2.mpq in the game folder: no backup, and the notes say so.
    backup.Backup(game.Path());
    EXPECT_FALSE(FileExists("Morsk_D2.mpq"));
    ASSERT_EQ(notes.lines.size(), 1u);
    EXPECT_NE(notes.lines[0].find("nothing was backed up"), std::string::npos);

    // A restore whose copy fails keeps the game's archive and the backup, and asks nothing more.
    WriteTextFile(work.File("Morsk_D2.mpq"), "backup");
    std::string missingGame = game.Path() + "\\no-such-folder";
    prompts.AnswerYesNo(true);
    backup.Restore(missingGame);
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::YesNo).size(), 1u);
    EXPECT_NE(notes.lines.back().find("not restored"), std::string::npos);
    EXPECT_EQ(ReadTextFile(work.File("Morsk_D2.mpq")), "backup");

    // The backup lives in the working folder: another working folder finds none.
    CTempFolder elsewhere(true);
    backup.Restore(game.Path());
    EXPECT_EQ(prompts.Messages().back(), "No Backup file found.");
}

} // namespace
