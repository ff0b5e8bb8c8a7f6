#include "check/TreasureClassRule.h"

#include "CheckFixture.h"

namespace {

// An entry names a treasure class, an item code, one of the game's item type classes (a marked
// type's code and a multiple of 3 up to the highest item level), a unique or a set item; a
// monster's treasure classes must exist.
TEST(TreasureClassRuleTest, ReportsEntriesNamingNothing) {
    struct Case {
        const char* what;
        std::vector<CheckTables::Edit> edits;
        std::vector<std::string> expected;
    };
    const std::string unknown =
        ": no treasure class, item, item type class, unique or set item is named ";
    const std::vector<Case> cases = {
        {"every kind of entry, gold with its modifier", {}, {}},
        {"an unknown name",
         {{"TreasureClassEx.txt", 2, "Item1", "Act 9 Good"}},
         {"TreasureClassEx.txt, Act 1 Good, Item1" + unknown + "\"Act 9 Good\"."}},
        {"type classes off the level steps, past the highest level, of an unmarked type",
         {{"TreasureClassEx.txt", 2, "Item1", "armo4"},
          {"TreasureClassEx.txt", 2, "Item2", "weap9"},
          {"TreasureClassEx.txt", 2, "Item3", "ring3"}},
         {"TreasureClassEx.txt, Act 1 Good, Item1" + unknown + "\"armo4\".",
          "TreasureClassEx.txt, Act 1 Good, Item2" + unknown + "\"weap9\".",
          "TreasureClassEx.txt, Act 1 Good, Item3" + unknown + "\"ring3\"."}},
        {"a monster's treasure class",
         {{"monstats.txt", 1, "TreasureClass2(N)", "Act 9 Good"}},
         {"monstats.txt, zombie1, TreasureClass2(N): no treasure class is named \"Act 9 Good\"."}},
        {"SetItems.txt missing",
         {{"SetItems.txt", 0, "", ""}},
         {"The mod has no SetItems.txt, so the treasure classes are not checked."}},
    };
    for (const Case& c : cases) {
        CheckTables mod;
        mod.Put("TreasureClassEx.txt",
                {"Treasure Class\tPicks\tItem1\tProb1\tItem2\tProb2\tItem3\tProb3\tItem4",
                 "Gold\t1\t\"gld,mul=1280\"\t1", "Act 1 Good\t1\tGold\t1\tarmo6\t1\tweap3\t1\tcap",
                 "Act 1 Uniques\t1\tThe Gnasher\t1\tIsenhart's Case\t1"});
        mod.Put("monstats.txt",
                {"Id\tTreasureClass1\tTreasureClass2(N)", "zombie1\tAct 1 Good\tGold"});
        mod.Put("Armor.txt", {"name\tcode\tlevel", "Cap\tcap\t1", "Plate\tplt\t5"});
        mod.Put("Weapons.txt", {"name\tcode\tlevel", "Axe\thax\t3"});
        mod.Put("Misc.txt", {"name\tcode\tlevel", "Gold\tgld\t0", "Ring\trin\t1"});
        mod.Put("ItemTypes.txt", {"ItemType\tCode\tTreasureClass", "Armor\tarmo\t1",
                                  "Weapon\tweap\t1", "Ring\tring\t0"});
        mod.Put("UniqueItems.txt", {"index\tcode", "The Gnasher\thax"});
        mod.Put("SetItems.txt", {"index\titem", "Isenhart's Case\tplt"});
        mod.Apply(c.edits);
        EXPECT_EQ(mod.Sentences(CTreasureClassRule()), c.expected) << c.what;
    }
}

} // namespace
