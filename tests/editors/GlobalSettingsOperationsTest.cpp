// The whole-column changes of Global > Difficulty..., on tables made here: the exact cells they
// leave, and that an operation missing one of its columns changes nothing.
#include "editors/ModFuncs.h"
#include "table/TxtTable.h"

#include "TableFixture.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using Operation = std::function<bool(const CModFuncs&, CTxtTable&)>;

struct OperationCase {
    const char* what;
    Operation run;
    TableRows before;
    TableRows after;
};

TEST(GlobalSettingsOperations, FactorIsTwoThirdsPerStepInDoublePrecision) {
    EXPECT_EQ(CModFuncs::DropFactor(1), 1.0);
    EXPECT_EQ(CModFuncs::DropFactor(2), 1.6666666666666665);
    EXPECT_EQ(CModFuncs::DropFactor(3), 2.333333333333333);
    EXPECT_EQ(CModFuncs::DropFactor(4), 3.0);
}

TEST(GlobalSettingsOperations, ColumnsChangeToTheExactFigures) {
    const std::vector<OperationCase> cases = {
        {"health x3, capped, text and the Expansion row",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyHealthMultiplier(3, t); },
         {{"Class", "MinHP", "MinHP(N)", "MinHP(H)", "MaxHP", "MaxHP(N)", "MaxHP(H)"},
          {"a", "7", "-4", "", "x9", "1000000000", "12abc"},
          {"Expansion", "1", "2", "3", "4", "5", "6"}},
         {{"Class", "MinHP", "MinHP(N)", "MinHP(H)", "MaxHP", "MaxHP(N)", "MaxHP(H)"},
          {"a", "21", "-12", "", "x9", "2147483647", "36"},
          {"Expansion", "3", "6", "9", "12", "15", "18"}}},
        {"health x16 never wraps",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyHealthMultiplier(16, t); },
         {{"MinHP", "MinHP(N)", "MinHP(H)", "MaxHP", "MaxHP(N)", "MaxHP(H)"},
          {"2000000000", "-2000000000", "1", "1", "1", "1"}},
         {{"MinHP", "MinHP(N)", "MinHP(H)", "MaxHP", "MaxHP(N)", "MaxHP(H)"},
          {"2147483647", "-2147483648", "16", "16", "16", "16"}}},
        {"experience at MH 3",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyExperience(3, t); },
         {{"Exp", "Exp(N)", "Exp(H)"}, {"100", "3", "2000000000"}},
         {{"Exp", "Exp(N)", "Exp(H)"}, {"233", "6", "2147483647"}}},
        {"experience at MH 1 stays",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyExperience(1, t); },
         {{"Exp", "Exp(N)", "Exp(H)"}, {"100", "3", "7"}},
         {{"Exp", "Exp(N)", "Exp(H)"}, {"100", "3", "7"}}},
        {"drop percent at MH 2, capped at 95",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyDropRate(2, t, false); },
         {{"TreasureClassPercent"}, {"60"}, {"30"}, {"none"}},
         {{"TreasureClassPercent"}, {"95"}, {"49"}, {"none"}}},
        {"NoDrop at MH 2, floored at 5",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyDropRate(2, t, true); },
         {{"NoDrop"}, {"100"}, {"6"}, {""}},
         {{"NoDrop"}, {"60"}, {"5"}, {""}}},
        {"block better by 10, capped at 75",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyBlockBetter(10, t); },
         {{"ToBlock"}, {"70"}, {"20"}},
         {{"ToBlock"}, {"75"}, {"30"}}},
        {"hit harder by 50",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyHitHarder(50, t); },
         {{"A1MinD", "A1MaxD", "A1MinD(N)", "A1MaxD(N)", "A1MinD(H)", "A1MaxD(H)"},
          {"3", "10", "0", "-3", "2000000000", "x"}},
         {{"A1MinD", "A1MaxD", "A1MinD(N)", "A1MaxD(N)", "A1MinD(H)", "A1MaxD(H)"},
          {"4", "15", "0", "-4", "2147483647", "x"}}},
        {"hit harder by 100 doubles",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyHitHarder(100, t); },
         {{"A1MinD", "A1MaxD", "A1MinD(N)", "A1MaxD(N)", "A1MinD(H)", "A1MaxD(H)"},
          {"3", "10", "1", "2", "4", "5"}},
         {{"A1MinD", "A1MaxD", "A1MinD(N)", "A1MaxD(N)", "A1MinD(H)", "A1MaxD(H)"},
          {"6", "20", "2", "4", "8", "10"}}},
        {"hit harder by 1 leaves damage alone",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyHitHarder(1, t); },
         {{"A1MinD", "A1MaxD", "A1MinD(N)", "A1MaxD(N)", "A1MinD(H)", "A1MaxD(H)"},
          {"100", "100", "100", "100", "100", "100"}},
         {{"A1MinD", "A1MaxD", "A1MinD(N)", "A1MaxD(N)", "A1MinD(H)", "A1MaxD(H)"},
          {"100", "100", "100", "100", "100", "100"}}},
        {"hit harder by 2 scales by 1.02",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyHitHarder(2, t); },
         {{"A1MinD", "A1MaxD", "A1MinD(N)", "A1MaxD(N)", "A1MinD(H)", "A1MaxD(H)"},
          {"100", "50", "49", "1000", "1", "0"}},
         {{"A1MinD", "A1MaxD", "A1MinD(N)", "A1MaxD(N)", "A1MinD(H)", "A1MaxD(H)"},
          {"102", "51", "49", "1020", "1", "0"}}},
        {"smaller groups by -1",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyLargerGroups(-1, t); },
         {{"MinGrp", "MaxGrp"}, {"1", "5"}, {"-2147483648", "2147483647"}},
         {{"MinGrp", "MaxGrp"}, {"0", "4"}, {"-2147483648", "2147483646"}}},
        {"larger groups never wrap",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyLargerGroups(25, t); },
         {{"MinGrp", "MaxGrp"}, {"2147483640", "3"}},
         {{"MinGrp", "MaxGrp"}, {"2147483647", "28"}}},
        {"automap sets every data cell, text too",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyAutoMap(1, t); },
         {{"Class", "nomap"}, {"a", ""}, {"b", "0"}, {"Expansion", "x"}},
         {{"Class", "nomap"}, {"a", "1"}, {"b", "1"}, {"Expansion", "1"}}},
    };
    const CModFuncs funcs;
    for (const OperationCase& c : cases) {
        CTxtTable table;
        LoadRows(table, c.before);
        EXPECT_TRUE(c.run(funcs, table)) << c.what;
        EXPECT_EQ(CellsOf(table), c.after) << c.what;
    }
}

