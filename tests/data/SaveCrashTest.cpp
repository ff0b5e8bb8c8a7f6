// Whole saves, backups and restores, killed at random moments: the patch archive must always
// open and hold, for every table and overrides file, either what it held before or what the
// killed operation wrote.
#include "data/ModSaver.h"
#include "data/PatchBackup.h"

#include "MpqFixture.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"
#include "TestNotes.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <functional>
#include <iostream>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

using TableId = CGameDataSet::TableId;

std::string TableText(const std::string& origin, TableId id) {
    std::string text = "name\tvalue\r\n";
    // Large enough that a save takes a while to copy and write.
    for (int row = 0; row < 3000; ++row)
        text += origin + std::to_string(row) + "\t" + CGameDataSet::FileName(id) + "\r\n";
    return text;
}

// The child: loads the new tables and saves them, with two overrides files.
[[noreturn]] void RunSave(const std::string& archivePath, const std::string& tablesFolder) {
    CGameDataSet data;
    for (TableId id : CGameDataSet::kDeclarationOrder)
        data.Table(id).Load(tablesFolder + "/" + CGameDataSet::FileName(id));
    data.m_bModified = true;
    CMpqArchive archive(archivePath);
    CScriptedPrompts prompts;
    CTestNotes notes;
    CModSaver(data, &archive, "", prompts, notes).Save();
    _exit(data.m_bModified ? 1 : 0);
}

// Kills `run`, started in a child, after a delay that follows the operation's own pace (load on
// the machine changes it): later after a kill that came too early to change anything, earlier
// after one that came too late. So the kills keep falling on both sides of the operation's
// last step, however slow the machine is.
class CKiller {
public:
    CKiller(std::chrono::steady_clock::duration took, unsigned seed)
        : m_delay(std::chrono::duration<double, std::micro>(took).count() / 2), m_random(seed) {}

