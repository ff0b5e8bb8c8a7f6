// The area operations' edges that the dialog cannot reach; the dialog's tests cover the rest.
#include "editors/ModFuncs.h"
#include "table/TxtTable.h"

#include "TableFixture.h"

#include <gtest/gtest.h>

namespace {

TEST(ModFuncsLocations, SlotsStayInsideTheirTwentyFiveColumns) {
    // An area claiming 30 types; the column after M25 is not a slot.
    TableRows rows = {{"name"}, {"Odd"}};
    for (int i = 1; i <= 25; ++i) {
        rows[0].push_back("M" + std::to_string(i));
        rows[1].push_back(std::to_string(i));
    }
    rows[0].insert(rows[0].end(), {"Mtot", "Waypoint"});
    rows[1].insert(rows[1].end(), {"30", "255"});
    CTxtTable levels;
    LoadRows(levels, rows);
    CModFuncs funcs;

    std::vector<std::string> stored;
    ASSERT_TRUE(funcs.GetAreaMonsters(1, stored, levels));
    ASSERT_EQ(stored.size(), 25u);
    EXPECT_EQ(stored.back(), "26");
    std::vector<std::string> used;
    ASSERT_TRUE(funcs.GetUsedMonsterRows(used, levels));
    EXPECT_EQ(used, stored);

    // A 26th type is refused whole; 25 are written.
    const std::string before = levels.ToBytes();
    stored.push_back("9");
    EXPECT_FALSE(funcs.SetAreaMonsters(1, stored, levels));
    EXPECT_EQ(levels.ToBytes(), before);
    stored.pop_back();
    stored.pop_back();
    ASSERT_TRUE(funcs.SetAreaMonsters(1, stored, levels));
    EXPECT_EQ(levels.GetCell(levels.FindColumn("M25", 0), 1), "0");
    EXPECT_EQ(levels.GetCell(levels.FindColumn("Mtot", 0), 1), "24");
    EXPECT_EQ(levels.GetCell(levels.FindColumn("Waypoint", 0), 1), "255");

    // No boss columns, no such row: nothing read, nothing written.
    for (int32_t area : {0, 1, 2}) {
        std::vector<std::string> kept{"kept"};
        EXPECT_FALSE(funcs.GetAreaBosses(area, kept, levels));
        EXPECT_EQ(kept, std::vector<std::string>{"kept"});
        EXPECT_FALSE(funcs.SetAreaBosses(area, {}, levels));
        EXPECT_EQ(funcs.GetMinBosses(area, levels), -1);
        EXPECT_FALSE(funcs.SetMaxBosses("3", area, levels));
    }
}

} // namespace
