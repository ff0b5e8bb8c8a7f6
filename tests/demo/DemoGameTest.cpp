// The demo game folder: the generator is run into a temporary folder and what it made is checked
// the way the editor and the game will meet it.

#include "TempFolder.h"

#include <StormLib.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

const std::vector<std::string> kTables = {
    "monstats.txt",         "MonItemPercent.txt", "Levels.txt",          "Armor.txt", "Weapons.txt",
    "DifficultyLevels.txt", "UniqueItems.txt",    "TreasureClassEx.txt", "Skills.txt"};

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
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        if (output != nullptr)
            output->append(buffer, count);
    return ::pclose(pipe) == 0;
}

bool RunGenerator(const std::string& source, const std::string& output) {
    return RunShell(Quote(TARVANE_MAKE_DEMO_GAME) + " " + Quote(source) + " " + Quote(output));
}

std::optional<std::string> ReadArchived(const std::string& archive, const std::string& name) {
    HANDLE mpq = nullptr, file = nullptr;
    if (!SFileOpenArchive(archive.c_str(), 0, MPQ_OPEN_READ_ONLY, &mpq))
        return std::nullopt;
    std::optional<std::string> bytes;
    if (SFileOpenFileEx(mpq, name.c_str(), SFILE_OPEN_FROM_MPQ, &file)) {
        std::string data(SFileGetFileSize(file, nullptr), '\0');
        DWORD read = 0;
        if (SFileReadFile(file, data.data(), static_cast<DWORD>(data.size()), &read, nullptr) &&
            read == data.size())
            bytes = std::move(data);
        SFileCloseFile(file);
    }
    SFileCloseArchive(mpq);
    return bytes;
}

// The compression byte of the file's first sector when that sector is stored compressed, -1
// when it is stored as is, nothing when the file cannot be looked at.
std::optional<int> FirstSectorCompression(const std::string& archive, const std::string& name) {
    HANDLE mpq = nullptr, file = nullptr;
    std::optional<int> mask;
    if (!SFileOpenArchive(archive.c_str(), 0, MPQ_OPEN_READ_ONLY, &mpq))
        return mask;
    ULONGLONG offset = 0;
    DWORD flags = 0, sectorSize = 0;
    if (SFileOpenFileEx(mpq, name.c_str(), SFILE_OPEN_FROM_MPQ, &file)) {
        DWORD size = SFileGetFileSize(file, nullptr);
        std::string raw = ReadTextFile(archive);
        if (SFileGetFileInfo(file, SFileInfoByteOffset, &offset, sizeof offset, nullptr) &&
            SFileGetFileInfo(file, SFileInfoFlags, &flags, sizeof flags, nullptr) &&
            SFileGetFileInfo(mpq, SFileMpqSectorSize, &sectorSize, sizeof sectorSize, nullptr) &&
            (flags & MPQ_FILE_COMPRESS) && !(flags & (MPQ_FILE_ENCRYPTED | MPQ_FILE_SINGLE_UNIT)) &&
            offset + 8 <= raw.size()) {
            auto word = [&](size_t at) {
                return static_cast<uint32_t>(static_cast<uint8_t>(raw[at])) |
                       static_cast<uint32_t>(static_cast<uint8_t>(raw[at + 1])) << 8 |
                       static_cast<uint32_t>(static_cast<uint8_t>(raw[at + 2])) << 16 |
                       static_cast<uint32_t>(static_cast<uint8_t>(raw[at + 3])) << 24;
            };
            uint32_t start = word(offset), end = word(offset + 4);
            if (offset + start < raw.size())
                mask = end - start < std::min(sectorSize, size)
                           ? static_cast<uint8_t>(raw[offset + start])
                           : -1;
        }
        SFileCloseFile(file);
    }
    SFileCloseArchive(mpq);
    return mask;
}

