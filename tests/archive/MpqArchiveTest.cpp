#include "data/MpqArchive.h"

#include "MpqFixture.h"
#include "OtherInstanceLock.h"
#include "TempFolder.h"
#include "platform/FileSystem.h"

#include <StormLib.h>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <gtest/gtest.h>
#include <set>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

namespace {

const std::string kArmor = "Data\\Global\\Excel\\Armor.txt";
const std::string kWeapons = "Data\\Global\\Excel\\Weapons.txt";
const std::string kLevels = "Data\\Global\\Excel\\Levels.txt";

std::string Text(const std::string& seed, size_t size) {
    std::string text;
    while (text.size() < size)
        text += seed + "\t" + std::to_string(text.size()) + "\r\n";
    text.resize(size);
    return text;
}

// The files of a folder once the replaced archives freed in the background are gone.
std::set<std::string> FolderNames(const std::string& folder) {
    WaitForBackgroundRemovals();
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

std::uintmax_t SizeOf(const std::string& path) {
    return std::filesystem::file_size(path);
}

// The working folder is the temporary folder, so paths may be given relative and with
// backslashes, as the program builds them.
class ArchiveTest : public ::testing::Test {
protected:
    CTempFolder m_folder{true};

    std::string Local(const std::string& name, const std::string& content) {
        WriteTextFile(name, content);
        return name;
    }
};

// ---- Extraction ----

TEST_F(ArchiveTest, ExtractsUnderTheLastPartOfTheNameAndReportsTheDestination) {
    ASSERT_TRUE(MakeArchive("game.mpq", {{kArmor, "armor\r\n"}}));
    CMpqArchive archive("game.mpq");

    testing::internal::CaptureStdout();
    EXPECT_TRUE(archive.ExtractFile(kArmor.c_str(), "out", false));
    EXPECT_TRUE(archive.ExtractFile(kArmor.c_str(), "out2\\", false));
    EXPECT_TRUE(archive.ExtractFile(kArmor.c_str(), nullptr, false));
    // One line a file, with the destination as the system writes paths.
    EXPECT_EQ(testing::internal::GetCapturedStdout(), kArmor + " => out/Armor.txt\n" + kArmor +
                                                          " => out2/Armor.txt\n" + kArmor +
                                                          " => ./Armor.txt\n");
    EXPECT_EQ(ReadTextFile("out/Armor.txt"), "armor\r\n");
    EXPECT_EQ(ReadTextFile("out2/Armor.txt"), "armor\r\n");
    EXPECT_EQ(ReadTextFile("Armor.txt"), "armor\r\n");
}

TEST_F(ArchiveTest, KeepPathMakesOnlyTheLastFolderLevel) {
    ASSERT_TRUE(MakeArchive("game.mpq", {{kArmor, "armor"}}));
    CMpqArchive archive("game.mpq");

    testing::internal::CaptureStdout();
    EXPECT_FALSE(archive.ExtractFile(kArmor.c_str(), "deep", true));
    EXPECT_FALSE(std::filesystem::exists("deep/Data"));

    std::filesystem::create_directories("deep/Data/Global");
    EXPECT_TRUE(archive.ExtractFile(kArmor.c_str(), "deep", true));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(ReadTextFile("deep/Data/Global/Excel/Armor.txt"), "armor");
}

TEST_F(ArchiveTest, FailedExtractionsWriteNothing) {
    ASSERT_TRUE(MakeArchive("game.mpq", {{kArmor, "armor"}, {kWeapons, ""}}));
    WriteTextFile("blocker", "a file where a folder should be");
    MakeFolder("out");
    CMpqArchive archive("game.mpq");

    testing::internal::CaptureStdout();
    EXPECT_FALSE(archive.ExtractFile(kLevels.c_str(), "out", false));  // not in the archive
    EXPECT_FALSE(archive.ExtractFile(kWeapons.c_str(), "out", false)); // empty
    EXPECT_FALSE(archive.ExtractFile(nullptr, "out", false));
    EXPECT_TRUE(FolderNames("out").empty());
    // Destinations that cannot be written: below a file, or a folder in the way.
    MakeFolder("out/Armor.txt");
    EXPECT_FALSE(archive.ExtractFile(kArmor.c_str(), "blocker", false));
    EXPECT_FALSE(archive.ExtractFile(kArmor.c_str(), "out", false));
    EXPECT_EQ(testing::internal::GetCapturedStdout(), ""); // nothing was extracted
    EXPECT_EQ(ReadTextFile("blocker"), "a file where a folder should be");
    EXPECT_EQ(FolderNames("out"), std::set<std::string>{"Armor.txt"});
}

TEST_F(ArchiveTest, ExtractingAgainReplacesTheEarlierFile) {
    ASSERT_TRUE(MakeArchive("a.mpq", {{kArmor, "first version, longer"}}));
    ASSERT_TRUE(MakeArchive("b.mpq", {{kArmor, "second"}}));
    CMpqArchive archive("a.mpq");
    testing::internal::CaptureStdout();
    ASSERT_TRUE(archive.ExtractFile(kArmor.c_str(), "out", false));
    archive.SetArchivePath("b.mpq");
    EXPECT_EQ(archive.m_strArchivePath, "b.mpq");
    ASSERT_TRUE(archive.ExtractFile(kArmor.c_str(), "out", false));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(ReadTextFile("out/Armor.txt"), "second");
    EXPECT_EQ(FolderNames("out"), std::set<std::string>{"Armor.txt"});
}

TEST_F(ArchiveTest, ReadsTheGameArchivesByNameWithoutListfile) {
    ASSERT_TRUE(MakeArchive("d2data.mpq", {{kArmor, "armor"}, {kWeapons, Text("axe", 9000)}},
                            {.listFile = false, .encrypted = true}));
    CMpqArchive archive("sub\\..\\d2data.mpq");
    MakeFolder("sub");
    EXPECT_TRUE(archive.HasFile("data\\global\\excel\\armor.txt"));
    EXPECT_FALSE(archive.HasFile(kLevels));
    testing::internal::CaptureStdout();
    EXPECT_TRUE(archive.ExtractFile("DATA\\GLOBAL\\EXCEL\\WEAPONS.TXT", "tables", false));
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(ReadTextFile("tables/WEAPONS.TXT"), Text("axe", 9000));
}

TEST_F(ArchiveTest, ReadFileToMemoryGivesTheWholeFileAndItsSize) {
    ASSERT_TRUE(MakeArchive("game.mpq", {{kArmor, Text("armor", 20000)}, {kWeapons, ""}}));
    HANDLE handle = nullptr;
    ASSERT_TRUE(SFileOpenArchive("game.mpq", 0, MPQ_OPEN_READ_ONLY, &handle));

    std::uint32_t size = 7;
    auto block = CMpqArchive::ReadFileToMemory(handle, kArmor.c_str(), &size);
    ASSERT_TRUE(block);
    ASSERT_EQ(size, 20000u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(block.get()), size), Text("armor", 20000));
    CMpqArchive::FreeFileMemory(block);
    EXPECT_FALSE(block);

    size = 7;
    EXPECT_FALSE(CMpqArchive::ReadFileToMemory(handle, kWeapons.c_str(), &size));
    EXPECT_EQ(size, 0u);
    size = 7;
    EXPECT_FALSE(CMpqArchive::ReadFileToMemory(handle, kLevels.c_str(), &size));
    EXPECT_EQ(size, 7u);
    EXPECT_TRUE(CMpqArchive::ReadFileToMemory(handle, kArmor.c_str(), nullptr));
    SFileCloseArchive(handle);
}

// ---- Bad input ----

TEST_F(ArchiveTest, NonArchivesAndTruncatedArchivesAreReadAsNothingAndLeftAlone) {
    ArchiveFiles files;
    for (int i = 0; i < 6; ++i)
        files.push_back({"Data\\file" + std::to_string(i) + ".txt", Noise(30000, i)});
    ASSERT_TRUE(MakeArchive("whole.mpq", files));
    std::string whole = ReadTextFile("whole.mpq");
    WriteTextFile("text.mpq", Text("not an archive", 5000));
    WriteTextFile("empty.mpq", "");
    WriteTextFile("head.mpq", whole.substr(0, 40));
    WriteTextFile("half.mpq", whole.substr(0, whole.size() / 2));
    WriteTextFile("tail.mpq", whole.substr(0, whole.size() - 100));
    WriteTextFile("new.txt", "new");

    for (std::string name : {"text.mpq", "empty.mpq", "head.mpq", "half.mpq", "tail.mpq"}) {
        SCOPED_TRACE(name);
        std::string before = ReadTextFile(name);
        CMpqArchive archive(name);
        testing::internal::CaptureStdout();
        EXPECT_FALSE(archive.ExtractFile("Data\\file1.txt", "out", false));
        testing::internal::GetCapturedStdout();
        EXPECT_FALSE(archive.HasFile("Data\\file1.txt"));
        EXPECT_FALSE(archive.AddFile("new.txt", "Data\\file1.txt", false));
        EXPECT_EQ(ReadTextFile(name), before);
    }
    EXPECT_FALSE(std::filesystem::exists("out"));
    EXPECT_EQ(FolderNames("."),
              (std::set<std::string>{"empty.mpq", "half.mpq", "head.mpq", "new.txt", "tail.mpq",
                                     "text.mpq", "whole.mpq"}));
}

TEST_F(ArchiveTest, ArchivesThatCannotBeWrittenAreNotTouched) {
    WriteTextFile("new.txt", "new");
    MakeFolder("folder.mpq");
    CMpqArchive archive("folder.mpq");
    EXPECT_FALSE(archive.AddFile("new.txt", "Data\\new.txt", false));
    EXPECT_TRUE(FolderNames("folder.mpq").empty());
    testing::internal::CaptureStdout();
    EXPECT_FALSE(archive.ExtractFile("Data\\new.txt", "out", false));
    testing::internal::GetCapturedStdout();

    archive.SetArchivePath("missing\\game.mpq");
    EXPECT_FALSE(archive.AddFile("new.txt", "Data\\new.txt", false));
    EXPECT_FALSE(std::filesystem::exists("missing"));

    {
        // The mode protects the archive, even from root, whom permission bits do not stop.
        ASSERT_TRUE(MakeArchive("locked.mpq", {{kArmor, "armor"}}));
        std::filesystem::permissions("locked.mpq", std::filesystem::perms::owner_read);
        std::string before = ReadTextFile("locked.mpq");
        archive.SetArchivePath("locked.mpq");
        EXPECT_FALSE(archive.AddFile("new.txt", kArmor.c_str(), false));
        EXPECT_EQ(ReadTextFile("locked.mpq"), before);
        EXPECT_TRUE(archive.HasFile(kArmor));
    }
    auto names = FolderNames(".");
    names.erase("locked.mpq");
    EXPECT_EQ(names, (std::set<std::string>{"folder.mpq", "new.txt"}));
}

// ---- Additions ----

TEST_F(ArchiveTest, AdditionsReplaceAndAddAndKeepTheOtherFiles) {
    ASSERT_TRUE(MakeArchive("patch.mpq", {{kArmor, "old armor"}, {kWeapons, "old weapons"}}));
    CMpqArchive archive("patch.mpq");
    std::string failed = "stale";
    EXPECT_TRUE(archive.AddFiles(
        {{Local("tmpArmor.txt", "new armor"), kArmor}, {Local("tmpLevels.txt", "levels"), kLevels}},
        false, &failed));
    EXPECT_EQ(failed, "");
    EXPECT_EQ(ReadArchived("patch.mpq", kArmor), "new armor");
    EXPECT_EQ(ReadArchived("patch.mpq", kWeapons), "old weapons");
    EXPECT_EQ(ReadArchived("patch.mpq", kLevels), "levels");

    // Names ignore case: this replaces, it does not add a second file.
    int count = CountArchived("patch.mpq");
    EXPECT_TRUE(
        archive.AddFile(Local("tmp.txt", "newer"), "DATA\\global\\excel\\ARMOR.TXT", false));
    EXPECT_EQ(CountArchived("patch.mpq"), count);
    EXPECT_EQ(ReadArchived("patch.mpq", kArmor), "newer");
    // Only the archive and the local files are left: no copies, no listfiles.
    EXPECT_EQ(FolderNames("."),
              (std::set<std::string>{"patch.mpq", "tmp.txt", "tmpArmor.txt", "tmpLevels.txt"}));
}

TEST_F(ArchiveTest, CompressedFilesArePkwareAndPlainFilesAreStoredAsTheyAre) {
    ASSERT_TRUE(MakeArchive("patch.mpq", {}));
    CMpqArchive archive("patch.mpq");
    std::string table = Text("monster", 3000);
    ASSERT_TRUE(archive.AddFile(Local("packed.txt", table), "Data\\packed.txt", true));
    ASSERT_TRUE(archive.AddFile(Local("plain.txt", table), "Data\\plain.txt", false));

    auto packed = ReadStored("patch.mpq", "Data\\packed.txt");
    ASSERT_TRUE(packed);
    EXPECT_NE(packed->flags & MPQ_FILE_COMPRESS, 0u);
    // One sector: two offsets, then the sector, whose first byte names its compression.
    ASSERT_GT(packed->raw.size(), 9u);
    EXPECT_LT(packed->raw.size(), table.size());
    EXPECT_EQ(static_cast<unsigned char>(packed->raw[8]), MPQ_COMPRESSION_PKWARE);
    EXPECT_EQ(ReadArchived("patch.mpq", "Data\\packed.txt"), table);

    auto plain = ReadStored("patch.mpq", "Data\\plain.txt");
    ASSERT_TRUE(plain);
    EXPECT_EQ(plain->flags & (MPQ_FILE_COMPRESS | MPQ_FILE_IMPLODE), 0u);
    EXPECT_EQ(plain->raw, table);
}

TEST_F(ArchiveTest, ANullNameIsTakenFromThePathAfterTheDriveColon) {
    std::filesystem::create_directories("D:/a");
    WriteTextFile("D:/a/b.txt", "drive");
    WriteTextFile("plain.txt", "no drive");
    CMpqArchive archive("patch.mpq");
    ASSERT_TRUE(archive.AddFile("D:\\a\\b.txt", nullptr, false));
    ASSERT_TRUE(archive.AddFile("plain.txt", nullptr, false));
    EXPECT_EQ(ReadArchived("patch.mpq", "a\\b.txt"), "drive");
    EXPECT_EQ(ReadArchived("patch.mpq", "plain.txt"), "no drive");
}

TEST_F(ArchiveTest, WithoutAFileAtThePathANewVersionOneArchiveIsMade) {
    MakeFolder("game");
    CMpqArchive archive("game\\Patch_D2.mpq");
    ASSERT_TRUE(archive.AddFile(Local("armor.txt", "armor"), kArmor.c_str(), false));

    std::string bytes = ReadTextFile("game/Patch_D2.mpq");
    ASSERT_GE(bytes.size(), 32u);
    EXPECT_EQ(bytes.substr(0, 4), std::string("MPQ\x1A"));
    EXPECT_EQ(bytes[12], 0); // format version 1
    EXPECT_EQ(bytes[13], 0);
    EXPECT_EQ(HashTableSize("game/Patch_D2.mpq"), 1024u);
    EXPECT_EQ(ReadArchived("game/Patch_D2.mpq", kArmor), "armor");
    EXPECT_TRUE(ReadArchived("game/Patch_D2.mpq", "(listfile)"));
    EXPECT_EQ(FolderNames("game"), std::set<std::string>{"Patch_D2.mpq"});
}

TEST_F(ArchiveTest, AFileThatIsNotAnArchiveIsNeverReplacedByANewArchive) {
    std::string text = Text("my notes", 4000);
    WriteTextFile("Patch_D2.mpq", text);
    CMpqArchive archive("Patch_D2.mpq");
    EXPECT_FALSE(archive.AddFile(Local("armor.txt", "armor"), kArmor.c_str(), false));
    EXPECT_EQ(ReadTextFile("Patch_D2.mpq"), text);
    EXPECT_EQ(FolderNames("."), (std::set<std::string>{"Patch_D2.mpq", "armor.txt"}));
}

TEST_F(ArchiveTest, AMissingLocalFileAddsNothing) {
    ASSERT_TRUE(MakeArchive("patch.mpq", {{kArmor, "old"}}));
    std::string before = ReadTextFile("patch.mpq");
    CMpqArchive archive("patch.mpq");
    EXPECT_FALSE(archive.AddFile("nowhere.txt", kArmor.c_str(), false));
    std::string failed;
    EXPECT_FALSE(archive.AddFiles({{Local("a.txt", "a"), kWeapons}, {"nowhere.txt", kArmor}}, false,
                                  &failed));
    EXPECT_EQ(failed, kArmor);
    EXPECT_EQ(ReadTextFile("patch.mpq"), before);
    // Of two files with one archived name, the one that failed is blamed by its place.
    size_t index = 99;
    EXPECT_FALSE(archive.AddFiles({{Local("b.txt", "b"), kArmor}, {"nowhere.txt", kArmor}}, false,
                                  &failed, &index));
    EXPECT_EQ(index, 1u);
    EXPECT_EQ(ReadTextFile("patch.mpq"), before);
    archive.SetArchivePath("missing\\patch.mpq");
    EXPECT_FALSE(archive.AddFiles({{Local("c.txt", "c"), kArmor}}, false, &failed, &index));
    EXPECT_EQ(index, 1u); // no entry to blame: the archive's folder is missing
    EXPECT_EQ(failed, "");

    archive.SetArchivePath("fresh.mpq");
    EXPECT_FALSE(archive.AddFile("nowhere.txt", kArmor.c_str(), false));
    EXPECT_FALSE(std::filesystem::exists("fresh.mpq"));
    EXPECT_TRUE(archive.AddFiles({}, false));
    EXPECT_FALSE(std::filesystem::exists("fresh.mpq"));
}

// The game's archives have no listfile; StormLib aborts the process when it replaces a file
// whose name it does not know. Run in a child so an abort shows as a failed test.
TEST_F(ArchiveTest, ReplacingInAnArchiveWithoutListfileDoesNotAbort) {
    ASSERT_TRUE(MakeArchive("Patch_D2.mpq",
                            {{kArmor, "old armor"}, {kWeapons, "old weapons"}, {kLevels, "lv"}},
                            {.listFile = false, .encrypted = true}));
    ASSERT_FALSE(ReadArchived("Patch_D2.mpq", "(listfile)"));
    WriteTextFile("armor.txt", "new armor");
    WriteTextFile("skills.txt", "skills");
    ASSERT_EXIT(
        {
            CMpqArchive archive("Patch_D2.mpq");
            bool ok = archive.AddFiles(
                {{"armor.txt", kArmor}, {"skills.txt", "Data\\Global\\Excel\\Skills.txt"}}, false);
            std::_Exit(ok ? 0 : 1);
        },
        testing::ExitedWithCode(0), "");
    EXPECT_EQ(ReadArchived("Patch_D2.mpq", kArmor), "new armor");
    EXPECT_EQ(ReadArchived("Patch_D2.mpq", kWeapons), "old weapons");
    EXPECT_EQ(ReadArchived("Patch_D2.mpq", kLevels), "lv");
    EXPECT_EQ(ReadArchived("Patch_D2.mpq", "Data\\Global\\Excel\\Skills.txt"), "skills");

    // Saved again and again: each save replaces, none aborts, nothing is lost. The dead
    // copies soon call for a compaction, which unknown names prevent; the saves go on.
    CMpqArchive archive("Patch_D2.mpq");
    for (unsigned i = 0; i < 4; ++i)
        ASSERT_TRUE(archive.AddFile(Local("armor.txt", Noise(50000, i)), kArmor.c_str(), false));
    EXPECT_EQ(ReadArchived("Patch_D2.mpq", kArmor), Noise(50000, 3));
    EXPECT_EQ(ReadArchived("Patch_D2.mpq", kWeapons), "old weapons");
    EXPECT_EQ(CountArchived("Patch_D2.mpq"), 4);
}

TEST_F(ArchiveTest, AFullHashTableGrows) {
    ArchiveFiles files;
    for (int i = 0; i < 7; ++i)
        files.push_back({"Data\\f" + std::to_string(i) + ".txt", "old " + std::to_string(i)});
    ASSERT_TRUE(MakeArchive("patch.mpq", files, {.maxFiles = 4}));
    ASSERT_EQ(HashTableSize("patch.mpq"), 8u);
    ASSERT_EQ(CountArchived("patch.mpq"), 8); // full, with its listfile

    CMpqArchive archive("patch.mpq");
    CMpqArchive::FileList batch;
    for (int i = 0; i < 12; ++i)
        batch.push_back({Local("n" + std::to_string(i) + ".txt", "new " + std::to_string(i)),
                         "Data\\n" + std::to_string(i) + ".txt"});
    ASSERT_TRUE(archive.AddFiles(batch, false));
    EXPECT_EQ(HashTableSize("patch.mpq"), 32u);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(ReadArchived("patch.mpq", files[i].first), files[i].second);
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(ReadArchived("patch.mpq", batch[i].second), "new " + std::to_string(i));
}

TEST_F(ArchiveTest, AFullArchiveThatCannotGrowFailsTheWholeBatchCleanly) {
    // Without a listfile StormLib cannot rebuild the hash table, so no slot can be made.
    ArchiveFiles files;
    for (int i = 0; i < 4; ++i)
        files.push_back({"Data\\f" + std::to_string(i) + ".txt", "old " + std::to_string(i)});
    ASSERT_TRUE(MakeArchive("Patch_D2.mpq", files, {.listFile = false, .maxFiles = 4}));
    ASSERT_EQ(CountArchived("Patch_D2.mpq"), 4);
    ASSERT_EQ(HashTableSize("Patch_D2.mpq"), 4u);
    std::string before = ReadTextFile("Patch_D2.mpq");

    // The first addition succeeds on the copy before the second fails.
    CMpqArchive archive("Patch_D2.mpq");
    std::string failed;
    EXPECT_FALSE(archive.AddFiles({{Local("a.txt", "replaced"), "Data\\f1.txt"},
                                   {Local("b.txt", "added"), "Data\\extra.txt"},
                                   {Local("c.txt", "replaced"), "Data\\f2.txt"}},
                                  false, &failed));
    EXPECT_EQ(failed, "Data\\extra.txt");
    EXPECT_EQ(ReadTextFile("Patch_D2.mpq"), before);
    EXPECT_EQ(FolderNames("."), (std::set<std::string>{"Patch_D2.mpq", "a.txt", "b.txt", "c.txt"}));

    // Replacing needs no new slot and still works.
    EXPECT_TRUE(archive.AddFile("a.txt", "Data\\f1.txt", false));
    EXPECT_EQ(ReadArchived("Patch_D2.mpq", "Data\\f1.txt"), "replaced");
    EXPECT_EQ(ReadArchived("Patch_D2.mpq", "Data\\f3.txt"), "old 3");
}

TEST_F(ArchiveTest, RepeatedSavesDoNotLetTheArchiveGrowWithoutBound) {
    ArchiveFiles files;
    for (int i = 0; i < 4; ++i)
        files.push_back({"Data\\keep" + std::to_string(i) + ".bin", Noise(100000, i)});
    files.push_back({kArmor, Noise(100000, 99)});
    ASSERT_TRUE(MakeArchive("patch.mpq", files));
    auto initial = SizeOf("patch.mpq");
    const auto perms = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                       std::filesystem::perms::group_read;
    std::filesystem::permissions("patch.mpq", perms);

    CMpqArchive archive("patch.mpq");
    for (unsigned save = 0; save < 12; ++save)
        ASSERT_TRUE(
            archive.AddFile(Local("armor.bin", Noise(100000, save)), kArmor.c_str(), false));
    // Without compaction the archive would hold twelve dead copies (1.2 MB more).
    EXPECT_LT(SizeOf("patch.mpq"), initial + initial / 2);
    EXPECT_EQ(ReadArchived("patch.mpq", kArmor), Noise(100000, 11));
    EXPECT_EQ(std::filesystem::status("patch.mpq").permissions(), perms);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(ReadArchived("patch.mpq", files[i].first), files[i].second);
    EXPECT_EQ(FolderNames("."), (std::set<std::string>{"armor.bin", "patch.mpq"}));
}

// ---- Links, attributes, other files, other instances ----

TEST_F(ArchiveTest, ALinkedArchiveIsUpdatedWhereItLives) {
    std::filesystem::create_directories("mods");
    std::filesystem::create_directories("game");
    ASSERT_TRUE(MakeArchive("mods/real.mpq", {{kArmor, "old armor"}, {kWeapons, "weapons"}}));
    std::filesystem::create_symlink("../mods/real.mpq", "game/Patch_D2.mpq");
    std::filesystem::create_symlink("game", "linked-game");

    // A symbolic link to the archive, and one on the way to it: the file they name is replaced.
    for (const std::string path : {"game\\Patch_D2.mpq", "linked-game\\Patch_D2.mpq"}) {
        SCOPED_TRACE(path);
        CMpqArchive archive(path);
        std::string content = "armor saved through " + path;
        ASSERT_TRUE(archive.AddFile(Local("armor.txt", content), kArmor.c_str(), false));
        EXPECT_EQ(archive.m_strNote, "");
        EXPECT_TRUE(std::filesystem::is_symlink("game/Patch_D2.mpq"));
        EXPECT_EQ(ReadArchived("mods/real.mpq", kArmor), content);
        EXPECT_EQ(ReadArchived("mods/real.mpq", kWeapons), "weapons");
        EXPECT_EQ(FolderNames("game"), std::set<std::string>{"Patch_D2.mpq"});
        EXPECT_EQ(FolderNames("mods"), std::set<std::string>{"real.mpq"});
    }

    // A second name (hard link) keeps the old content: the save says so.
    ASSERT_TRUE(LinkFile("mods/real.mpq", "mods/other-name.mpq"));
    CMpqArchive archive("mods\\real.mpq");
    ASSERT_TRUE(archive.AddFile(Local("armor.txt", "split"), kArmor.c_str(), false));
    EXPECT_EQ(archive.m_strNote.rfind("mods/real.mpq has 1 other name(s) (hard links), which "
                                      "still show the archive as it was before this save.",
                                      0),
              0u);
    EXPECT_EQ(ReadArchived("mods/real.mpq", kArmor), "split");
    EXPECT_NE(ReadArchived("mods/other-name.mpq", kArmor), "split");
    // Once the names are apart, the next save has nothing to say about them.
    ASSERT_TRUE(archive.AddFile(Local("armor.txt", "again"), kArmor.c_str(), false));
    EXPECT_EQ(archive.m_strNote.find("other name"), std::string::npos);
}

TEST_F(ArchiveTest, SavesKeepModeOwnerGroupAndExtendedAttributes) {
    ASSERT_TRUE(MakeArchive("patch.mpq", {{kArmor, "old"}}));
    const bool root = ::geteuid() == 0;
    if (root) {
        ASSERT_EQ(::chown("patch.mpq", 4321, 8765), 0);
    }
    ASSERT_EQ(::chmod("patch.mpq", 02640), 0);
    const bool xattrs = ::setxattr("patch.mpq", "user.tarvane.origin", "game cd", 7, 0) == 0;
    struct stat before;
    ASSERT_EQ(::stat("patch.mpq", &before), 0);

    CMpqArchive archive("patch.mpq");
    ASSERT_TRUE(archive.AddFile(Local("armor.txt", "new"), kArmor.c_str(), false));
    ASSERT_EQ(ReadArchived("patch.mpq", kArmor), "new");
    struct stat after;
    ASSERT_EQ(::stat("patch.mpq", &after), 0);
    EXPECT_NE(after.st_ino, before.st_ino); // a new file, not the old one written over
    EXPECT_EQ(after.st_mode, before.st_mode);
    EXPECT_EQ(after.st_uid, before.st_uid);
    EXPECT_EQ(after.st_gid, before.st_gid);
    if (xattrs) {
        char value[16] = {};
        EXPECT_EQ(::getxattr("patch.mpq", "user.tarvane.origin", value, sizeof value), 7);
        EXPECT_STREQ(value, "game cd");
    }
    if (!root || !xattrs)
        GTEST_SKIP() << (root ? "" : "not root, so the owner could not be changed; ")
                     << (xattrs ? "" : "no user extended attributes on this file system");
}

// A named pipe would block StormLib's open for good: run in a child that an alarm ends.
TEST_F(ArchiveTest, OnlyRegularFilesAreOpenedAsArchives) {
    ASSERT_EQ(::mkfifo("Patch_D2.mpq", 0644), 0);
    WriteTextFile("armor.txt", "armor");
    ASSERT_EXIT(
        {
            ::alarm(5);
            CMpqArchive archive("Patch_D2.mpq");
            bool any = archive.HasFile(kArmor) || archive.ExtractFile(kArmor.c_str(), ".", false) ||
                       archive.AddFile("armor.txt", kArmor.c_str(), false);
            std::_Exit(any ? 1 : 0);
        },
        testing::ExitedWithCode(0), "");
    struct stat st;
    ASSERT_EQ(::lstat("Patch_D2.mpq", &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    EXPECT_EQ(FolderNames("."), (std::set<std::string>{"Patch_D2.mpq", "armor.txt"}));
}

TEST_F(ArchiveTest, AnArchiveAnotherProgramIsUpdatingIsLeftAlone) {
    ASSERT_TRUE(MakeArchive("patch.mpq", {{kArmor, "old"}}));
    const std::string before = ReadTextFile("patch.mpq");
    // A copy a killed save left behind: removed only by the one holding the lock.
    const std::string leftover = TemporaryPathBeside("patch.mpq");
    WriteTextFile(leftover, before);
    CMpqArchive archive("patch.mpq");
    {
        COtherInstanceLock other("patch.mpq");
        ASSERT_TRUE(other.Held());
        auto start = std::chrono::steady_clock::now();
        EXPECT_FALSE(archive.AddFile(Local("armor.txt", "new"), kArmor.c_str(), false));
        auto waited = std::chrono::steady_clock::now() - start;
        EXPECT_EQ(archive.m_strNote, "patch.mpq is being saved by another program, so nothing was "
                                     "saved. Try again when it has finished.");
        EXPECT_EQ(ReadTextFile("patch.mpq"), before);
        EXPECT_TRUE(std::filesystem::exists(leftover));
        // It waited briefly for the other program, not for ever.
        EXPECT_GE(waited, std::chrono::milliseconds(500));
        EXPECT_LE(waited, std::chrono::seconds(10));
    }
    ASSERT_TRUE(archive.AddFile("armor.txt", kArmor.c_str(), false));
    EXPECT_EQ(archive.m_strNote, "");
    EXPECT_EQ(ReadArchived("patch.mpq", kArmor), "new");
    EXPECT_EQ(FolderNames("."), (std::set<std::string>{"armor.txt", "patch.mpq"}));
}

} // namespace
