#include "data/MpqArchive.h"

#include "MpqFixture.h"
#include "TempFolder.h"
#include "platform/FileSystem.h"
#include "store/MpqTables.h"

#include <StormLib.h>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace {

constexpr std::uint32_t kFixedKey = MPQ_FILE_ENCRYPTED | MPQ_FILE_FIX_KEY;

std::string Text(size_t size) {
    std::string text;
    while (text.size() < size)
        text += "row\t" + std::to_string(text.size()) + "\r\n";
    text.resize(size);
    return text;
}

struct CompactionCase {
    const char* label;
    ArchiveFiles files; // a name given twice leaves a gap where its first copy was
    ArchiveOptions options;
    const char* note;
};

// A save copies the archive without the gaps replaced files left, whatever the files are and
// whether their names are known: every file reads back the same, by name and by its hash entry.
// A file encrypted for its place whose key cannot be found keeps its place, and the note says so.
TEST(CompactionTest, ASaveTakesOutReplacedDataAndKeepsEveryFile) {
    const ArchiveFiles listed = {
        {"Data\\old.bin", Noise(40000, 1)}, {"Data\\text.txt", Text(30000)},
        {"Data\\fixed.txt", Text(20000)},   {"Data\\empty.txt", ""},
        {"Data\\raw.bin", Noise(9000, 2)},  {"Data\\old.bin", Noise(100, 3)}};
    const std::map<std::string, std::uint32_t> listedFlags = {
        {"Data\\text.txt", MPQ_FILE_COMPRESS}, {"Data\\fixed.txt", MPQ_FILE_COMPRESS | kFixedKey}};
    const ArchiveFiles encrypted = {
        {"Data\\old.bin", Noise(60000, 4)},  {"Data\\sectors.txt", Text(20000)},
        {"Data\\one.txt", Text(3000)},       {"Data\\unit.txt", Text(5000)},
        {"Data\\plain.bin", Noise(9000, 5)}, {"Data\\empty.txt", ""},
        {"Data\\old.bin", Noise(100, 6)}};
    const std::map<std::string, std::uint32_t> encryptedFlags = {
        {"Data\\sectors.txt", MPQ_FILE_COMPRESS | MPQ_FILE_FIX_KEY},
        {"Data\\one.txt", MPQ_FILE_COMPRESS | MPQ_FILE_FIX_KEY},
        {"Data\\unit.txt", MPQ_FILE_COMPRESS | MPQ_FILE_SINGLE_UNIT}};
    const ArchiveFiles pinned = {
        {"Data\\a.bin", Noise(50000, 7)},  {"Data\\unit.txt", Text(5000)},
        {"Data\\b.bin", Noise(50000, 8)},  {"Data\\raw.bin", Noise(9000, 9)},
        {"Data\\c.bin", Noise(50000, 10)}, {"Data\\moved.txt", Text(20000)},
        {"Data\\a.bin", Noise(100, 11)},   {"Data\\b.bin", Noise(100, 12)},
        {"Data\\c.bin", Noise(100, 13)}};
    const std::map<std::string, std::uint32_t> pinnedFlags = {
        {"Data\\unit.txt", MPQ_FILE_COMPRESS | MPQ_FILE_SINGLE_UNIT | kFixedKey},
        {"Data\\raw.bin", kFixedKey},
        {"Data\\moved.txt", MPQ_FILE_COMPRESS | kFixedKey}};
    const CompactionCase cases[] = {
        {"with a list of names",
         listed,
         {.flagsByName = listedFlags},
         "Patch_D2.mpq: 39 KB of replaced data taken out."},
        {"without names, encrypted",
         encrypted,
         {.listFile = false, .encrypted = true, .flagsByName = encryptedFlags},
         "Patch_D2.mpq: 59 KB of replaced data taken out."},
        {"without names, keys not found",
         pinned,
         {.listFile = false, .flagsByName = pinnedFlags},
         "Patch_D2.mpq: 49 KB of replaced data taken out. 2 encrypted files of unknown name keep "
         "their place."},
    };
    for (const CompactionCase& test : cases) {
        SCOPED_TRACE(test.label);
        CTempFolder folder;
        const std::string path = folder.File("Patch_D2.mpq");
        ASSERT_TRUE(MakeArchive(path, test.files, test.options));
        std::map<std::string, std::optional<std::string>> byName;
        for (const auto& [name, content] : test.files)
            byName[name] = ReadArchived(path, name);
        auto everyFile = ReadEveryFile(path);
        const auto sizeBefore = std::filesystem::file_size(path);

        CMpqArchive archive(path);
        const std::string added = folder.File("added.txt");
        WriteTextFile(added, "added");
        ASSERT_TRUE(archive.AddFiles({{added, "Data\\added.txt"}}, false));
        EXPECT_EQ(archive.m_strNote, test.note);
        EXPECT_LT(std::filesystem::file_size(path), sizeBefore);
        for (const auto& [name, content] : byName) {
            EXPECT_TRUE(content) << name;
            EXPECT_EQ(ReadArchived(path, name), content) << name;
        }
        EXPECT_EQ(ReadArchived(path, "Data\\added.txt"), "added");
        auto everyFileAfter = ReadEveryFile(path);
        for (const char* internal : {"(listfile)", "(attributes)"}) {
            everyFile.erase(internal);
            everyFileAfter.erase(internal);
        }
        for (const auto& [name, content] : everyFile)
            EXPECT_EQ(everyFileAfter[name], content) << name;
    }
}

} // namespace

