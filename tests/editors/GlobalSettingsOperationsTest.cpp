// The whole-column changes of Global > Difficulty... at their edges: caps, floors, truncation,
// the 32-bit range, text left alone, and nothing changed when a column is missing.
#include "editors/ModFuncs.h"
#include "table/TxtTable.h"

#include "TableFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Operation = std::function<bool(const CModFuncs&, CTxtTable&)>;
using Row = std::vector<std::string>;

const Row kHitPoints = {"MinHP", "MinHP(N)", "MinHP(H)", "MaxHP", "MaxHP(N)", "MaxHP(H)"};
const Row kDamage = {"A1MinD", "A1MaxD", "A1MinD(N)", "A1MaxD(N)", "A1MinD(H)", "A1MaxD(H)"};

TEST(GlobalSettingsOperations, ColumnsChangeToTheExactFigures) {
    EXPECT_EQ(CModFuncs::DropFactor(2), 1.6666666666666665);
    EXPECT_EQ(CModFuncs::DropFactor(3), 2.333333333333333);
    EXPECT_EQ(CModFuncs::DropFactor(4), 3.0);

    struct Case {
        Operation run;
        Row headers;
        std::vector<Row> before, after; // data rows
    };
    const std::vector<Case> cases = {
        {[](auto& f, auto& t) { return f.ApplyHealthMultiplier(16, t); },
         kHitPoints,
         {{"2000000000", "-2000000000", "x9", "", "12abc", "7"}},
         {{"2147483647", "-2147483648", "x9", "", "192", "112"}}},
        {[](auto& f, auto& t) { return f.ApplyDropRate(2, t, false); },
         {"TreasureClassPercent"},
         {{"60"}, {"30"}},
         {{"95"}, {"49"}}},
        // A sure drop (NoDrop below the floor of 5) stays sure.
        {[](auto& f, auto& t) { return f.ApplyDropRate(2, t, true); },
         {"NoDrop"},
         {{"100"}, {"6"}, {"0"}, {"4"}},
         {{"60"}, {"5"}, {"0"}, {"4"}}},
        {[](auto& f, auto& t) { return f.ApplyBlockBetter(10, t); },
         {"ToBlock"},
         {{"70"}, {"20"}},
         {{"75"}, {"30"}}},
        {[](auto& f, auto& t) { return f.ApplyHitHarder(2, t); },
         kDamage,
         {{"100", "50", "49", "-3", "2147483647", "none"}},
         {{"102", "51", "49", "-3", "2147483647", "none"}}},
        {[](auto& f, auto& t) { return f.ApplyHitHarder(1, t); },
         kDamage,
         {{"100", "50", "49", "-3", "7", "none"}},
         {{"100", "50", "49", "-3", "7", "none"}}},
        // Groups shrink to 1 at the least; a size already below 1 stays.
        {[](auto& f, auto& t) { return f.ApplyLargerGroups(-3, t); },
         {"MinGrp", "MaxGrp"},
         {{"-2147483648", "2147483647"}, {"2", "4"}, {"0", "0"}, {"5", "9"}},
         {{"-2147483648", "2147483644"}, {"1", "1"}, {"0", "0"}, {"2", "6"}}},
        // Every data row, the expansion's separator too, whatever its cell held.
        {[](auto& f, auto& t) { return f.ApplyAutoMap(1, t); },
         {"Class", "nomap"},
         {{"a", ""}, {"Expansion", "x"}},
         {{"a", "1"}, {"Expansion", "1"}}},
    };
    const CModFuncs funcs;
    for (const Case& c : cases) {
        TableRows before{c.headers}, after{c.headers};
        before.insert(before.end(), c.before.begin(), c.before.end());
        after.insert(after.end(), c.after.begin(), c.after.end());
        CTxtTable table;
        LoadRows(table, before);
        EXPECT_TRUE(c.run(funcs, table)) << c.headers[0];
        EXPECT_EQ(CellsOf(table), after) << c.headers[0];
    }
}

TEST(GlobalSettingsOperations, AMissingColumnLeavesEveryColumnAsItWas) {
    const std::vector<std::pair<Operation, TableRows>> cases = {
        {[](auto& f, auto& t) { return f.ApplyHealthMultiplier(2, t); },
         {{"MinHP", "MinHP(N)", "MinHP(H)", "MaxHP", "MaxHP(N)"}, {"1", "2", "3", "4", "5"}}},
        {[](auto& f, auto& t) { return f.ApplyExperience(2, t); }, {{"Exp", "Exp(H)"}, {"9", "9"}}},
        {[](auto& f, auto& t) { return f.ApplyDropRate(2, t, true); },
         {{"TreasureClassPercent"}, {"60"}}},
        {[](auto& f, auto& t) { return f.ApplyHitHarder(50, t); },
         {{"A1MinD", "A1MaxD", "A1MinD(N)", "A1MaxD(N)", "A1MinD(H)"}, {"8", "8", "8", "8", "8"}}},
        {[](auto& f, auto& t) { return f.ApplyLargerGroups(3, t); }, {{"MinGrp"}, {"1"}}},
    };
    const CModFuncs funcs;
    for (const auto& [run, rows] : cases) {
        CTxtTable table;
        LoadRows(table, rows);
        EXPECT_FALSE(run(funcs, table)) << rows[0][0];
        EXPECT_EQ(CellsOf(table), rows) << rows[0][0];
    }
}

} // namespace
