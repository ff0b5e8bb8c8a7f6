// The demo game folder: the generator is run into a temporary folder and what it made is checked
// the way the editor and the game will meet it.

#include "MachineChecks.h"
#include "MpqFixture.h"
#include "PictureFixtures.h"
#include "TempFolder.h"

#include <StormLib.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;
const std::string kSource = TARVANE_DEMO_SOURCE;

// Every header the editors look up, spelled as they look it up. "~" stands for the three
// difficulty variants (plain, "(N)", "(H)"), "#" for the slot numbers 1 to 25 (10 for the
// unique item properties).
const std::map<std::string, std::string> kEditorHeaders = {
    {"monstats.txt", "Class namco Spawned NoMap ToBlock MinGrp MaxGrp AC~ Exp~ MinHP~ MaxHP~ "
                     "A1ToHit~ A2ToHit~ A1MinD~ A2MinD~ A1MaxD~ A2MaxD~ DamageResist~ "
                     "MagicResist~ FireResist~ LightResist~ ColdResist~ PoisonResist~"},
    {"MonItemPercent.txt", "TreasureClassPercent"},
    {"Levels.txt", "name Mtot M# Utot U# MonUMin MonUMax"},
    {"Armor.txt", "name invfile absorbs minac maxac speed reqstr block durability gemsockets "
                  "mindam maxdam invwidth invheight hasinv"},
    {"Weapons.txt", "name mindam maxdam 2handmindam 2handmaxdam rangeadder speed minmisdam "
                    "maxmisdam reqstr reqdex durability 2Handed invfile invwidth invheight"},
    {"DifficultyLevels.txt", "DeathExpPenalty MonsterSkillBonus ResistPenalty "
                             "MonsterFreezeDivisor AiCurseDivisor MonsterColdDivisor "
                             "LifeStealDivisor ManaStealDivisor"},
    {"UniqueItems.txt", "name ItemMod#Code ItemMod#Min ItemMod#Max"},
    {"TreasureClassEx.txt", "NoDrop"},
    {"Skills.txt", "skill"},
};

std::vector<std::string> Expand(const std::string& table) {
    std::vector<std::string> headers;
    std::istringstream words(kEditorHeaders.at(table));
    for (std::string word; words >> word;) {
        size_t at = word.find_first_of("~#");
        if (at == std::string::npos) {
            headers.push_back(word);
        } else if (word[at] == '~') {
            for (const char* suffix : {"", "(N)", "(H)"})
                headers.push_back(word.substr(0, at) + suffix);
        } else {
            for (int i = 1; i <= (table == "Levels.txt" ? 25 : 10); ++i)
                headers.push_back(word.substr(0, at) + std::to_string(i) + word.substr(at + 1));
        }
    }
    return headers;
}

