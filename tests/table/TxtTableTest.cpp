#include "table/TxtTable.h"

#include "ScriptedPrompts.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sys/resource.h>
#include <unistd.h>
#include <utility>

namespace {

// Loads `bytes` from a file in a fresh folder.
struct LoadedTable {
    CTempFolder dir;
    CTxtTable table;
    explicit LoadedTable(const std::string& bytes) {
        WriteTextFile(dir.File("in.txt"), bytes);
        EXPECT_TRUE(table.Load(dir.File("in.txt")));
    }
    std::string SavedBytes() {
        EXPECT_TRUE(table.Save(dir.File("out.txt")));
        return ReadTextFile(dir.File("out.txt"));
    }
};

} // namespace

TEST(TxtTable, LoadsCellsAndSavesTheSameBytes) {
    LoadedTable t("x\ty\tz\r\n1\t\t3\r\n");
    EXPECT_EQ(t.table.Columns(), 3);
    EXPECT_EQ(t.table.Rows(), 2);
    EXPECT_EQ(t.table.GetCell(0, 0), "x");
    EXPECT_EQ(t.table.GetCell(1, 1), "");
    EXPECT_EQ(t.table.GetCell(2, 1), "3");
    EXPECT_TRUE(t.table.IsLoaded());
    EXPECT_EQ(t.SavedBytes(), "x\ty\tz\r\n1\t\t3\r\n");
}