TEST(GlobalSettingsOperations, AMissingColumnLeavesEveryColumnAsItWas) {
    struct MissingCase {
        const char* what;
        Operation run;
        TableRows rows; // one needed column is absent
    };
    const std::vector<MissingCase> cases = {
        {"health without MaxHP(H)",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyHealthMultiplier(2, t); },
         {{"MinHP", "MinHP(N)", "MinHP(H)", "MaxHP", "MaxHP(N)"}, {"1", "2", "3", "4", "5"}}},
        {"experience without Exp(N)",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyExperience(2, t); },
         {{"Exp", "Exp(H)"}, {"100", "100"}}},
        {"drops without TreasureClassPercent",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyDropRate(2, t, false); },
         {{"NoDrop"}, {"100"}}},
        {"compiled drops without NoDrop",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyDropRate(2, t, true); },
         {{"TreasureClassPercent"}, {"60"}}},
        {"block without ToBlock",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyBlockBetter(5, t); },
         {{"Block"}, {"10"}}},
        {"damage without A1MaxD(H)",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyHitHarder(50, t); },
         {{"A1MinD", "A1MaxD", "A1MinD(N)", "A1MaxD(N)", "A1MinD(H)"},
          {"10", "10", "10", "10", "10"}}},
        {"groups without MaxGrp",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyLargerGroups(3, t); },
         {{"MinGrp"}, {"1"}}},
        {"automap without NoMap",
         [](const CModFuncs& f, CTxtTable& t) { return f.ApplyAutoMap(1, t); },
         {{"Class"}, {"a"}}},
    };
    const CModFuncs funcs;
    for (const MissingCase& c : cases) {
        CTxtTable table;
        LoadRows(table, c.rows);
        EXPECT_FALSE(c.run(funcs, table)) << c.what;
        EXPECT_EQ(CellsOf(table), c.rows) << c.what;
    }
}

} // namespace
