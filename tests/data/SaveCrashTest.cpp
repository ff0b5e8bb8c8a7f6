// A whole save, killed at random moments: the archive must always open and hold, for every
// table and overrides file, either what it held before the save or what the save wrote.
#include "data/ModSaver.h"

#include "MpqFixture.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"
#include "TestNotes.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <random>
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
    auto start = std::chrono::steady_clock::now();
    pid_t child = fork();
    if (child == 0)
        RunSave(archive, tables.Path());
    int status = 0;
    waitpid(child, &status, 0);
    auto took = std::chrono::steady_clock::now() - start;
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    ASSERT_EQ(ReadArchived(archive, "x\\y.txt"), "override");

    std::mt19937 random(20261207);
    int oldCount = 0, newCount = 0;
    for (int kill = 0; kill < 50; ++kill) {
        fresh();
        auto delay = std::chrono::duration_cast<std::chrono::microseconds>(took) *
                     std::uniform_real_distribution<double>(0.0, 1.5)(random);
        child = fork();
        if (child == 0)
            RunSave(archive, tables.Path());
        std::this_thread::sleep_for(delay);
        ::kill(child, SIGKILL);
        waitpid(child, &status, 0);

        ASSERT_GE(CountArchived(archive), 9) << "kill " << kill;
        bool isNew = ReadArchived(archive, "x\\y.txt").has_value();
        (isNew ? newCount : oldCount)++;
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
    EXPECT_GT(oldCount, 0);
    EXPECT_GT(newCount, 0);
    std::cout << "killed saves: " << oldCount << " left the old archive, " << newCount
              << " the new one\n";
}

} // namespace