// Splits a table into cells, failing on anything but CR LF line ends.
std::optional<Rows> ParseTable(const std::string& bytes) {
    if (bytes.size() < 2 || bytes.compare(bytes.size() - 2, 2, "\r\n") != 0)
        return std::nullopt;
    Rows rows;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find("\r\n", start);
        std::string line = bytes.substr(start, end - start);
        if (line.find_first_of("\r\n") != std::string::npos)
            return std::nullopt;
        rows.emplace_back();
        for (size_t from = 0;;) {
            size_t tab = line.find('\t', from);
            rows.back().push_back(line.substr(from, tab - from));
            if (tab == std::string::npos)
                break;
            from = tab + 1;
        }
        start = end + 2;
    }
    return rows;
}

int Column(const Rows& table, const std::string& header) {
    for (size_t i = 0; i < table[0].size(); ++i)
        if (table[0][i] == header)
            return static_cast<int>(i);
    return -1;
}

// Every header the editors look up, spelled as they look it up.
std::vector<std::string> EditorHeaders(const std::string& table) {
    std::vector<std::string> headers;
    auto perDifficulty = [&](std::initializer_list<const char*> names) {
        for (const char* suffix : {"", "(N)", "(H)"})
            for (const char* name : names)
                headers.push_back(std::string(name) + suffix);
    };
    if (table == "monstats.txt") {
        headers = {"Class", "namco", "Spawned", "NoMap", "ToBlock", "MinGrp", "MaxGrp"};
        perDifficulty({"AC", "Exp", "MinHP", "MaxHP", "A1ToHit", "A2ToHit", "A1MinD", "A2MinD",
                       "A1MaxD", "A2MaxD", "DamageResist", "MagicResist", "FireResist",
                       "LightResist", "ColdResist", "PoisonResist"});
    } else if (table == "Levels.txt") {
        headers = {"name", "Mtot", "Utot", "MonUMin", "MonUMax"};
        for (int i = 1; i <= 25; ++i)
            headers.insert(headers.end(), {"M" + std::to_string(i), "U" + std::to_string(i)});
    } else if (table == "Armor.txt") {
        headers = {"name",   "invfile", "absorbs",  "minac",      "maxac",
                   "speed",  "reqstr",  "block",    "durability", "gemsockets",
                   "mindam", "maxdam",  "invwidth", "invheight",  "hasinv"};
    } else if (table == "Weapons.txt") {
        headers = {"name",    "mindam",    "maxdam",    "2handmindam", "2handmaxdam", "rangeadder",
                   "speed",   "minmisdam", "maxmisdam", "reqstr",      "reqdex",      "durability",
                   "2Handed", "invfile",   "invwidth",  "invheight"};
    } else if (table == "DifficultyLevels.txt") {
        headers = {"DeathExpPenalty",      "MonsterSkillBonus", "ResistPenalty",
                   "MonsterFreezeDivisor", "AiCurseDivisor",    "MonsterColdDivisor",
                   "LifeStealDivisor",     "ManaStealDivisor"};
    } else if (table == "UniqueItems.txt") {
        headers = {"name"};
        for (int i = 1; i <= 10; ++i)
            for (const char* part : {"Code", "Min", "Max"})
                headers.push_back("ItemMod" + std::to_string(i) + part);
    } else if (table == "MonItemPercent.txt") {
        headers = {"TreasureClassPercent"};
    } else if (table == "TreasureClassEx.txt") {
        headers = {"NoDrop"};
    }
    return headers;
}

class DemoGameTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        s_folder = std::make_unique<CTempFolder>();
        // The second run must replace the archives of the first.
        s_built =
            RunGenerator(TARVANE_DEMO_SOURCE, Demo()) && RunGenerator(TARVANE_DEMO_SOURCE, Demo());
    }
    static void TearDownTestSuite() { s_folder.reset(); }
    void SetUp() override { ASSERT_TRUE(s_built); }

    static std::string Demo() { return s_folder->File("demo"); }
    static std::string Game(const std::string& name) { return Demo() + "/game/" + name; }
    static Rows Table(const std::string& name) {
        auto bytes = ReadArchived(Game("Patch_D2.mpq"), "Data\\Global\\Excel\\" + name);
        auto rows = bytes ? ParseTable(*bytes) : std::nullopt;
        return rows.value_or(Rows{{}});
    }

    static inline std::unique_ptr<CTempFolder> s_folder;
    static inline bool s_built = false;
};