    // False when the child ended otherwise than by finishing well or by the kill.
    bool Kill(const std::function<void()>& run) {
        pid_t child = fork();
        if (child == 0) {
            run();
            _exit(0);
        }
        if (child < 0)
            return false;
        std::this_thread::sleep_for(std::chrono::microseconds(
            static_cast<long long>(m_delay * std::uniform_real_distribution(0.5, 1.5)(m_random))));
        ::kill(child, SIGKILL);
        int status = 0;
        if (waitpid(child, &status, 0) != child)
            return false;
        ++m_kills;
        return WIFSIGNALED(status) || (WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }

    // Tells what the last kill left: the operation's result, or what was there before.
    void Outcome(bool changed) {
        (changed ? m_changed : m_unchanged)++;
        m_delay = changed ? m_delay * 0.7 : m_delay * 1.3 + 200;
    }

    int Kills() const { return m_kills; }
    int Changed() const { return m_changed; }
    int Unchanged() const { return m_unchanged; }

private:
    double m_delay;
    std::mt19937 m_random;
    int m_kills = 0, m_changed = 0, m_unchanged = 0;
};

// How long `run` takes in a child that is left to finish; false when it did not finish well.
bool TimeInChild(const std::function<void()>& run, std::chrono::steady_clock::duration& took) {
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0) {
        run();
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    took = std::chrono::steady_clock::now() - start;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::set<std::string> FolderNames(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

TEST(SaveCrash, KilledSavesLeaveOldOrNewContent) {
    CTempFolder work(true);
    CTempFolder game;
    CTempFolder tables;
    std::filesystem::create_directory(work.File("overrides"));
    WriteTextFile(work.File("overrides/data!global!excel!Levels.bin"), std::string(50000, 'L'));
    WriteTextFile(work.File("overrides/x!y.txt"), "override");

    ArchiveFiles old;
    for (TableId id : CGameDataSet::kDeclarationOrder) {
        old.emplace_back(CGameDataSet::ArchivePath(id), TableText("old", id));
        WriteTextFile(tables.File(CGameDataSet::FileName(id)), TableText("new", id));
    }
    const std::string pristine = game.File("pristine.mpq");
    const std::string archive = game.File("Patch_D2.mpq");
    ASSERT_TRUE(MakeArchive(pristine, old));

    auto fresh = [&] {
        for (auto& entry : std::filesystem::directory_iterator(game.Path()))
            if (entry.path() != pristine)
                std::filesystem::remove(entry.path());
        std::filesystem::copy_file(pristine, archive);
    };

    // One save without a kill, to learn how long it takes and that it completes.
    fresh();
    std::chrono::steady_clock::duration took;
    ASSERT_TRUE(TimeInChild([&] { RunSave(archive, tables.Path()); }, took));
    ASSERT_EQ(ReadArchived(archive, "x\\y.txt"), "override");

    CKiller killer(took, 20261207);
    for (int kill = 0; kill < 130; ++kill) {
        fresh();
        ASSERT_TRUE(killer.Kill([&] { RunSave(archive, tables.Path()); })) << "kill " << kill;

        ASSERT_GE(CountArchived(archive), 9) << "kill " << kill;
        bool isNew = ReadArchived(archive, "x\\y.txt").has_value();
        killer.Outcome(isNew);
        for (TableId id : CGameDataSet::kDeclarationOrder) {
            // TreasureClassEx is only saved for versions with compiled tables.
            bool expectNew = isNew && id != TableId::TreasureClassEx;
            EXPECT_EQ(ReadArchived(archive, CGameDataSet::ArchivePath(id)),
                      TableText(expectNew ? "new" : "old", id))
                << "kill " << kill << " " << CGameDataSet::FileName(id);
        }
        if (isNew) {
            EXPECT_EQ(ReadArchived(archive, "data\\global\\excel\\Levels.bin"),
                      std::string(50000, 'L'));
        }
    }
    // Both outcomes must have been seen, or the kills missed the save altogether.
    EXPECT_GT(killer.Unchanged(), 0);
    EXPECT_GT(killer.Changed(), 0);
    std::cout << "killed saves: " << killer.Unchanged() << " left the old archive, "
              << killer.Changed() << " the new one\n";
}

// Backup copies the game's archive into the working folder, Restore copies it back: a kill
// during either leaves Patch_D2.mpq whole, and what a killed backup left in the working folder
// is removed by the next one.
TEST(SaveCrash, KilledBackupsAndRestoresLeaveTheArchiveWhole) {
    CTempFolder work(true);
    CTempFolder game;
    const std::string archive = game.File("Patch_D2.mpq");
    const std::string original = work.File("original.mpq");
    const std::string modded = work.File("modded.mpq");
    // Large enough that a copy takes a while.
    ASSERT_TRUE(MakeArchive(original, {{"Data\\Global\\bulk.bin", Noise(6 << 20, 1)},
                                       {"Data\\Global\\Excel\\Armor.txt", "original armor"}}));
    ASSERT_TRUE(MakeArchive(modded, {{"Data\\Global\\bulk.bin", Noise(6 << 20, 2)},
                                     {"Data\\Global\\Excel\\Armor.txt", "modded armor"}}));
    const std::string originalBytes = ReadTextFile(original);
    const std::string moddedBytes = ReadTextFile(modded);
    auto put = [](const std::string& from, const std::string& to) {
        std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
    };
    auto backup = [&] {
        CScriptedPrompts prompts;
        CTestNotes notes;
        CPatchBackup(prompts, notes).Backup(game.Path());
        _exit(FileExists(CPatchBackup::kBackupFile) ? 0 : 1);
    };
    auto restore = [&] {
        CScriptedPrompts prompts;
        prompts.AnswerYesNo(true);
        prompts.AnswerYesNo(false);
        CTestNotes notes;
        CPatchBackup(prompts, notes).Restore(game.Path());
        _exit(notes.lines.back().find("restored from the backup") == std::string::npos);
    };

    // Backups of the original game archive.
    put(original, archive);
    std::chrono::steady_clock::duration took;
    ASSERT_TRUE(TimeInChild(backup, took));
    ASSERT_EQ(ReadTextFile(CPatchBackup::kBackupFile), originalBytes);
    CKiller backups(took, 7);
    for (int kill = 0; kill < 40; ++kill) {
        std::filesystem::remove(CPatchBackup::kBackupFile);
        ASSERT_TRUE(backups.Kill(backup)) << "backup kill " << kill;
        ASSERT_EQ(ReadTextFile(archive), originalBytes) << "backup kill " << kill;
        bool made = FileExists(CPatchBackup::kBackupFile);
        backups.Outcome(made);
        if (made) {
            ASSERT_EQ(ReadTextFile(CPatchBackup::kBackupFile), originalBytes)
                << "backup kill " << kill;
        }
    }
    EXPECT_GT(backups.Unchanged(), 0);
    EXPECT_GT(backups.Changed(), 0);
    // A whole backup at last; the copies killed backups left are gone with it.
    std::filesystem::remove(CPatchBackup::kBackupFile);
    ASSERT_TRUE(TimeInChild(backup, took));
    EXPECT_EQ(FolderNames(work.Path()),
              (std::set<std::string>{CPatchBackup::kBackupFile, "modded.mpq", "original.mpq"}));

    // Restores over a modded game archive.
    put(modded, archive);
    ASSERT_TRUE(TimeInChild(restore, took));
    ASSERT_EQ(ReadTextFile(archive), originalBytes);
    CKiller restores(took, 11);
    for (int kill = 0; kill < 40; ++kill) {
        put(modded, archive);
        ASSERT_TRUE(restores.Kill(restore)) << "restore kill " << kill;
        std::string now = ReadTextFile(archive);
        ASSERT_TRUE(now == originalBytes || now == moddedBytes)
            << "restore kill " << kill << ": Patch_D2.mpq is neither the old nor the restored one";
        restores.Outcome(now == originalBytes);
        EXPECT_EQ(ReadTextFile(CPatchBackup::kBackupFile), originalBytes);
    }
    EXPECT_GT(restores.Unchanged(), 0);
    EXPECT_GT(restores.Changed(), 0);
    // The next restore removes what the killed ones left beside the game's archive.
    put(modded, archive);
    ASSERT_TRUE(TimeInChild(restore, took));
    EXPECT_EQ(FolderNames(game.Path()), std::set<std::string>{"Patch_D2.mpq"});
    EXPECT_GE(backups.Kills() + restores.Kills(), 80);
    std::cout << "killed backups: " << backups.Unchanged() << " made none, " << backups.Changed()
              << " a whole one; killed restores: " << restores.Unchanged() << " left the old "
              << "archive, " << restores.Changed() << " the restored one\n";
}

} // namespace
