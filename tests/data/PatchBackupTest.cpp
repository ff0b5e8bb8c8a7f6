#include "data/PatchBackup.h"

#include "platform/FileSystem.h"

#include "OtherInstanceLock.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"
#include "TestNotes.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <sys/time.h>
#include <sys/xattr.h>
#include <unistd.h>

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
    EXPECT_EQ(notes.lines.back().rfind("Diablo II has been restored from the backup of ", 0), 0u);
}

// A read-only archive is replaced only when the user says so; the note names the backup put back
// (the one slot may hold a modded archive).
TEST_F(PatchBackupTest, RestoreAsksBeforeReplacingAReadOnlyArchiveAndNamesTheBackup) {
    const std::string patch = game.File("Patch_D2.mpq");
    WriteTextFile(patch, "modded");
    WriteTextFile(work.File("Morsk_D2.mpq"), "original");
    const struct timeval made[2] = {{1614834360, 0}, {1614834360, 0}}; // 2021-03-04 05:06 UTC
    ASSERT_TRUE(::chmod(patch.c_str(), 0444) == 0 && ::utimes("Morsk_D2.mpq", made) == 0);
    ::setenv("TZ", "UTC", 1);
    for (bool yes : {true, false, true, true, false})
        prompts.AnswerYesNo(yes);
    backup.Restore(game.Path());
    EXPECT_EQ(ReadTextFile(patch), "modded");
    backup.Restore(game.Path());
    EXPECT_EQ(ReadTextFile(patch), "original");
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::YesNo)[1],
              patch + " is read-only. Replace it anyway?");
    EXPECT_EQ(notes.lines,
              (std::vector<std::string>{
                  "Patch_D2.mpq is read-only, so Diablo II was not restored.",
                  "Diablo II has been restored from the backup of 2021-03-04 05:06."}));
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

TEST_F(PatchBackupTest, RestoreReplacesTheFileALinkNamesAndKeepsItsAttributes) {
    CTempFolder elsewhere;
    const std::string real = elsewhere.File("real.mpq");
    WriteTextFile(real, "modded");
    ASSERT_EQ(::chmod(real.c_str(), 0640), 0);
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown(real.c_str(), 4321, 8765), 0);
    }
    const bool xattrs = ::setxattr(real.c_str(), "user.tarvane.origin", "cd", 2, 0) == 0;
    std::filesystem::create_symlink(real, game.File("Patch_D2.mpq"));
    ASSERT_TRUE(LinkFile(real, elsewhere.File("second-name.mpq")));
    WriteTextFile(work.File("Morsk_D2.mpq"), "original");

    prompts.AnswerYesNo(true);
    prompts.AnswerYesNo(false);
    backup.Restore(game.Path());
    EXPECT_TRUE(std::filesystem::is_symlink(game.File("Patch_D2.mpq")));
    EXPECT_EQ(ReadTextFile(real), "original");
    // The archive's other name still shows the old content, and the notes say so.
    EXPECT_EQ(ReadTextFile(elsewhere.File("second-name.mpq")), "modded");
    EXPECT_EQ(notes.lines.front(), "Patch_D2.mpq has 1 other name(s) (hard links), which still "
                                   "show the archive as it was before the restore.");
    struct stat st;
    ASSERT_EQ(::stat(real.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(st.st_uid, 4321u);
        EXPECT_EQ(st.st_gid, 8765u);
    }
    if (xattrs) {
        char value[8] = {};
        EXPECT_EQ(::getxattr(real.c_str(), "user.tarvane.origin", value, sizeof value), 2);
        EXPECT_STREQ(value, "cd");
    }
    EXPECT_EQ(ListFolder(elsewhere.Path()).size(), 2u);
    EXPECT_EQ(ListFolder(game.Path()).size(), 1u);
    if (!root || !xattrs)
        GTEST_SKIP() << (root ? "" : "not root, so the owner could not be changed; ")
                     << (xattrs ? "" : "no user extended attributes on this file system");
}

TEST_F(PatchBackupTest, WhileAnotherProgramSavesNothingChangesAndLeftoversGoAfterwards) {
    WriteTextFile(game.File("Patch_D2.mpq"), "modded");
    WriteTextFile(work.File("Morsk_D2.mpq"), "original");
    {
        COtherInstanceLock other(game.File("Patch_D2.mpq"));
        ASSERT_TRUE(other.Held());
        prompts.AnswerYesNo(true);
        backup.Restore(game.Path());
    }
    EXPECT_EQ(notes.lines, (std::vector<std::string>{
                               "Waiting for another program to finish saving Patch_D2.mpq...",
                               "Patch_D2.mpq is being saved by another program, so "
                               "Diablo II was not restored. Try again when it has "
                               "finished."}));
    EXPECT_EQ(ReadTextFile(game.File("Patch_D2.mpq")), "modded");
    EXPECT_EQ(ReadTextFile(work.File("Morsk_D2.mpq")), "original");

    // A backup that was killed left a whole copy beside the backup file; one that is being
    // written now is another program's, and stays.
    RemoveFile(work.File("Morsk_D2.mpq"));
    const std::string copy = TemporaryPathBeside(work.File("Morsk_D2.mpq"));
    WriteTextFile(copy, "modded");
    {
        COtherInstanceLock other(work.File("Morsk_D2.mpq"));
        ASSERT_TRUE(other.Held());
        backup.Backup(game.Path());
    }
    EXPECT_EQ(notes.lines.back(), "Patch_D2.mpq is being backed up by another program, so "
                                  "nothing was backed up here.");
    EXPECT_TRUE(FileExists(copy));
    EXPECT_FALSE(FileExists(work.File("Morsk_D2.mpq")));

    backup.Backup(game.Path());
    EXPECT_EQ(notes.lines.back(), "Patch_D2.mpq has been backed up.");
    EXPECT_EQ(ReadTextFile(work.File("Morsk_D2.mpq")), "modded");
    EXPECT_EQ(ListFolder(work.Path()).size(), 1u);
}

} // namespace