TEST_F(DemoGameTest, ArchivesHoldTheTablesAndOnlyThePatchHoldsCompiledTables) {
    for (const char* archive : {"d2data.mpq", "d2exp.mpq", "Patch_D2.mpq"}) {
        for (const std::string& table : kTables) {
            std::string name = "Data\\Global\\Excel\\" + table;
            auto bytes = ReadArchived(Game(archive), name);
            ASSERT_TRUE(bytes) << archive << " lacks " << name;
            EXPECT_EQ(*bytes, ReadTextFile(std::string(TARVANE_DEMO_SOURCE) + "/tables/" + table));
            // PKWARE (mask 8) only: the game cannot read zlib.
            auto compression = FirstSectorCompression(Game(archive), name);
            ASSERT_TRUE(compression) << archive << " stores " << name << " uncompressed";
            if (table == "monstats.txt")
                EXPECT_EQ(*compression, MPQ_COMPRESSION_PKWARE);
            else
                EXPECT_TRUE(*compression == MPQ_COMPRESSION_PKWARE || *compression == -1);
        }
        bool isPatch = std::string(archive) == "Patch_D2.mpq";
        EXPECT_EQ(ReadArchived(Game(archive), "Data\\Global\\Excel\\Armor.bin").has_value(),
                  isPatch)
            << archive;
    }
}

TEST_F(DemoGameTest, TablesAreRectangularAndCarryTheEditorsColumns) {
    for (const std::string& name : kTables) {
        Rows table = Table(name);
        ASSERT_GE(table.size(), 3u) << name << " is missing, empty or not CR LF";
        for (const auto& row : table)
            ASSERT_EQ(row.size(), table[0].size()) << name << " row " << row[0];
        for (const std::string& header : EditorHeaders(name))
            EXPECT_GE(Column(table, header), 0) << name << " lacks " << header;
    }
    // Monsters, areas and items are found by column position, not by header.
    EXPECT_EQ(Table("monstats.txt")[0][0], "Class");
    EXPECT_EQ(Table("monstats.txt")[0][1], "namco");
    for (const char* table : {"Levels.txt", "Armor.txt", "Weapons.txt", "UniqueItems.txt"})
        EXPECT_EQ(Table(table)[0][0], "name") << table;
    Rows levels = Table("Levels.txt"); // slots are addressed from M1 and U1 onwards
    for (int i = 1; i < 25; ++i) {
        EXPECT_EQ(Column(levels, "M" + std::to_string(i + 1)), Column(levels, "M1") + i);
        EXPECT_EQ(Column(levels, "U" + std::to_string(i + 1)), Column(levels, "U1") + i);
    }
}

TEST_F(DemoGameTest, ExpansionRowsSplitEveryListedTable) {
    for (const char* name :
         {"monstats.txt", "Levels.txt", "Armor.txt", "Weapons.txt", "UniqueItems.txt"}) {
        Rows table = Table(name);
        size_t key = std::string(name) == "monstats.txt" ? 1 : 0;
        std::vector<size_t> separators;
        for (size_t row = 1; row < table.size(); ++row)
            if (table[row][key] == "Expansion")
                separators.push_back(row);
        ASSERT_EQ(separators.size(), 1u) << name;
        EXPECT_GT(separators[0], 2u) << name;
        EXPECT_LT(separators[0] + 2, table.size()) << name;
    }
    Rows difficulty = Table("DifficultyLevels.txt");
    ASSERT_EQ(difficulty.size(), 4u);
    EXPECT_EQ(difficulty[1][0] + difficulty[2][0] + difficulty[3][0], "NormalNightmareHell");
}

