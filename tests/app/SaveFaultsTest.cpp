// Saves on a failing disk: the notes say what the archive holds, and the edits stay marked until
// everything is in it.
#include "FaultyDisk.h"
#include "FileSaveFixture.h"

#include <functional>

namespace {

using TableId = CGameDataSet::TableId;
using Call = CFaultyDisk::Call;

std::string NameOf(const std::string& path) {
    return path.substr(path.rfind('/') + 1);
}

// Every call of the kind whose path `hits` fails with `error`.
CFaultyDisk::Rule Failing(Call kind, int error, std::function<bool(const std::string&)> hits) {
    return
        [=](Call call, const std::string& path) { return call == kind && hits(path) ? error : 0; };
}

TEST_F(FileSaveTest, AFailingDiskIsNamedAndTheEditsStayMarked) {
    const std::string copy = "Patch_D2.mpq.tarvane-tmp-";
    auto workCopy = [copy](const std::string& path) {
        return NameOf(path).size() == copy.size() + 16 && NameOf(path).rfind(copy, 0) == 0;
    };
    int writes = 0; // to copies of the archive: the eight tables come first, then x!y.txt
    const bool root = ::geteuid() == 0;
    struct Case {
        const char* name;
        bool compiled;
        const char* saveAs;
        CFaultyDisk::Rule rule;
        std::vector<std::string> messages;
        std::string note, last;
        bool changed, marked;
    };
    const std::string failed = "Failed to update files in MPQ. Please try again.";
    const std::string folder = game.Path();
    const Case cases[] = {
        {"full disk for the tables' copies",
         true,
         nullptr,
         Failing(Call::Write, ENOSPC, [](auto& p) { return NameOf(p).rfind("tmp", 0) == 0; }),
         {"The disk is full."},
         "monstats.txt could not be written, so nothing was saved.",
         failed,
         false,
         true},
        {"one table's copy for a new archive",
         false,
         "fresh.mpq",
         Failing(Call::Write, EIO, [](auto& p) { return NameOf(p).rfind("tmpLevels", 0) == 0; }),
         {"There was a hardware error."},
         "Levels.txt could not be written, so nothing was saved.",
         failed,
         false,
         true},
        {"full disk for the archive's copy",
         false,
         nullptr,
         Failing(Call::Write, ENOSPC, workCopy),
         {},
         "The disk is full.",
         failed,
         false,
         true},
        {"an overrides file",
         false,
         nullptr,
         [&](Call call, const std::string& p) {
             return call == Call::Write && workCopy(p) && ++writes == 9 ? EIO : 0;
         },
         {},
         "x!y.txt could not be added to the archive as x\\y.txt.",
         "The tables are in the archive, but not every file of the overrides folder is. Save "
         "again once the files named above can be added.",
         true,
         true},
        {"read-only folder",
         false,
         nullptr,
         Failing(Call::Create, EROFS, workCopy),
         {},
         folder + " is read-only, so nothing was saved.",
         failed,
         false,
         true},
        {"folder not flushed",
         false,
         nullptr,
         Failing(Call::Sync, EIO, [&](auto& p) { return p == folder; }),
         {},
         archive + " was replaced, but the disk did not confirm",
         "Diablo II has been updated.",
         true,
         true},
        {"owner not kept",
         false,
         nullptr,
         Failing(Call::Chown, EPERM, workCopy),
         {},
         archive + " now belongs to root; it belonged to 4321.",
         "Diablo II has been updated.",
         true,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (std::string(c.name) == "owner not kept" && !root)
            continue; // needs root to give the archive away first
        std::filesystem::remove(game.File("d2data.mpq"));
        std::filesystem::remove(game.File("Patch_D2.mpq"));
        auto dlg = OpenWindow(Tables("patch"));
        WriteTextFile(work.File("overrides/x!y.txt"), "override");
        if (root) {
            ASSERT_EQ(::chown(archive.c_str(), 4321, 4321), 0);
        }
        dlg->m_data.m_bBinTables = c.compiled;
        EditAll(*dlg);
        const std::string before = ReadTextFile(archive);
        const auto messages = static_cast<std::ptrdiff_t>(prompts.Messages().size());
        {
            CFaultyDisk disk(c.rule);
            if (c.saveAs != nullptr) {
                prompts.AnswerSaveFile(game.File(c.saveAs));
                dlg->OnFileSaveAs();
            } else {
                dlg->OnFileSave();
            }
        }
        std::vector<std::string> shown = prompts.Messages();
        EXPECT_EQ(std::vector<std::string>(shown.begin() + messages, shown.end()), c.messages);
        EXPECT_TRUE(Mentions(*dlg, c.note)) << dlg->NotesText();
        EXPECT_EQ(LastNote(*dlg), c.last);
        EXPECT_EQ(dlg->m_data.m_bModified, c.marked);
        EXPECT_EQ(ReadTextFile(archive) != before, c.changed);
        EXPECT_FALSE(c.saveAs && FileExists(game.File(c.saveAs)));
        EXPECT_FALSE(Mentions(*dlg, "A new archive was made"));
        WaitForBackgroundRemovals();
        EXPECT_EQ(ListFolder(game.Path()).size(), 2u);
    }
}

// An archive made without a table by an earlier version gets it at the next save.
TEST_F(FileSaveTest, ASaveAddsTheTableTheArchiveLacks) {
    ArchiveFiles files = Tables("patch");
    const std::string lacking = CGameDataSet::ArchivePath(TableId::TreasureClassEx);
    std::erase_if(files, [&](const auto& file) { return file.first == lacking; });
    auto dlg = OpenWindow(files);
    EditAll(*dlg);
    dlg->OnFileSave();
    EXPECT_EQ(ReadArchived(archive, lacking), Edited(TableId::TreasureClassEx));
}

} // namespace
