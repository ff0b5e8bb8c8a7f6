#include "check/IntegerColumnRule.h"
#include "check/RowLengthRule.h"
#include "check/UniqueKeyRule.h"

#include "CheckFixture.h"

namespace {

// Where the game's own table has only whole numbers (empty cells aside), the mod must too; a
// property's parameter may name a skill instead, and columns may move.
TEST(IntegerColumnRuleTest, ReportsTextInTheGamesWholeNumberColumns) {
    struct Case {
        const char* what;
        std::vector<std::string> mod;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {"as the game's", {"name\tlevel\tcolor\tpar1", "Cap\t1\tred\t5", "Helm\t\tblue\t6"}, {}},
        {"text and a fraction in a number column, a plus sign; text where the game has text",
         {"name\tlevel\tcolor\tpar1", "Cap\tone\tgreen\t5", "Helm\t2.5\tblue\t6", "Mask\t+3"},
         {"Armor.txt, Cap, level: \"one\" is no whole number, which the game's own table has in "
          "this column.",
          "Armor.txt, Helm, level: \"2.5\" is no whole number, which the game's own table has in "
          "this column."}},
        {"a moved column, a skill name as parameter, a row the game does not read",
         {"name\tcolor\tlevel\tpar1", "Cap\tred\tx\tFire Bolt", "Expansion\t\tx"},
         {"Armor.txt, Cap, level: \"x\" is no whole number, which the game's own table has in "
          "this column."}},
    };
    CheckTables game;
    game.Put("Armor.txt", {"name\tlevel\tcolor\tpar1", "Cap\t1\tred\t5", "Helm\t-2\tblue\t"});
    for (const Case& c : cases) {
        CheckTables mod;
        mod.Put("Armor.txt", c.mod);
        EXPECT_EQ(mod.Sentences(CIntegerColumnRule("Armor.txt"), game), c.expected) << c.what;
    }
}

// A row the game reads with fewer or more cells than the header is reported.
TEST(RowLengthRuleTest, ReportsShortAndLongRows) {
    CheckTables mod;
    mod.Put("Armor.txt", {"name\tcode\tlevel", "Cap\tcap\t1", "Helm\thlm", "Mask\tmsk\t3\t4",
                          "Expansion", "\tx"});
    EXPECT_EQ(mod.Sentences(CRowLengthRule("Armor.txt")),
              (std::vector<std::string>{"Armor.txt, Helm: the row has 2 cells and the header 3.",
                                        "Armor.txt, Mask: the row has 4 cells and the header 3."}));
}

// Monster Ids, item codes (across the three item tables) and treasure class names are unique,
// ignoring case.
TEST(UniqueKeyRuleTest, ReportsKeysUsedTwice) {
    CheckTables mod;
    mod.Put("monstats.txt",
            {"Id\tNameStr", "zombie1\tZombie", "Zombie1\tZombie", "Expansion", "Expansion"});
    mod.Put("Armor.txt", {"name\tcode", "Cap\tcap"});
    mod.Put("Weapons.txt", {"name\tcode", "Axe\tCAP"});
    struct Case {
        CUniqueKeyRule rule;
        std::vector<std::string> expected;
    };
    const std::vector<Case> cases = {
        {CUniqueKeyRule({"monstats.txt"}, "Id", "Id"),
         {"monstats.txt, Zombie1, Id: another row has the Id \"Zombie1\" too (monstats.txt, row "
          "1)."}},
        {CUniqueKeyRule({"Armor.txt", "Weapons.txt"}, "code", "code"),
         {"Weapons.txt, Axe, code: another row has the code \"CAP\" too (Armor.txt, row 1)."}},
        {CUniqueKeyRule({"Armor.txt", "Misc.txt"}, "code", "code"),
         {"The mod has no Misc.txt, so repeated codes are not checked."}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(mod.Sentences(c.rule), c.expected);
}

} // namespace