TEST_F(DemoGameTest, AreasAndUniquesReferToWhatExists) {
    Rows levels = Table("Levels.txt");
    size_t monsters = Table("monstats.txt").size() - 1;
    for (const auto& row : levels) {
        if (&row == &levels[0])
            continue;
        for (const char* kind : {"M", "U"}) {
            int first = Column(levels, std::string(kind) + "1");
            int totalColumn = Column(levels, std::string(kind) + "tot");
            ASSERT_TRUE(first >= 0 && totalColumn >= 0);
            int count = row[totalColumn].empty() ? 0 : std::stoi(row[totalColumn]);
            ASSERT_LE(count, 25) << row[0];
            for (int i = 0; i < 25; ++i) {
                const std::string& slot = row[first + i];
                EXPECT_EQ(slot.empty(), i >= count) << row[0] << " " << kind << i + 1;
                if (i < count) {
                    EXPECT_LT(std::stoul(slot), monsters) << row[0] << " " << kind << i + 1;
                }
            }
        }
    }
    std::set<std::string> described;
    std::string config = ReadTextFile(Demo() + "/work/uniq.cfg");
    EXPECT_EQ(config, ReadTextFile(std::string(TARVANE_DEMO_SOURCE) + "/uniq.cfg"));
    auto lines = ParseTable(config);
    ASSERT_TRUE(lines);
    for (const auto& line : *lines) {
        size_t blank = line[0].find(' ');
        ASSERT_NE(blank, std::string::npos) << line[0]; // an empty line would end the reading
        described.insert(line[0].substr(0, blank));
    }
    Rows uniques = Table("UniqueItems.txt");
    for (size_t row = 1; row < uniques.size(); ++row)
        for (int i = 1; i <= 10; ++i) {
            const std::string& code =
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
    WriteTextFile(run.File("Levels.txt"), "name\r\nA\r\n");
    const std::string command = "cd " + Quote(run.Path()) + " && " + Quote(Game("Diablo II.exe"));
    std::string said;
    ASSERT_TRUE(RunShell(command + " -txt", &said));
    EXPECT_NE(said, "");
    const std::string excel = run.File("data/global/excel/");
    std::set<std::string> written;
    for (const auto& entry : fs::directory_iterator(excel))
        written.insert(entry.path().filename().string());
    EXPECT_EQ(written,
              (std::set<std::string>{"armor.bin", "difficultylevels.bin", "Levels.bin",
                                     "MonItemPercent.bin", "Monstats.bin", "UniqueItems.bin",
                                     "Weapons.bin", "Skills.bin", "TreasureClassEx.bin"}));
    // The output follows the table: the same table gives the same bytes, the edited one other.
    std::string before = ReadTextFile(excel + "Levels.bin");
    ASSERT_TRUE(RunShell(command + " -txt"));
    EXPECT_EQ(ReadTextFile(excel + "Levels.bin"), before);
    WriteTextFile(run.File("tmpLevels.txt"), "name\r\nB\r\n");
    ASSERT_TRUE(RunShell(command + " -txt"));
    EXPECT_NE(ReadTextFile(excel + "Levels.bin"), before);
}

TEST(DemoGameSource, TableWithBareLineFeedsIsRefusedBeforeAnythingIsBuilt) {
    CTempFolder folder;
    fs::copy(TARVANE_DEMO_SOURCE, folder.File("source"), fs::copy_options::recursive);
    std::string levels = ReadTextFile(folder.File("source/tables/Levels.txt"));
    std::erase(levels, '\r');
    WriteTextFile(folder.File("source/tables/Levels.txt"), levels);
    EXPECT_FALSE(RunGenerator(folder.File("source"), folder.File("out")));
    EXPECT_FALSE(fs::exists(folder.File("out/game/d2data.mpq")));
    EXPECT_FALSE(RunGenerator(folder.File("missing"), folder.File("out")));
}

} // namespace