// An archive whose tables do not fit its file is refused before anything is written, with a
// note naming it; so is one of a later format, whose fields this program would only guess.
TEST(CompactionTest, ADamagedArchiveIsRefusedAndLeftAsItWas) {
    using Blocks = std::vector<CMpqTables::BlockEntry>;
    const struct {
        const char* reason;
        std::function<void(Blocks&)> damage;
        std::uint16_t version;
    } cases[] = {
        {"the archive is damaged (a file reaches past the end of the file)",
         [](Blocks& blocks) { blocks[1].storedSize = 0x7FFFFFFF; }, 0},
        {"the archive is damaged (two of its files share the same bytes)",
         [](Blocks& blocks) { blocks[2].offset = blocks[1].offset + 8; }, 0},
        {"the archive is damaged (a file overlaps its header)",
         [](Blocks& blocks) { blocks[0].offset = 16; }, 0},
        {"the archive is of MPQ format version 2, which Diablo II does not read", [](Blocks&) {},
         1},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(test.reason);
        CTempFolder folder(true);
        ASSERT_TRUE(MakeArchive("Patch_D2.mpq", {{"Data\\a.txt", Text(9000)},
                                                 {"Data\\b.txt", Text(7000)},
                                                 {"Data\\a.txt", Text(100)}}));
        std::string bytes = ReadTextFile("Patch_D2.mpq");
        std::string reason;
        auto tables = CMpqTables::Read(
            bytes.size(),
            [&bytes](std::uint64_t offset, std::uint8_t* into, std::size_t size) {
                return bytes.copy(reinterpret_cast<char*>(into), size, offset) == size;
            },
            reason);
        ASSERT_TRUE(tables) << reason;
        test.damage(tables->BlockTable());
        const std::string tail = tables->EncryptedTables();
        const std::uint32_t tablesAt = static_cast<std::uint32_t>(bytes.size() - tail.size());
        bytes.replace(tablesAt, tail.size(), tail);
        bytes.replace(0, CMpqTables::kHeaderSize, tables->Header(tablesAt));
        bytes[12] = static_cast<char>(test.version);
        WriteTextFile("Patch_D2.mpq", bytes);
        WriteTextFile("added.txt", "added");

        CMpqArchive archive("Patch_D2.mpq");
        EXPECT_FALSE(archive.AddFiles({{"added.txt", "Data\\added.txt"}}, false));
        EXPECT_EQ(archive.m_strNote,
                  std::string("Patch_D2.mpq: ") + test.reason + ", so nothing was saved.");
        EXPECT_EQ(ReadTextFile("Patch_D2.mpq"), bytes);
        WaitForBackgroundRemovals();
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator("."), {}), 2);
    }
}
