#include "data/MpqArchive.h"

#include "MpqFixture.h"
#include "TempFolder.h"
#include "platform/FileSystem.h"

#include <chrono>
#include <csignal>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <set>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int kTables = 9;
constexpr int kKills = 60;
constexpr size_t kTableSize = 60000;

std::string TableName(int table) {
    return "Data\\Global\\Excel\\table" + std::to_string(table) + ".txt";
}

// Content that names its version on the first line, then bytes that do not compress.
std::string TableContent(int table, int version) {
    std::string text = std::to_string(version) + "\n";
    unsigned seed = static_cast<unsigned>(table * 7919 + version);
    while (text.size() < kTableSize) {
        seed = seed * 1103515245u + 12345u;
        text += static_cast<char>(seed >> 16);
    }
    return text;
}

// The version a read table holds, or -1 when it is not one of ours.
int VersionOf(int table, const std::string& content) {
    auto end = content.find('\n');
    if (end == std::string::npos)
        return -1;
    int version = std::stoi(content.substr(0, end));
    return content == TableContent(table, version) ? version : -1;
}

CMpqArchive::FileList WriteBatch(const CTempFolder& folder, int version) {
    CMpqArchive::FileList batch;
    for (int table = 0; table < kTables; ++table) {
        std::string local = folder.File("tmp" + std::to_string(table) + ".txt");
        WriteTextFile(local, TableContent(table, version));
        batch.push_back({local, TableName(table)});
    }
    return batch;
}

// The names in the folder once the replaced archives freed in the background are gone.
std::set<std::string> FolderNames(const CTempFolder& folder) {
    WaitForBackgroundRemovals();
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path()))
        names.insert(entry.path().filename().string());
    return names;
}

// A save killed at any moment leaves the archive whole: it opens, holds every file, and the nine
// tables hold either all the old or all the new versions. What a killed save left beside the
// archive is removed by the next one.
TEST(ArchiveCrashTest, AKilledSaveLeavesTheOldOrTheNewArchive) {
    CTempFolder folder;
    const std::string path = folder.File("Patch_D2.mpq");
    std::string bulk(3 << 20, '\0');
    for (size_t i = 0; i < bulk.size(); ++i)
        bulk[i] = static_cast<char>((i * 2654435761u) >> 13);
    ArchiveFiles files{{"Data\\Global\\bulk.bin", bulk}};
    for (int table = 0; table < kTables; ++table)
        files.push_back({TableName(table), TableContent(table, 0)});
    ASSERT_TRUE(MakeArchive(path, files));

    // One uninterrupted save tells how long the child's saves take.
    CMpqArchive archive(path);
    auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(archive.AddFiles(WriteBatch(folder, 1), false));
    auto saveTime = std::chrono::steady_clock::now() - start;
    int current = 1;

    // The kill moment follows the save's own pace, which load on the machine changes: later
    // after a kill that came too early to change anything, earlier after one that came too late.
    // So the kills keep falling on both sides of the rename, however slow the machine is.
    std::mt19937 random(20240611);
    std::uniform_real_distribution<double> jitter(0.5, 1.5);
    double delay = std::chrono::duration<double, std::micro>(saveTime).count() / 2;
    int keptOld = 0, gotNew = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        const int next = current + 1;
        CMpqArchive::FileList batch = WriteBatch(folder, next);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            CMpqArchive update(path);
            std::_Exit(update.AddFiles(batch, false) ? 0 : 1);
        }
        std::this_thread::sleep_for(
            std::chrono::microseconds(static_cast<long long>(delay * jitter(random))));
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        // A child that finished before the kill must have succeeded.
        if (WIFEXITED(status)) {
            ASSERT_EQ(WEXITSTATUS(status), 0);
        }

        SCOPED_TRACE("kill " + std::to_string(kill));
        ASSERT_EQ(CountArchived(path), kTables + 2); // tables, bulk, listfile
        ASSERT_EQ(ReadArchived(path, "Data\\Global\\bulk.bin"), bulk);
        std::vector<int> versions;
        for (int table = 0; table < kTables; ++table) {
            auto content = ReadArchived(path, TableName(table));
            ASSERT_TRUE(content);
            versions.push_back(VersionOf(table, *content));
        }
        ASSERT_TRUE(versions == std::vector<int>(kTables, current) ||
                    versions == std::vector<int>(kTables, next))
            << "table 0 holds version " << versions[0] << ", before " << current;
        if (versions[0] == next) {
            ++gotNew;
            current = next;
            delay *= 0.7;
        } else {
            ++keptOld;
            delay = delay * 1.3 + 200;
        }
    }
    // The kills fell both before and after the rename, so both outcomes were checked.
    EXPECT_GT(keptOld, 0);
    EXPECT_GT(gotNew, 0);
    // What the killed saves left beside the archive goes with the next save.
    ASSERT_TRUE(archive.AddFiles(WriteBatch(folder, current + 1), false));
    std::set<std::string> expected{"Patch_D2.mpq"};
    for (int table = 0; table < kTables; ++table)
        expected.insert("tmp" + std::to_string(table) + ".txt");
    EXPECT_EQ(FolderNames(folder), expected);
    RecordProperty("KeptOld", keptOld);
    RecordProperty("GotNew", gotNew);
}

} // namespace