// A table edited in one cell (or none) saves with only that cell changed: each line keeps its
// end, the last line its end or none, a short row its length unless a cell past it is written.
TEST(TxtTable, SavesEveryLineAsReadButTheEditedCell) {
    struct Case {
        const char* name;
        std::string file;
        int32_t col, row; // the cell edited, or -1
        std::string text;
        std::string saved;
    };
    const Case cases[] = {
        {"no final line end", "a\tb\r\nc\td", -1, 0, "", "a\tb\r\nc\td"},
        {"LF ends", "a\tb\nc\td\n", 1, 1, "x", "a\tb\nc\tx\n"},
        {"mixed ends", "a\tb\r\nc\td\n1\t2\r\n", 1, 2, "X", "a\tb\r\nc\td\n1\tX\r\n"},
        {"empty last row", "a\tb\r\n1\t2\r\n\r\n", -1, 0, "", "a\tb\r\n1\t2\r\n\r\n"},
        {"stray CRs", "a\tb\r\nx\ry\tz\r\nw\r", -1, 0, "", "a\tb\r\nx\ry\tz\r\nw\r"},
        {"short row kept", "a\tb\tc\nonly\n", 0, 1, "x", "a\tb\tc\nx\n"},
        {"short row grows", "a\tb\tc\nonly\r\n", 1, 1, "y", "a\tb\tc\nonly\ty\r\n"},
        {"cell past a short row emptied", "a\tb\tc\nonly\n", 2, 1, "", "a\tb\tc\nonly\n"},
        {"last row emptied", "a\nb", 0, 1, "", "a\n\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoadedTable t(c.file);
        if (c.col >= 0) {
            EXPECT_TRUE(t.table.SetCell(c.col, c.row, c.text));
        }
        EXPECT_EQ(t.SavedBytes(), c.saved);
    }
}

TEST(TxtTable, EmptyFileIsOneEmptyCell) {
    LoadedTable t("");
    EXPECT_EQ(t.table.Rows(), 1);
    EXPECT_EQ(t.table.Columns(), 1);
    EXPECT_EQ(t.SavedBytes(), "");
}

TEST(TxtTable, KeepsEveryByteOfCellsAndSurplusCells) {
    // Bytes above 127, spaces and quotes stay as they are; cells past the header's column count
    // are written back after the row instead of being dropped.
    const std::string file = "name\tvalue\r\n"
                             "\xE9p\xE9\xFF\t \"5\" \r\n"
                             "a\tb\tc\t\td\r\n"
                             "e\tf\t\r\n";
    LoadedTable t(file);
    EXPECT_EQ(t.table.Columns(), 2);
    EXPECT_EQ(t.table.GetCell(0, 1), "\xE9p\xE9\xFF");
    EXPECT_EQ(t.table.GetCell(1, 1), " \"5\" ");
    EXPECT_EQ(t.table.GetCell(1, 2), "b");
    EXPECT_EQ(t.table.SurplusText(2), "\tc\t\td");
    EXPECT_EQ(t.SavedBytes(), file);
}

TEST(TxtTable, CellAccessOutOfRange) {
    LoadedTable t("a\tb\r\n1\t2\r\n");
    EXPECT_EQ(t.table.GetCell(-1, 0), "");
    EXPECT_EQ(t.table.GetCell(2, 0), "");
    EXPECT_EQ(t.table.GetCell(0, 2), "");
    EXPECT_FALSE(t.table.SetCell(2, 0, "x"));
    EXPECT_FALSE(t.table.SetCellInt(0, -1, 5));
    EXPECT_EQ(t.SavedBytes(), "a\tb\r\n1\t2\r\n");

    EXPECT_TRUE(t.table.SetCellInt(0, 1, -40));
    EXPECT_EQ(t.table.GetCell(0, 1), "-40");
    EXPECT_TRUE(t.table.SetCell(1, 1, ""));
    EXPECT_EQ(t.SavedBytes(), "a\tb\r\n-40\t\r\n");
}

TEST(TxtTable, FindsIgnoringAsciiCaseOnly) {
    LoadedTable t("Name\tlevel\r\nname\t1\r\nZOMBIE\t2\r\n\xC9t\xE9\t3\r\nname \t4\r\n");
    EXPECT_EQ(t.table.FindRow("NAME", 0), 0); // the header row takes part
    EXPECT_EQ(t.table.FindRow("zombie", 0), 2);
    EXPECT_EQ(t.table.FindRow("\xE9t\xE9", 0), -1); // bytes above 127 compare exactly
    EXPECT_EQ(t.table.FindRow("\xC9t\xE9", 0), 3);
    EXPECT_EQ(t.table.FindRow("missing", 0), -1);
    EXPECT_EQ(t.table.FindColumn("Level", 0), 1);
    EXPECT_EQ(t.table.FindColumn("NAME", 0), 0);
    EXPECT_EQ(t.table.FindColumn("x", 7), -1);
    auto column = t.table.GetColumn("LEVEL");
    ASSERT_TRUE(column.has_value());
    EXPECT_EQ(*column, (std::vector<std::string>{"level", "1", "2", "3", "4"}));
    EXPECT_FALSE(t.table.GetColumn("nothing").has_value());
}

TEST(TxtTable, IntegerRescaling) {
    LoadedTable t("hp\r\n40\r\n20\r\n\r\nx\r\n-\r\n12abc\r\n+5\r\n 5\r\n2000000000\r\n");
    ASSERT_TRUE(t.table.MultiplyColumn(0, 3, 100));
    std::vector<std::string> expected = {"hp", "100", "60", "", "x", "0", "36", "+5", " 5", "100"};
    EXPECT_EQ(*t.table.GetColumn("hp"), expected);
    EXPECT_FALSE(t.table.MultiplyColumn(1, 3, 100));
    EXPECT_FALSE(t.table.AddToColumn(-1, 3, 100));

    // A product past the 32-bit range is held to the maximum, never wrapped to a negative value.
    LoadedTable big("hp\r\n2000000000\r\n-2000000000\r\n");
    ASSERT_TRUE(big.table.MultiplyColumn(0, 3, INT_MAX));
    EXPECT_EQ(big.table.GetCell(0, 1), "2147483647");
    EXPECT_EQ(big.table.GetCell(0, 2), "-2147483648");

    LoadedTable add("n\r\n5\r\n-7\r\n99\r\n");
    ASSERT_TRUE(add.table.AddToColumn(0, 2, 100));
    EXPECT_EQ(*add.table.GetColumn("n"), (std::vector<std::string>{"n", "7", "-5", "100"}));
}

TEST(TxtTable, DecimalRescaling) {
    LoadedTable div("n\r\n5\r\n1\r\n7.9\r\n-\r\n");
    ASSERT_TRUE(div.table.DivideColumn(0, 2.0, 1.0));
    // "-" reads as 0, already below the minimum: it stays.
    EXPECT_EQ(*div.table.GetColumn("n"), (std::vector<std::string>{"n", "2", "1", "3", "-"}));

    LoadedTable scale("n\r\n7\r\n-5.8\r\n900\r\n1e2\r\ninf\r\n");
    ASSERT_TRUE(scale.table.ScaleColumn(0, 1.5, 1000.0));
    // 10.5 and -8.7 are truncated toward zero; 1350 is held to 1000; "inf" is no number.
    EXPECT_EQ(*scale.table.GetColumn("n"),
              (std::vector<std::string>{"n", "10", "-8", "1000", "150", "inf"}));

    // Results beyond the 32-bit range are held to it instead of being undefined.
    LoadedTable zero("n\r\n5\r\n");
    ASSERT_TRUE(zero.table.DivideColumn(0, 0.0, 1.0));
    EXPECT_EQ(zero.table.GetCell(0, 1), "2147483647");
}

TEST(TxtTable, ManyChangesKeepEveryCell) {
    LoadedTable t("a\tb\r\n1\t2\r\n3\t4\r\n");
    std::string longText(200, 'q');
    for (int i = 0; i < 5000; ++i) {
        ASSERT_TRUE(t.table.SetCell(0, 1, longText + std::to_string(i)));
        ASSERT_TRUE(t.table.SetCellInt(1, 2, i));
    }
    EXPECT_EQ(t.SavedBytes(), "a\tb\r\n" + longText + "4999\t2\r\n3\t4999\r\n");
}

TEST(TxtTable, ChangedCellsThatHappenToLieSideBySideKeepTheirTabs) {
    LoadedTable t("a\tb\r\n1\t2\r\n3\t4\r\n");
    t.table.SetCell(0, 1, "ab");
    t.table.SetCell(0, 2, "z");
    t.table.SetCell(1, 1, "c");
    t.table.SetCell(1, 2, "");
    EXPECT_EQ(t.SavedBytes(), "a\tb\r\nab\tc\r\nz\t\r\n");
    CTxtTable again;
    ASSERT_TRUE(again.LoadFromBytes(t.table.ToBytes()));
    EXPECT_EQ(again.ToBytes(), t.table.ToBytes());
}

TEST(TxtTable, CopiesAreIndependent) {
    LoadedTable t("a\r\n1\r\n");
    CTxtTable copy = t.table;
    copy.SetCell(0, 1, "changed");
    EXPECT_EQ(t.table.GetCell(0, 1), "1");
    t.table = copy;
    EXPECT_EQ(t.table.GetCell(0, 1), "changed");
}

TEST(TxtTable, LoadFailuresLeaveAnEmptyTable) {
    CTempFolder dir;
    CTxtTable table;
    WriteTextFile(dir.File("a.txt"), "a\tb\r\n");
    ASSERT_TRUE(table.Load(dir.File("a.txt")));
    EXPECT_FALSE(table.Load(dir.File("missing.txt")));
    EXPECT_FALSE(table.IsLoaded());
    EXPECT_EQ(table.Columns(), 0);
    EXPECT_FALSE(table.Load(dir.Path())); // a folder is no table
}

TEST(TxtTable, SaveOfAnEmptyTableTouchesNothing) {
    CTempFolder dir;
    WriteTextFile(dir.File("keep.txt"), "old");
    CTxtTable empty;
    EXPECT_FALSE(empty.Save(dir.File("keep.txt")));
    EXPECT_EQ(ReadTextFile(dir.File("keep.txt")), "old");
}

TEST(TxtTable, FailedSaveReportsTheCauseAndKeepsTheOldFile) {
    CScriptedPrompts prompts;
    LoadedTable t("a\tb\r\n1\t2\r\n");
    t.table.SetPrompts(&prompts);

    // A folder on the way that does not exist.
    EXPECT_FALSE(t.table.Save(t.dir.File("no-such-folder/out.txt")));
    EXPECT_EQ(prompts.Messages(),
              (std::vector<std::string>{"All or part of the path is invalid."}));

    // A write that fails half way (here: the file-size limit of the process stands in for a
    // full disk): the old file is still there, whole, and no temporary file is left over.
    WriteTextFile(t.dir.File("old.txt"), "old contents\r\n");
    for (int i = 0; i < 2000; ++i)
        t.table.SetCell(0, 1, std::string(i % 50 + 1, 'x'));
    t.table.SetCell(1, 1, std::string(100000, 'y'));
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    bool saved_ok = t.table.Save(t.dir.File("old.txt"));
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved_ok);
    EXPECT_EQ(prompts.Messages().back(), "The disk is full.");
    EXPECT_EQ(ReadTextFile(t.dir.File("old.txt")), "old contents\r\n");
    int files = 0;
    for (auto& entry : std::filesystem::directory_iterator(t.dir.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(files, 2); // in.txt and old.txt
}

TEST(TxtTable, FileErrorTexts) {
    // The texts users see, written out as the program must show them.
    const std::pair<int, const char*> texts[] = {
        {0, "No error occurred."},
        {3, "All or part of the path is invalid."},
        {5, "The file could not be accessed."},
        {11, "Unable to save file, maybe in use by another process."},
        {13, "The disk is full."},
        {14, "End of File."},
        {15, ""},
        {-1, ""},
    };
    for (const auto& [cause, text] : texts)
        EXPECT_EQ(CTxtTable::FileErrorText(cause), text) << cause;
}

namespace {

#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kAddressSanitizer = true;
#else
constexpr bool kAddressSanitizer = false;
#endif
#else
constexpr bool kAddressSanitizer = false;
#endif

// Holds the process's address space to what it uses now plus `extra` bytes while it lives.
class CAddressSpaceLimit {
public:
    explicit CAddressSpaceLimit(size_t extra) {
        getrlimit(RLIMIT_AS, &m_saved);
        long pages = 0;
        if (FILE* f = std::fopen("/proc/self/statm", "r")) {
            if (std::fscanf(f, "%ld", &pages) != 1)
                pages = 0;
            std::fclose(f);
        }
        struct rlimit limit = m_saved;
        limit.rlim_cur =
            static_cast<rlim_t>(pages) * static_cast<rlim_t>(sysconf(_SC_PAGESIZE)) + extra;
        m_active = pages > 0 && setrlimit(RLIMIT_AS, &limit) == 0;
    }
    ~CAddressSpaceLimit() { setrlimit(RLIMIT_AS, &m_saved); }
    bool Active() const { return m_active; }

private:
    struct rlimit m_saved {};
    bool m_active = false;
};

} // namespace

TEST(TxtTable, LoadsThatFailOnceTheFileIsOpenAlwaysSaySo) {
    CTempFolder dir;
    // A long header line over many short lines: 10 KB that would ask for 25 million cells.
    std::string wide = std::string(5000, '\t') + "\n" + std::string(5000, '\n');
    WriteTextFile(dir.File("wide.txt"), wide);
    // A game table's shape, even with nearly every data line short, loads.
    std::string real = std::string(254, '\t') + "\r\n";
    for (int row = 1; row < 735; ++row)
        real += "m" + std::to_string(row) + "\r\n";
    WriteTextFile(dir.File("real.txt"), real);
    // Files that take no room on the disk, where the file system has them.
    std::error_code notSparse;
    for (auto [name, size] : {std::pair{"4gib.txt", 1ull << 32}, {"256mib.txt", 1ull << 28}}) {
        WriteTextFile(dir.File(name), "");
        std::filesystem::resize_file(dir.File(name), size, notSparse);
    }

    const char* const kNoMemory = "Insufficient memory!";
    struct Case {
        std::string path;
        const char* message;      // nullptr when the file loads
        size_t limitAddressSpace; // bytes more than in use now; 0 for no limit
    };
    for (const Case& c :
         {Case{dir.File("wide.txt"), kNoMemory, 0}, Case{dir.File("real.txt"), nullptr, 0},
          Case{dir.File("4gib.txt"), kNoMemory, 0},
          Case{dir.File("256mib.txt"), kNoMemory, 64 << 20},
          // Opened, but a read fails part way.
          Case{"/proc/self/mem", "There was a hardware error.", 0},
          // A file that cannot be opened is silently no table.
          Case{dir.File("missing.txt"), "", 0}}) {
        const bool sparse = c.path == dir.File("4gib.txt") || c.path == dir.File("256mib.txt");
        if (sparse && std::filesystem::file_size(c.path) == 0) {
            std::cout << "[ SKIPPED  ] " << c.path
                      << ": the temporary folder has no sparse files\n";
            continue;
        }
        if (c.limitAddressSpace != 0 && kAddressSanitizer) {
            std::cout << "[ SKIPPED  ] " << c.path
                      << ": the address sanitizer does not run under an address-space limit\n";
            continue;
        }
        CScriptedPrompts prompts;
        CTxtTable table;
        table.SetPrompts(&prompts);
        bool loaded = false;
        {
            std::optional<CAddressSpaceLimit> limit;
            if (c.limitAddressSpace != 0) {
                limit.emplace(c.limitAddressSpace);
                ASSERT_TRUE(limit->Active()) << c.path;
            }
            loaded = table.Load(c.path);
        }
        EXPECT_EQ(loaded, c.message == nullptr) << c.path;
        EXPECT_EQ(table.IsLoaded(), c.message == nullptr) << c.path;
        if (c.message == nullptr) {
            EXPECT_EQ(table.Rows(), 735) << c.path;
            EXPECT_EQ(table.Columns(), 255) << c.path;
            EXPECT_TRUE(prompts.Messages().empty()) << c.path;
        } else {
            EXPECT_EQ(table.Columns(), 0) << c.path;
            std::vector<std::string> expected;
            if (*c.message)
                expected.push_back(c.message);
            EXPECT_EQ(prompts.Messages(), expected) << c.path;
        }
    }
    // The same bound holds for a table made from bytes in memory.
    CScriptedPrompts prompts;
    CTxtTable fromBytes;
    fromBytes.SetPrompts(&prompts);
    EXPECT_FALSE(fromBytes.LoadFromBytes(wide));
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{"Insufficient memory!"});
}

TEST(TxtTable, DecimalCellsAreReadAsTheCLibraryReadsThem) {
    const std::string tiny = "0." + std::string(400, '0') + "1";
    const std::string huge = "1" + std::string(390, '0');
    enum class Op { Scale, Divide };
    struct Case {
        std::string cell;
        Op op;
        double by;    // factor or divisor
        double bound; // maximum or minimum
        const char* expected;
    };
    const Case cases[] = {
        // Too small for a double: zero, whatever the text looks like.
        {tiny, Op::Scale, 1000.0, 1e9, "0"},
        {tiny, Op::Divide, 2.0, 0.0, "0"},
        {"1" + tiny.substr(1), Op::Divide, 2.0, 1.0, "1"}, // raised to the minimum
        {"-" + tiny, Op::Scale, 1000.0, 1e9, "0"},
        {"1e-400", Op::Scale, 1000.0, 1e9, "0"},
        {huge + "e-300", Op::Scale, 1e300, 1e9, "1000000000"}, // 1e90 * 1e300: too large
        // Too large: the bound, or the 32-bit range where the bound is a minimum.
        {huge, Op::Scale, 1.5, 1000.0, "1000"},
        {huge + "e-5", Op::Scale, 1.5, 1000.0, "1000"},
        {huge, Op::Divide, 2.0, 1.0, "2147483647"},
        {huge, Op::Divide, -2.0, -5.0, "-5"},
        {"1e99999999999999999999", Op::Scale, 1.0, 1000.0, "1000"},
        // Long texts of ordinary values, and text after the number.
        {"0." + std::string(400, '0') + "1e+401", Op::Scale, 3.0, 1000.0, "3"},
        {huge + "e-389", Op::Divide, 4.0, 0.0, "2"},
        {"12,5", Op::Scale, 2.0, 1000.0, "24"},
        {"2.5e1x", Op::Scale, 2.0, 1000.0, "50"},
    };
    for (const Case& c : cases) {
        CTxtTable table;
        ASSERT_TRUE(table.LoadFromBytes("n\r\n" + c.cell + "\r\n"));
        ASSERT_TRUE(c.op == Op::Scale ? table.ScaleColumn(0, c.by, c.bound)
                                      : table.DivideColumn(0, c.by, c.bound));
        EXPECT_EQ(table.GetCell(0, 1), c.expected)
            << c.cell.substr(0, 40) << "... (" << c.cell.size() << " characters)";
    }
}

TEST(TxtTable, RefusedCellWritesChangeNothing) {
    LoadedTable t("a\tb\r\n1\t2\r\n");
    for (const char* text : {"x\ty", "x\ny", "x\ry", "\r\n", "3\t"}) {
        EXPECT_FALSE(t.table.SetCell(0, 1, text));
        EXPECT_EQ(t.table.GetCell(0, 1), "1");
    }
    EXPECT_EQ(t.SavedBytes(), "a\tb\r\n1\t2\r\n");
}
