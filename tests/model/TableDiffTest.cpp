#include "model/TableDiff.h"
#include "table/TxtTable.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

CTableDiff Diff(const char* base, const char* mod) {
    CTxtTable baseTable, modTable;
    EXPECT_TRUE(baseTable.LoadFromBytes(base));
    EXPECT_TRUE(modTable.LoadFromBytes(mod));
    return CTableDiff::Compare(baseTable, modTable);
}

// "r<mod row>/<base row> c<mod col>/<base col> <game's>><mod's>" per cell, then the added and
// removed rows and columns.
std::string Describe(const CTableDiff& diff) {
    std::string text;
    for (const CTableDiff::Row& row : diff.changedRows)
        for (const CTableDiff::Cell& cell : row.cells)
            text += "r" + std::to_string(row.modRow) + "/" + std::to_string(row.baseRow) + " c" +
                    std::to_string(cell.modCol) + "/" + std::to_string(cell.baseCol) + " " +
                    cell.baseText + ">" + cell.modText + "; ";
    const auto list = [&](const char* what, const std::vector<int32_t>& items) {
        for (int32_t item : items)
            text += what + std::to_string(item) + "; ";
    };
    list("+row ", diff.addedRows);
    list("-row ", diff.removedRows);
    list("+col ", diff.addedColumns);
    list("-col ", diff.removedColumns);
    return text;
}

TEST(TableDiff, PairsRowsByKeyAndColumnsByHeader) {
    struct Case {
        const char* what;
        const char* base;
        const char* mod;
        const char* expected;
    };
    const Case cases[] = {
        {"same", "k\ta\r\nx\t1\r\n", "k\ta\r\nx\t1\r\n", ""},
        {"changed cell", "k\ta\tb\r\nx\t1\t2\r\ny\t3\t4\r\n", "k\ta\tb\r\nx\t1\t2\r\ny\t3\t5\r\n",
         "r2/2 c2/2 4>5; "},
        {"inserted row", "k\ta\r\nx\t1\r\ny\t2\r\nz\t3\r\n",
         "k\ta\r\nx\t1\r\nnew\t9\r\ny\t2\r\nz\t3\r\n", "+row 2; "},
        {"removed row", "k\ta\r\nx\t1\r\ny\t2\r\nz\t3\r\n", "k\ta\r\nx\t1\r\nz\t3\r\n", "-row 2; "},
        // The n-th row of a repeated key pairs with the n-th, empty keys too.
        {"repeated keys", "k\ta\r\nx\t1\r\n\t5\r\nx\t2\r\n\t6\r\n",
         "k\ta\r\nx\t1\r\n\t5\r\nx\t7\r\n\t6\r\nx\t3\r\n\t8\r\n",
         "r3/3 c1/1 2>7; +row 5; +row 6; "},
        {"moved row", "k\ta\r\nx\t1\r\ny\t2\r\n", "k\ta\r\ny\t2\r\nx\t1\r\n", ""},
        // A column one side lacks is counted only; the others still pair by header.
        {"added column", "k\ta\tb\r\nx\t1\t2\r\n", "k\tnew\ta\tb\r\nx\t0\t1\t3\r\n",
         "r1/1 c3/2 2>3; +col 1; "},
        {"removed column", "k\ta\tb\r\nx\t1\t2\r\n", "k\tb\r\nx\t2\r\n", "-col 1; "},
        {"repeated headers", "k\ta\ta\r\nx\t1\t2\r\n", "k\ta\ta\ta\r\nx\t1\t3\t4\r\n",
         "r1/1 c2/2 2>3; +col 3; "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Describe(Diff(c.base, c.mod)), c.expected);
    }
}

TEST(TableDiff, SummarySentenceCountsTablesCellsAndRows) {
    const CTableDiff cell = Diff("k\ta\r\nx\t1\r\n", "k\ta\r\nx\t2\r\n");
    const CTableDiff rows = Diff("k\ta\r\nx\t1\r\ny\t2\r\n", "k\ta\r\nx\t1\r\nz\t2\r\nw\t3\r\n");
    const CTableDiff same = Diff("k\r\nx\r\n", "k\r\nx\r\n");
    struct Case {
        std::vector<CTableDiff> diffs;
        const char* expected;
    };
    const Case cases[] = {
        {{same}, "No table differs from the game's."},
        {{cell, same}, "1 table differs from the game's: 1 cell, 0 rows added"},
        {{cell, rows}, "2 tables differ from the game's: 1 cell, 2 rows added, 1 row removed"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ChangesSummary(c.diffs), c.expected);
}

} // namespace
