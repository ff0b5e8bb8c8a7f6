// Saves on a failing disk: the notes say what the archive holds; the edits stay marked until it
// holds them all.
#include "FileSaveFixture.h"

#include <atomic>
#include <sys/syscall.h>

// The failing disk: the C library's write, fsync and fchown are defined again in this executable,
// which comes first for the program and StormLib alike. While a test sets g_fault, each such call
// is shown to it with its file's path; an errno value other than 0 fails the call with it.
enum class Call { Write, Sync, Chown };
static std::atomic<std::function<int(Call, const std::string&)>*> g_fault{nullptr};

static long Unless(Call call, int fd, long number, long a = 0, long b = 0) {
    auto* fault = g_fault.load(); // no lock: a child made by fork() could wait for it for ever
    std::error_code ec;
    const std::string link = "/proc/self/fd/" + std::to_string(fd);
    const int error = fault ? (*fault)(call, std::filesystem::read_symlink(link, ec)) : 0;
    return error != 0 ? (errno = error, -1) : ::syscall(number, fd, a, b);
}

extern "C" ssize_t write(int fd, const void* data, size_t size) {
    return Unless(Call::Write, fd, SYS_write, long(data), long(size));
}

extern "C" int fsync(int fd) {
    return int(Unless(Call::Sync, fd, SYS_fsync));
}

extern "C" int fchown(int fd, uid_t owner, gid_t group) noexcept {
    return int(Unless(Call::Chown, fd, SYS_fchown, long(owner), long(group)));
}

namespace {

TEST_F(FileSaveTest, AFailingDiskIsNamedAndTheEditsStayMarked) {
    archive = game.File("Patch_D2.mpq"); // as each window below opens it
    const std::string failed = "Failed to update files in MPQ. Please try again.",
                      updated = "Diablo II has been updated.", copy = ".mpq.tarvane-tmp-";
    auto isCopy = [&](const std::string& p) { return p.find(copy) == p.size() - copy.size() - 16; };
    int writes = 0; // to the archive's copies (not the list of names): eight tables, then x!y.txt
    struct Case {
        Call call;
        std::function<bool(const std::string&)> fails;
        int error;
        std::string message, note, last;
    } cases[] = {
        {Call::Write, [](auto& p) { return p.compare(p.rfind('/') + 1, 3, "tmp") == 0; }, ENOSPC,
         "The disk is full.", "monstats.txt could not be written, so nothing was saved.", failed},
        {Call::Write, isCopy, ENOSPC, "", "The disk is full.", failed},
        {Call::Write, [&](auto& p) { return isCopy(p) && ++writes == 9; }, EIO, "",
         "x!y.txt could not be added to the archive as x\\y.txt.",
         "The tables are in the archive, but not every file of the overrides folder is. Save again "
         "once the files named above can be added."},
        {Call::Sync, [&](auto& p) { return p == game.Path(); }, EIO, "",
         archive + " was replaced, but the disk did not confirm", updated},
        {Call::Chown, isCopy, EPERM, "", archive + " now belongs to root; it belonged to 4321.",
         updated},
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
        const std::string before = ReadTextFile(archive);
        prompts.log.clear();
        std::function<int(Call, const std::string&)> fault = [&](Call call, auto& p) {
            return call == c.call && c.fails(p) ? c.error : 0;
        };
        g_fault = &fault;
        dlg->OnFileSave();
        g_fault = nullptr;
        EXPECT_EQ(prompts.Messages(), std::vector<std::string>(!c.message.empty(), c.message));
        EXPECT_TRUE(Mentions(*dlg, c.note)) << dlg->NotesText();
        EXPECT_EQ(LastNote(*dlg), c.last);
        EXPECT_EQ(dlg->m_data.m_bModified, c.call != Call::Chown);
        EXPECT_EQ(ReadTextFile(archive) == before, c.last == failed);
    }
}

} // namespace
