// Saves into a mod folder killed at random moments: every file stays wholly from one save.
#include "store/ModFolderStore.h"

#include "TempFolder.h"
#include "TestNotes.h"
#include "platform/FileSystem.h"

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

const std::vector<std::string> kNames = {
    "Data\\Global\\Excel\\Armor.txt",       "Data\\Global\\Excel\\MonStats.txt",
    "Data\\Global\\Excel\\base\\Armor.txt", "Data\\Global\\Excel\\base\\MonStats.txt",
    "Data\\Local\\Lng\\strings.txt",        "Data\\Global\\Excel\\Levels.txt"};

// Large enough that writing and flushing a batch takes a while.
std::string Content(int generation, std::size_t file) {
    return "generation " + std::to_string(generation) + "\r\n" +
           std::string(60000, static_cast<char>('a' + (generation * 7 + file) % 26));
}

bool Save(CModStore& store, int generation) {
    std::vector<std::pair<std::string, std::string>> files;
    for (std::size_t i = 0; i < kNames.size(); ++i)
        files.emplace_back(kNames[i], Content(generation, i));
    std::string error;
    return store.WriteBatch(files, error);
}

// The save a file is wholly from; -1 for a file that is from none.
int GenerationOf(const CModStore& store, std::size_t file) {
    std::string bytes;
    if (!store.ReadFile(kNames[file], bytes) || bytes.size() < 12)
        return -1;
    const int generation = std::atoi(bytes.c_str() + 11);
    return bytes == Content(generation, file) ? generation : -1;
}

[[noreturn]] void SaveAgainAndAgain(const std::string& mod, int from) {
    std::string error;
    auto store = CModFolderStore::Open(mod, error);
    for (int generation = from; store && Save(*store, generation);)
        ++generation;
    _exit(1);
}

TEST(ModFolderSaveCrash, KilledSavesLeaveEveryFileFromTheSameSave) {
    CTempFolder mods;
    std::string error;
    ASSERT_TRUE(CModFolderStore::Create(mods.Path(), "m", error));
    const std::string mod = mods.File("m");
    auto store = CModFolderStore::Open(mod, error);
    using namespace std::chrono;
    const auto start = steady_clock::now();
    ASSERT_TRUE(Save(*store, 0));
    // Kills fall anywhere in the child's first few saves, whatever the pace of the machine.
    std::uniform_int_distribution<long long> moment(
        0, 3 * duration_cast<microseconds>(steady_clock::now() - start).count());
    std::mt19937 random(20261207);
    int generation = 0, unchanged = 0, journals = 0;
    for (int kill = 0; kill < 120; ++kill) {
        const pid_t child = fork();
        if (child == 0)
            SaveAgainAndAgain(mod, generation + 1);
        std::this_thread::sleep_for(microseconds(moment(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "kill " << kill << ": the save failed";
        journals += FileExists(store->JournalPath());
        CTestNotes notes;
        ASSERT_TRUE(CModFolderStore::Recover(mod, notes)) << "kill " << kill;
        const int now = GenerationOf(*store, 0);
        for (std::size_t file = 0; file < kNames.size(); ++file)
            ASSERT_EQ(GenerationOf(*store, file), now) << "kill " << kill << " " << kNames[file];
        ASSERT_GE(now, generation) << "kill " << kill;
        unchanged += now == generation;
        generation = now;
        // Nothing of the killed save is left: 7 folders, the 6 files and modinfo.json.
        ASSERT_EQ(std::distance(std::filesystem::recursive_directory_iterator(mod), {}), 14);
    }
    EXPECT_GT(journals, 0);
    std::cout << "killed saves: " << unchanged << " left the old files, " << 120 - unchanged
              << " new ones; " << journals << " were finished from the journal\n";
}

} // namespace
