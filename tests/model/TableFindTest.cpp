#include "model/TableFind.h"
#include "table/TxtTable.h"

#include <gtest/gtest.h>

namespace {

TEST(TableFindTest, FindsWithOptionsAndWraps) {
    CTxtTable table;
    ASSERT_TRUE(table.LoadFromBytes("Fire\tname\r\nfireball\tFire\r\nice\tFIRE\xC9\r\n"));
    struct Case {
        std::string text;
        CellPosition start;
        FindOptions options;
        std::optional<CellPosition> found;
    };
    const Case cases[] = {
        {"fire", {0, 1}, {}, CellPosition{1, 1}}, // next cell, not the header
        {"fire", {1, 2}, {}, CellPosition{0, 1}}, // wraps past the end
        {"fire", {0, 1}, {.wholeCell = true}, CellPosition{1, 1}},
        {"fire", {1, 1}, {.wholeCell = true}, CellPosition{1, 1}}, // itself, last
        {"Fire", {1, 1}, {.matchCase = true}, CellPosition{1, 1}},
        {"fire\xE9", {0, 1}, {}, std::nullopt}, // ASCII letters only fold
        {"fire", {1, 1}, {.backwards = true}, CellPosition{0, 1}},
        {"fire", {0, 1}, {.backwards = true}, CellPosition{1, 2}}, // wraps past the start
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text + " from " + std::to_string(c.start.col) + "," +
                     std::to_string(c.start.tableRow));
        const std::optional<CellPosition> found = FindNext(table, c.text, c.start, c.options);
        EXPECT_EQ(found.has_value(), c.found.has_value());
        EXPECT_EQ(found.value_or(CellPosition{-1, -1}), c.found.value_or(CellPosition{-1, -1}));
    }
}

} // namespace
