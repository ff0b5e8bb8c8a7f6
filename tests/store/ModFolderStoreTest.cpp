// A Resurrected mod folder: made, written, read back, and finished after a killed save.
#include "store/ModFolderStore.h"

#include "TempFolder.h"
#include "TestNotes.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

namespace {

namespace fs = std::filesystem;

// Every file under `folder`, relative to it.
std::set<std::string> FilesUnder(const std::string& folder) {
    std::set<std::string> files;
    for (const auto& entry : fs::recursive_directory_iterator(folder))
        if (!entry.is_directory())
            files.insert(fs::relative(entry.path(), folder).string());
    return files;
}

TEST(ModFolderStore, CreateMakesTheModInfoAndRefusesNamesThatAreNoName) {
    const struct {
        std::string name;
        bool made;
    } cases[] = {{"mymod", true}, {"a/b", false},     {"a\\b", false},   {"..", false},
                 {"x..y", false}, {"q\"uote", false}, {"tab\tx", false}, {"", false}};
    for (const auto& c : cases) {
        CTempFolder mods;
        std::string error;
        EXPECT_EQ(CModFolderStore::Create(mods.Path(), c.name, error), c.made) << c.name;
        if (c.made) {
            EXPECT_EQ(ReadTextFile(mods.File("mymod/mymod.mpq/modinfo.json")),
                      R"({"name": "mymod", "savepath": "mymod/"})");
            EXPECT_FALSE(CModFolderStore::Create(mods.Path(), c.name, error)) << "made twice";
        } else {
            EXPECT_NE(error, "") << c.name;
            EXPECT_TRUE(fs::is_empty(mods.Path())) << c.name;
        }
    }
}

TEST(ModFolderStore, WritesReadsAndListsFilesByTheirArchivedNames) {
    CTempFolder mods;
    std::string error;
    ASSERT_TRUE(CModFolderStore::Create(mods.Path(), "m", error));
    fs::create_directories(mods.File("m/m.mpq/Data/global/excel"));
    WriteTextFile(mods.File("m/m.mpq/Data/global/excel/monstats.txt"), "old");
    for (const std::string opened : {"m/m.mpq/", "m"})
        ASSERT_EQ(CModFolderStore::Open(mods.File(opened), error)->DisplayName(), "m") << opened;
    auto store = CModFolderStore::Open(mods.File("m"), error);
    ASSERT_TRUE(store->WriteBatch({{"Data\\Global\\Excel\\Armor.txt", "armor"},
                                   {"Data\\Global\\Excel\\MonStats.txt", "monsters"},
                                   {"Data\\Local\\LNG\\x.bin", std::string("\0\r\n", 3)}},
                                  error))
        << error;
    // The folder and file that were there in another case are the ones written.
    EXPECT_EQ(FilesUnder(mods.File("m")),
              (std::set<std::string>{"m.mpq/modinfo.json", "m.mpq/Data/global/excel/Armor.txt",
                                     "m.mpq/Data/global/excel/monstats.txt",
                                     "m.mpq/Data/local/lng/x.bin"}));
    // Name, bytes read ("" for a file the mod does not hold).
    const std::pair<std::string, std::string> reads[] = {
        {"data\\global\\excel\\ARMOR.TXT", "armor"},
        {"DATA\\GLOBAL\\EXCEL\\MonStats.txt", "monsters"},
        {"data\\local\\lng\\X.BIN", std::string("\0\r\n", 3)},
        {"data\\global\\excel\\Levels.txt", ""},
        {"data\\global\\excel", ""}};
    for (const auto& [name, expected] : reads) {
        std::string bytes;
        EXPECT_EQ(store->HasFile(name), !expected.empty()) << name;
        EXPECT_EQ(store->ReadFile(name, bytes), !expected.empty()) << name;
        EXPECT_EQ(bytes, expected) << name;
    }
    EXPECT_EQ(store->ListExcelTables(), (std::vector<std::string>{"Armor.txt", "monstats.txt"}));
}

TEST(ModFolderStore, RefusesAWholeBatchThatWouldWriteOutsideTheFolder) {
    CTempFolder mods, outside;
    std::string error;
    ASSERT_TRUE(CModFolderStore::Create(mods.Path(), "m", error));
    const std::string data = mods.File("m/m.mpq");
    fs::create_directories(data + "/data/global/excel");
    WriteTextFile(data + "/data/global/excel/Armor.txt", "old");
    fs::create_directory_symlink(outside.Path(), data + "/data/linked");
    fs::create_symlink(outside.File("t.txt"), data + "/data/t.txt");
    WriteTextFile(data + "/data/ro.txt", "read-only");
    fs::permissions(data + "/data/ro.txt", fs::perms::owner_read);
    for (const std::string bad :
         {"..\\evil.txt", "data\\..\\..\\evil.txt", "\\evil.txt", "data\\linked\\evil.txt",
          "data\\t.txt", "data\\global", "data\\a\x01.txt", "data\\\\evil.txt", "data\\RO.txt"}) {
        auto store = CModFolderStore::Open(mods.File("m"), error);
        EXPECT_FALSE(
            store->WriteBatch({{"data\\global\\excel\\Armor.txt", "new"}, {bad, "x"}}, error))
            << bad;
        EXPECT_NE(error.find("Nothing was saved."), std::string::npos) << bad;
        EXPECT_EQ(ReadTextFile(data + "/data/global/excel/Armor.txt"), "old") << bad;
        EXPECT_EQ(FilesUnder(data).size(), 4u) << bad;
        EXPECT_TRUE(fs::is_empty(outside.Path())) << bad;
    }
}

TEST(ModFolderStore, RecoveryFinishesAWholeJournalAndRenamesNothingFromADamagedOne) {
    // What is left, how the journal is damaged (none: no journal), whether the save is finished.
    const struct {
        std::string what;
        std::string (*damage)(std::string);
        bool finished;
    } cases[] = {
        {"whole", [](std::string j) { return j; }, true},
        {"cut", [](std::string j) { return j.substr(0, j.size() - 1); }, false},
        {"changed", [](std::string j) { return j.replace(47, 1, "f"); }, false},
        {"empty", [](std::string) { return std::string(); }, false},
        {"temporaries without a journal", nullptr, false},
    };
    for (const auto& c : cases) {
        CTempFolder mods;
        CTestNotes notes;
        std::string error;
        ASSERT_TRUE(CModFolderStore::Create(mods.Path(), "m", error));
        auto store = CModFolderStore::Open(mods.File("m"), error);
        ASSERT_TRUE(store->WriteBatch({{"a.txt", "old a"}, {"b\\b.txt", "old b"}}, error));
        const std::vector<CModFolderJournal::Rename> renames = {
            {"a.txt.tarvane-tmp-0123456789abcdef", "a.txt"},
            {"b/b.txt.tarvane-tmp-0123456789abcdef", "b/b.txt"}};
        for (const auto& rename : renames)
            WriteTextFile(store->DataFolder() + "/" + rename.temporary, "new " + rename.target);
        if (c.damage)
            WriteTextFile(store->JournalPath(), c.damage(CModFolderJournal::Write(renames)));
        const bool damaged = c.damage && !c.finished;
        EXPECT_EQ(CModFolderStore::Recover(mods.File("m"), notes), !damaged) << c.what;
        EXPECT_EQ(notes.lines.size(), c.damage ? 1u : 0u) << c.what;
        EXPECT_EQ(store->HasFile("a.txt.tarvane-tmp-0123456789abcdef"), damaged) << c.what;
        EXPECT_EQ(FileExists(store->JournalPath()), damaged) << c.what;
        std::string a, b;
        EXPECT_TRUE(store->ReadFile("a.txt", a) && store->ReadFile("b\\b.txt", b));
        EXPECT_EQ(a + ", " + b, c.finished ? "new a.txt, new b/b.txt" : "old a, old b") << c.what;
        // A damaged journal stops the next save too, rather than lose what it records.
        EXPECT_EQ(store->WriteBatch({{"a.txt", "newer"}}, error), !damaged) << c.what;
    }
}

} // namespace
