// Saves into a mod folder killed at random moments: after the next open every file of the batch
// is wholly from one save, the same one for all of them.
#include "store/ModFolderStore.h"

#include "Killer.h"
#include "TempFolder.h"
#include "TestNotes.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iostream>
#include <unistd.h>

namespace {

const std::vector<std::string> kNames = {
    "Data\\Global\\Excel\\Armor.txt",       "Data\\Global\\Excel\\MonStats.txt",
    "Data\\Global\\Excel\\base\\Armor.txt", "Data\\Global\\Excel\\base\\MonStats.txt",
    "Data\\Local\\Lng\\strings.txt",        "Data\\Global\\Excel\\Levels.txt"};

std::string Content(int generation, std::size_t file) {
    // Large enough that writing and flushing a batch takes a while.
    return "generation " + std::to_string(generation) + "\r\n" +
           std::string(60000, static_cast<char>('a' + (generation * 7 + file) % 26));
}

std::vector<std::pair<std::string, std::string>> Batch(int generation) {
    std::vector<std::pair<std::string, std::string>> files;
    for (std::size_t i = 0; i < kNames.size(); ++i)
        files.emplace_back(kNames[i], Content(generation, i));
    return files;
}

// The save a file is wholly from; -1 for a file that is from none.
int GenerationOf(const CModStore& store, std::size_t file) {
    std::string bytes;
    if (!store.ReadFile(kNames[file], bytes))
        return -1;
    const int generation = std::atoi(bytes.c_str() + std::string("generation ").size());
    return bytes == Content(generation, file) ? generation : -1;
}

[[noreturn]] void SaveAgainAndAgain(const std::string& mod, int from) {
    std::string error;
    auto store = CModFolderStore::Open(mod, error);
    for (int generation = from; store; ++generation)
        if (!store->WriteBatch(Batch(generation), error))
            break;
    _exit(1);
}

TEST(ModFolderSaveCrash, KilledSavesLeaveEveryFileFromTheSameSave) {
    CTempFolder mods;
    std::string error;
    ASSERT_TRUE(CModFolderStore::Create(mods.Path(), "m", error));
    const std::string mod = mods.File("m");
    auto store = CModFolderStore::Open(mod, error);
    ASSERT_TRUE(store->WriteBatch(Batch(0), error)) << error;
    std::chrono::steady_clock::duration took;
    ASSERT_TRUE(TimeInChild([&] { _exit(store->WriteBatch(Batch(1), error) ? 0 : 1); }, took));

    CKiller killer(took, 20261207);
    int generation = 1, journals = 0;
    for (int kill = 0; kill < 120; ++kill) {
        ASSERT_TRUE(killer.Kill([&] { SaveAgainAndAgain(mod, generation + 1); }));
        journals += FileExists(store->JournalPath());
        CTestNotes notes;
        ASSERT_TRUE(CModFolderStore::Recover(mod, notes)) << "kill " << kill;
        const int now = GenerationOf(*store, 0);
        for (std::size_t file = 0; file < kNames.size(); ++file)
            ASSERT_EQ(GenerationOf(*store, file), now) << "kill " << kill << " " << kNames[file];
        ASSERT_GE(now, generation) << "kill " << kill;
        killer.Outcome(now > generation);
        generation = now;
        // Nothing of the killed save is left beside the files.
        std::size_t files = 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(mod))
            files += entry.is_regular_file();
        ASSERT_EQ(files, kNames.size() + 1) << "kill " << kill;
    }
    EXPECT_GT(killer.Unchanged(), 0);
    EXPECT_GT(killer.Changed(), 0);
    std::cout << "killed saves: " << killer.Unchanged() << " left the old files, "
              << killer.Changed() << " new ones; " << journals
              << " were finished from the journal\n";
}

} // namespace
