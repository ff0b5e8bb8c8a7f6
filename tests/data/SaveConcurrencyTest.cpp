// Two instances of the program save into one archive at the same moment.
#include "data/ModSaver.h"

#include "MpqFixture.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"
#include "TestNotes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <iostream>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using TableId = CGameDataSet::TableId;

constexpr const char* kFailureLine = "Failed to update files in MPQ. Please try again.";

std::string TableText(const std::string& origin, TableId id) {
    return "name\tvalue\r\n" + origin + "\t" + CGameDataSet::FileName(id) + "\r\n";
}

// The user takes their time over the question asked between the tables and the game run (the
// save holds the archive meanwhile): it is answered Cancel once the test closes `gate`.
class CSlowUser : public CScriptedPrompts {
public:
    explicit CSlowUser(int gate) : m_gate(gate) {}
    bool AskOkCancel(const std::string& text) override {
        log.push_back({Entry::Kind::OkCancel, text});
        char byte;
        while (::read(m_gate, &byte, 1) > 0) {
        }
        return false;
    }

private:
    int m_gate;
};

enum Report { kSaved = 10, kRefused = 20, kOther = 30 };

// One instance, in its own working folder: waits at `start`, then saves its tables.
[[noreturn]] void RunInstance(const std::string& folder, const std::string& origin,
                              const std::string& archivePath, const std::string& gameFolder,
                              int start, int answer) {
    if (::chdir(folder.c_str()) != 0)
        _exit(kOther);
    CGameDataSet data;
    for (TableId id : CGameDataSet::kDeclarationOrder)
        data.Table(id).Load(CGameDataSet::FileName(id));
    data.m_bBinTables = true; // the version whose save asks before running the game
    data.m_bModified = true;
    CMpqArchive archive(archivePath);
    CSlowUser prompts(answer);
    CTestNotes notes;
    char byte;
    while (::read(start, &byte, 1) > 0) {
    }
    CModSaver(data, &archive, gameFolder, prompts, notes).Save();

    auto holds = [&](const std::string& line) {
        return std::find(notes.lines.begin(), notes.lines.end(), line) != notes.lines.end();
    };
    for (const std::string& line : notes.lines)
        std::cerr << origin << ": " << line << "\n";
    if (!data.m_bModified && holds("Diablo II has been updated.") && !holds(kFailureLine))
        _exit(kSaved);
    if (data.m_bModified && holds(CMpqArchive::BusyNote(archivePath)) &&
        notes.lines.back() == kFailureLine && prompts.log.empty())
        _exit(kRefused);
    _exit(kOther);
}

TEST(SaveConcurrency, OfTwoSavesAtOnceOneGoesInWholeAndTheOtherSaysItCouldNotSave) {
    CTempFolder game;
    const std::string archive = game.File("Patch_D2.mpq");
    ArchiveFiles old;
    for (TableId id : CGameDataSet::kDeclarationOrder)
        old.emplace_back(CGameDataSet::ArchivePath(id), TableText("old", id));
    ASSERT_TRUE(MakeArchive(archive, old));

    const std::string origins[2] = {"first", "second"};
    CTempFolder folders[2];
    for (int i = 0; i < 2; ++i)
        for (TableId id : CGameDataSet::kDeclarationOrder)
            WriteTextFile(folders[i].File(CGameDataSet::FileName(id)), TableText(origins[i], id));

    int start[2], answer[2];
    ASSERT_EQ(::pipe(start), 0);
    ASSERT_EQ(::pipe(answer), 0);
    pid_t children[2];
    for (int i = 0; i < 2; ++i) {
        children[i] = fork();
        ASSERT_GE(children[i], 0);
        if (children[i] == 0) {
            ::close(start[1]);
            ::close(answer[1]);
            RunInstance(folders[i].Path(), origins[i], archive, game.Path(), start[0], answer[0]);
        }
    }
    ::close(start[0]);
    ::close(answer[0]);
    // Both go at once. The first to take the archive holds it until its user answers, which
    // happens only after the other has ended (or, should neither end, after a long while).
    ::close(start[1]);
    int status[2] = {-1, -1};
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(15);
    auto ended = [&] {
        bool any = false;
        for (int i = 0; i < 2; ++i) {
            if (status[i] == -1 && waitpid(children[i], &status[i], WNOHANG) != children[i])
                status[i] = -1;
            any = any || status[i] != -1;
        }
        return any;
    };
    while (!ended() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(ended()) << "both saves went on together";
    ::close(answer[1]);
    int reports[2];
    for (int i = 0; i < 2; ++i) {
        if (status[i] == -1) {
            ASSERT_EQ(waitpid(children[i], &status[i], 0), children[i]);
        }
        ASSERT_TRUE(WIFEXITED(status[i]));
        reports[i] = WEXITSTATUS(status[i]);
    }

    // One saved, the other said it could not and kept its edits marked.
    ASSERT_TRUE((reports[0] == kSaved && reports[1] == kRefused) ||
                (reports[0] == kRefused && reports[1] == kSaved))
        << "reports " << reports[0] << " and " << reports[1];
    const std::string& winner = origins[reports[0] == kSaved ? 0 : 1];
    for (TableId id : CGameDataSet::kDeclarationOrder)
        EXPECT_EQ(ReadArchived(archive, CGameDataSet::ArchivePath(id)), TableText(winner, id))
            << CGameDataSet::FileName(id);
}

} // namespace
