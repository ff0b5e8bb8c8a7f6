#include "check/UniqueItemRule.h"

#include "CheckFixture.h"

namespace {

// An item code must be an armour, weapon or misc code; a property must exist; a skill property's
// parameter must name a skill by name or number. Disabled items and commented-out codes are not
// read by the game.
TEST(UniqueItemRuleTest, ReportsCodesPropertiesAndSkillsThatDoNotExist) {
    struct Case {
        const char* what;
        std::vector<CheckTables::Edit> edits;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"all exist: codes of each item table, a skill by name and by number", {}, {}},
        {"unknown item code",
         {{"UniqueItems.txt", 1, "code", "zzz"}},
         {"UniqueItems.txt, Bladebone, code: no armour, weapon or misc item has the code "
          "\"zzz\"."}},
        {"unknown property, and a commented-out one",
         {{"UniqueItems.txt", 1, "prop1", "nosuch"}, {"UniqueItems.txt", 2, "prop1", "*nosuch"}},
         {"UniqueItems.txt, Bladebone, prop1: no property has the code \"nosuch\"."}},
        {"unknown skill by name and by number",
         {{"UniqueItems.txt", 1, "par2", "Fire Wall"}, {"UniqueItems.txt", 2, "par1", "9"}},
         {"UniqueItems.txt, Bladebone, par2: no skill has the name \"Fire Wall\".",
          "UniqueItems.txt, Stormspike, par1: no skill has the number \"9\"."}},
        {"a parameter of a property that takes no skill",
         {{"UniqueItems.txt", 1, "par1", "x"}},
         {}},
        {"a disabled item",
         {{"UniqueItems.txt", 2, "enabled", "0"}, {"UniqueItems.txt", 2, "code", "zzz"}},
         {}},
        {"Resurrected's table (its ladder column) keeps the same property columns",
         {{"UniqueItems.txt", 0, "enabled", "firstLadderSeason"},
          {"UniqueItems.txt", 1, "prop1", "nosuch"}},
         {"UniqueItems.txt, Bladebone, prop1: no property has the code \"nosuch\"."}},
        {"Misc.txt missing",
         {{"Misc.txt", 0, "", ""}},
         {"The mod has no Misc.txt, so the unique items are not checked."}},
    };
    for (const Case& c : cases) {
        CheckTables mod;
        mod.Put("UniqueItems.txt", {"index\tenabled\tcode\tprop1\tpar1\tmin1\tmax1\tprop2\tpar2",
                                    "Bladebone\t1\tdax\tdmg%\t\t10\t20\thit-skill\tFire Bolt",
                                    "Stormspike\t1\trin\tcharged\t1\t5\t5", "Expansion\t\tzzz"});
        mod.Put("Armor.txt", {"name\tcode", "Cap\tcap"});
        mod.Put("Weapons.txt", {"name\tcode", "Double Axe\tdax"});
        mod.Put("Misc.txt", {"name\tcode", "Ring\trin"});
        mod.Put("Properties.txt", {"code\tfunc1", "dmg%\t7", "hit-skill\t11", "charged\t19"});
        mod.Put("Skills.txt", {"skill\tId", "Attack\t0", "Fire Bolt\t1"});
        mod.Apply(c.edits);
        EXPECT_EQ(mod.Sentences(CUniqueItemRule()), c.expected) << c.what;
    }
}

} // namespace
