#include "check/MonsterSlotRule.h"

#include "CheckFixture.h"
#include "LayoutTables.h"

namespace {

using TableId = CGameDataSet::TableId;

// Slots name monsters by Id from 1.10 on; before, by the monster's number, and only the first
// "Mtot" slots count.
TEST(MonsterSlotRuleTest, ReportsSlotsNamingNoMonster) {
    struct Case {
        const char* what;
        bool v109;
        std::vector<CheckTables::Edit> edits;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"every slot names a monster", false, {}, {}},
        {"an unknown Id in each kind of slot, any case otherwise matching",
         false,
         {{"Levels.txt", 2, "mon2", "zombie9"},
          {"Levels.txt", 2, "nmon1", "ZOMBIE1"},
          {"Levels.txt", 2, "umon1", "fallen9"}},
         {"Levels.txt, Blood Moor, mon2: no monster has the Id \"zombie9\".",
          "Levels.txt, Blood Moor, umon1: no monster has the Id \"fallen9\"."}},
        {"rows the game does not read",
         false,
         {{"Levels.txt", 3, "mon1", "zombie9"}, {"Levels.txt", 4, "mon1", "zombie9"}},
         {}},
        {"monstats missing",
         false,
         {{"monstats.txt", 0, "", ""}},
         {"The mod has no monstats.txt, so the monsters of the areas are not checked."}},
        {"Resurrected's monster table (its comment column) names monsters by Id too",
         false,
         {{"monstats.txt", 0, "hcIdx", "*hcIdx"}, {"Levels.txt", 2, "mon2", "zombie9"}},
         {"Levels.txt, Blood Moor, mon2: no monster has the Id \"zombie9\"."}},
        {"older layout: a number past the monsters",
         true,
         {{"Levels.txt", 1, "M2", "2"}},
         {"Levels.txt, Den, M2: no monster has the number 2."}},
        {"older layout: slots past Mtot are not read", true, {{"Levels.txt", 1, "M3", "7"}}, {}},
    };
    for (const Case& c : cases) {
        CheckTables mod;
        if (c.v109) {
            mod.Put("monstats.txt", {LayoutHeaderRow(TableId::MonStats, TableLayout::V109),
                                     "Zombie\tzombie\t1", "Fallen\tfallen\t1"});
            mod.Put("Levels.txt",
                    {LayoutHeaderRow(TableId::Levels, TableLayout::V109), "Den\t2\t1\t0\t5"});
        } else {
            mod.Put("monstats.txt", {"Id\thcIdx\tNameStr\tA1TH", "zombie1\t0\tZombie\t1",
                                     "fallen1\t1\tFallen\t1", "Expansion"});
            mod.Put("Levels.txt",
                    {"Name\tLevelName\tmon1\tmon2\tnmon1\tumon1", "Act 1 - Town\tRogue Encampment",
                     "Act 1 - Wilderness 1\tBlood Moor\tzombie1\tfallen1\tzombie1\tfallen1",
                     "Expansion", "\tNothing"});
        }
        mod.Apply(c.edits);
        EXPECT_EQ(mod.Sentences(CMonsterSlotRule()), c.expected) << c.what;
    }
}

} // namespace
