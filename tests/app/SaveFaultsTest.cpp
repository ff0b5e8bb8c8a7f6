// Saves on a failing disk: the notes say what the archive holds, and the edits stay marked until
// everything is in it.
#include "FaultyDisk.h"
#include "FileSaveFixture.h"

namespace {

using Call = CFaultyDisk::Call;

TEST_F(FileSaveTest, AFailingDiskIsNamedAndTheEditsStayMarked) {
    archive = game.File("Patch_D2.mpq"); // as each window below opens it
    const std::string failed = "Failed to update files in MPQ. Please try again.";
    const std::string updated = "Diablo II has been updated.", copy = ".mpq.tarvane-tmp-";
    // The archive's copy, not the list of names written beside it.
    auto isCopy = [&](const std::string& p) { return p.find(copy) == p.size() - copy.size() - 16; };
    int writes = 0; // to the archive's copies: the eight tables, then x!y.txt
    struct Case {
        Call call;
        std::function<bool(const std::string&)> fails;
        int error;
        bool saveAs;
        std::string message, note, last;
    } cases[] = {
        {Call::Write, [](auto& p) { return p.compare(p.rfind('/') + 1, 3, "tmp") == 0; }, ENOSPC,
         false, "The disk is full.", "monstats.txt could not be written, so nothing was saved.",
         failed},
        {Call::Write, [](auto& p) { return p.find("/tmpLevels") != p.npos; }, EIO, true,
         "There was a hardware error.", "Levels.txt could not be written, so nothing was saved.",
         failed},
        {Call::Write, isCopy, ENOSPC, false, "", "The disk is full.", failed},
        {Call::Write, [&](auto& p) { return isCopy(p) && ++writes == 9; }, EIO, false, "",
         "x!y.txt could not be added to the archive as x\\y.txt.",
         "The tables are in the archive, but not every file of the overrides folder is. Save again "
         "once the files named above can be added."},
        {Call::Sync, [&](auto& p) { return p == game.Path(); }, EIO, false, "",
         archive + " was replaced, but the disk did not confirm", updated},
        {Call::Chown, isCopy, EPERM, false, "",
         archive + " now belongs to root; it belonged to 4321.", updated},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.note);
        std::filesystem::remove(game.File("d2data.mpq"));
        std::filesystem::remove(game.File("Patch_D2.mpq"));
        auto dlg = OpenWindow(Tables("patch"));
        WriteTextFile(work.File("overrides/x!y.txt"), "override");
        if (::chown(archive.c_str(), 4321, 4321) != 0 && c.call == Call::Chown)
            continue; // only root can give the archive away first
        EditAll(*dlg);
        const std::string before = ReadTextFile(archive), fresh = game.File("fresh.mpq");
        prompts.log.clear();
        {
            CFaultyDisk disk(
                [&](Call call, auto& p) { return call == c.call && c.fails(p) ? c.error : 0; });
            if (c.saveAs)
                prompts.AnswerSaveFile(fresh);
            c.saveAs ? dlg->OnFileSaveAs() : dlg->OnFileSave();
        }
        EXPECT_EQ(prompts.Messages(), std::vector<std::string>(!c.message.empty(), c.message));
        EXPECT_TRUE(Mentions(*dlg, c.note)) << dlg->NotesText();
        EXPECT_EQ(LastNote(*dlg), c.last);
        EXPECT_EQ(dlg->m_data.m_bModified, c.call != Call::Chown);
        EXPECT_EQ(ReadTextFile(archive) == before, c.last == failed);
        EXPECT_FALSE(FileExists(fresh) || Mentions(*dlg, "A new archive was made"));
    }
}

} // namespace