std::string Quote(const std::string& text) {
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// Runs a shell command line; true when it exited with status 0. Its output goes to `output`.
bool RunShell(const std::string& commandLine, std::string* output = nullptr) {
    FILE* pipe = ::popen((commandLine + " 2>&1").c_str(), "r");
    if (pipe == nullptr)
        return false;
    char buffer[256];
    for (size_t count; (count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        if (output != nullptr)
            output->append(buffer, count);
    return ::pclose(pipe) == 0;
}

bool RunGenerator(const std::string& source, const std::string& output) {
    return RunShell(Quote(TARVANE_MAKE_DEMO_GAME) + " " + Quote(source) + " " + Quote(output));
}

// The compression byte of a file's first sector as the archive stores it (the game cannot read
// every compression StormLib can write); -1 when that sector is stored as is.
int FirstSectorCompression(const StoredFile& stored, size_t size) {
    if (!(stored.flags & MPQ_FILE_COMPRESS) || (stored.flags & MPQ_FILE_SINGLE_UNIT) ||
        stored.raw.size() < 8)
        return -1;
    // The sector offset table comes first; a sector shorter than its data is compressed.
    uint32_t first = ReadU32(stored.raw, 0), second = ReadU32(stored.raw, 4);
    if (first >= stored.raw.size() || second - first >= std::min<size_t>(stored.sectorSize, size))
        return -1;
    return static_cast<uint8_t>(stored.raw[first]);
}

// Splits a table into cells; nothing unless every line ends in CR LF.
std::optional<Rows> ParseTable(const std::string& bytes) {
    Rows rows;
    for (size_t start = 0, end; start < bytes.size(); start = end + 2) {
        end = bytes.find("\r\n", start);
        std::string line = bytes.substr(start, end - start);
        if (end == std::string::npos || line.find_first_of("\r\n") != std::string::npos)
            return std::nullopt;
        rows.emplace_back();
        for (size_t from = 0, tab = 0; tab != std::string::npos; from = tab + 1) {
            tab = line.find('\t', from);
            rows.back().push_back(line.substr(from, tab - from));
        }
    }
    return rows;
}

int Column(const Rows& table, const std::string& header) {
    auto it = std::find(table[0].begin(), table[0].end(), header);
    return it == table[0].end() ? -1 : static_cast<int>(it - table[0].begin());
}

class DemoGameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = std::make_unique<CTempFolder>();
        // The second run must replace the archives of the first.
        s_built = RunGenerator(kSource, Demo()) && RunGenerator(kSource, Demo());
    }
    static void TearDownTestSuite() { s_folder.reset(); }
    void SetUp() override { ASSERT_TRUE(s_built); }

    static std::string Demo() { return s_folder->File("demo"); }
    static std::string Game(const std::string& name) { return Demo() + "/game/" + name; }
    static Rows Table(const std::string& name) {
        auto file = ReadArchived(Game("Patch_D2.mpq"), "Data\\Global\\Excel\\" + name);
        return (file ? ParseTable(*file) : std::nullopt).value_or(Rows{{}});
    }

    static inline std::unique_ptr<CTempFolder> s_folder;
    static inline bool s_built = false;
};

TEST_F(DemoGameTest, ArchivesHoldTheTablesPkwareCompressedAndOnlyThePatchHoldsCompiledTables) {
    for (const std::string archive : {"d2data.mpq", "d2exp.mpq", "Patch_D2.mpq"}) {
        for (const auto& [table, headers] : kEditorHeaders) {
            auto file = ReadArchived(Game(archive), "Data\\Global\\Excel\\" + table);
            auto stored = ReadStored(Game(archive), "Data\\Global\\Excel\\" + table);
            ASSERT_TRUE(file && stored && (stored->flags & MPQ_FILE_COMPRESS))
                << archive << " lacks " << table << " or stores it uncompressed";
            EXPECT_EQ(*file, ReadTextFile(kSource + "/tables/" + table));
            // Small tables may be stored as is; the big one must be compressed.
            int compression = FirstSectorCompression(*stored, file->size());
            EXPECT_TRUE(compression == MPQ_COMPRESSION_PKWARE ||
                        (compression == -1 && table != "monstats.txt"))
                << table << " compression " << compression;
        }
        EXPECT_EQ(ReadArchived(Game(archive), "Data\\Global\\Excel\\Armor.bin").has_value(),
                  archive == "Patch_D2.mpq")
            << archive;
    }
}

TEST_F(DemoGameTest, TablesAreRectangularAndCarryTheEditorsColumns) {
    for (const auto& [name, headers] : kEditorHeaders) {
        Rows table = Table(name);
        ASSERT_GE(table.size(), 3u) << name << " is missing, empty or not CR LF";
        for (const auto& row : table)
            ASSERT_EQ(row.size(), table[0].size()) << name << " row " << row[0];
        for (const std::string& header : Expand(name))
            EXPECT_GE(Column(table, header), 0) << name << " lacks " << header;
    }
    // Monsters, areas, items and slots are also found by position.
    EXPECT_EQ(Table("monstats.txt")[0][0] + " " + Table("monstats.txt")[0][1], "Class namco");
    for (const char* table : {"Levels.txt", "Armor.txt", "Weapons.txt", "UniqueItems.txt"})
        EXPECT_EQ(Table(table)[0][0], "name") << table;
    Rows levels = Table("Levels.txt");
    for (int i = 1; i < 25; ++i) {
        EXPECT_EQ(Column(levels, "M" + std::to_string(i + 1)), Column(levels, "M1") + i);
        EXPECT_EQ(Column(levels, "U" + std::to_string(i + 1)), Column(levels, "U1") + i);
    }
}

TEST_F(DemoGameTest, ExpansionRowsSplitEveryListedTable) {
    for (const char* name :
         {"monstats.txt", "Levels.txt", "Armor.txt", "Weapons.txt", "UniqueItems.txt"}) {
        Rows table = Table(name);
        size_t key = std::string(name) == "monstats.txt" ? 1 : 0, found = 0, at = 0;
        for (size_t row = 1; row < table.size(); ++row)
            if (table[row][key] == "Expansion")
                found++, at = row;
        EXPECT_EQ(found, 1u) << name;
        EXPECT_TRUE(at > 2 && at + 2 < table.size()) << name << ": rows on both sides";
    }
    Rows difficulty = Table("DifficultyLevels.txt");
    ASSERT_EQ(difficulty.size(), 4u);
    EXPECT_EQ(difficulty[1][0] + difficulty[2][0] + difficulty[3][0], "NormalNightmareHell");
}

TEST_F(DemoGameTest, AreasAndUniquesReferToWhatExists) {
    Rows levels = Table("Levels.txt");
    const size_t monsters = Table("monstats.txt").size() - 1;
    for (size_t row = 1; row < levels.size(); ++row) {
        for (const std::string kind : {"M", "U"}) {
            int first = Column(levels, kind + "1"), total = Column(levels, kind + "tot");
            ASSERT_TRUE(first >= 0 && total >= 0);
            int count = levels[row][total].empty() ? 0 : std::stoi(levels[row][total]);
            ASSERT_LE(count, 25) << levels[row][0];
            for (int i = 0; i < 25; ++i) {
                const std::string& slot = levels[row][first + i];
                EXPECT_EQ(slot.empty(), i >= count) << levels[row][0] << " " << kind << i + 1;
                EXPECT_TRUE(slot.empty() || std::stoul(slot) < monsters) << levels[row][0];
            }
        }
    }
    std::string config = ReadTextFile(Demo() + "/work/uniq.cfg");
    EXPECT_EQ(config, ReadTextFile(kSource + "/uniq.cfg"));
    auto lines = ParseTable(config);
    ASSERT_TRUE(lines);
    std::set<std::string> described;
    for (const auto& line : *lines) {
        // Code, a second word, a description; an empty line would end the reading.
        ASSERT_NE(line[0].find(' ', line[0].find(' ') + 1), std::string::npos) << line[0];
        described.insert(line[0].substr(0, line[0].find(' ')));
    }
    Rows uniques = Table("UniqueItems.txt");
    for (size_t row = 1; row < uniques.size(); ++row)
        for (int i = 1; i <= 10; ++i) {
            std::string code =
                uniques[row][Column(uniques, "ItemMod" + std::to_string(i) + "Code")];
            EXPECT_TRUE(code.empty() || described.count(code)) << code;
        }
}

TEST_F(DemoGameTest, WorkingFolderNamesTheGameFolder) {
    EXPECT_EQ(ReadTextFile(Demo() + "/work/Tarvane.ini"),
              "[Diablo II]\r\nFolder=" + Demo() + "/game\r\n");
    EXPECT_EQ(::access(Game("Diablo II.exe").c_str(), X_OK), 0);
}

TEST_F(DemoGameTest, StandInGameCompilesTheTablesOfItsCurrentFolder) {
    CTempFolder run;
    if (!CanRunScriptsIn(run.Path()))
        GTEST_SKIP() << "needs /bin/sh and a temporary folder that allows running programs";
    WriteTextFile(run.File("Levels.txt"), "name\r\nA\r\n");
    const std::string command =
        "cd " + Quote(run.Path()) + " && " + Quote(Game("Diablo II.exe")) + " -txt";
    std::string said;
    ASSERT_TRUE(RunShell(command, &said));
    EXPECT_NE(said, "");
    const std::string excel = run.File("data/global/excel/");
    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(excel))
        written.insert(entry.path().filename().string());
    EXPECT_EQ(written,
              (std::set<std::string>{"ARMOR.BIN", "difficultylevels.bin", "levels.bin",
                                     "MonItemPercent.bin", "Monstats.bin", "UniqueItems.bin",
                                     "Weapons.bin", "Skills.bin", "TreasureClassEx.bin"}));
    // The output follows the table: the same table gives the same bytes, the edited one other.
    std::string before = ReadTextFile(excel + "levels.bin");
    ASSERT_TRUE(RunShell(command));
    EXPECT_EQ(ReadTextFile(excel + "levels.bin"), before);
    WriteTextFile(run.File("tmpLevels.txt"), "name\r\nB\r\n");
    ASSERT_TRUE(RunShell(command));
    EXPECT_NE(ReadTextFile(excel + "levels.bin"), before);
}

TEST(DemoGameSource, TableWithBareLineFeedsIsRefusedBeforeAnythingIsBuilt) {
    CTempFolder folder;
    fs::copy(kSource, folder.File("source"), fs::copy_options::recursive);
    std::string levels = ReadTextFile(folder.File("source/tables/Levels.txt"));
    std::erase(levels, '\r');
    WriteTextFile(folder.File("source/tables/Levels.txt"), levels);
    EXPECT_FALSE(RunGenerator(folder.File("source"), folder.File("out")));
    EXPECT_FALSE(fs::exists(folder.File("out/game/d2data.mpq")));
    EXPECT_FALSE(RunGenerator(folder.File("missing"), folder.File("out")));
}

} // namespace
