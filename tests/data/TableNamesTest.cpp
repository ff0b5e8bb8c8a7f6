#include "data/TableNames.h"
#include "data/GameDataSet.h"
#include "platform/AsciiText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

namespace {

TEST(TableNamesTest, ListfileGivesTheTableNamesOnceInItsOrder) {
    struct Case {
        std::string listfile;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {"data\\global\\excel\\Armor.txt\r\nDATA/Global/Excel/monstats.TXT\n"
         "Data\\Global\\Excel\\armor.txt\r\n",
         {"Armor.txt", "monstats.TXT"}},
        {"data\\global\\items\\invcap.dc6;data\\global\\excel\\Skills.txt;"
         "data\\global\\excel\\Levels.bin",
         {"Skills.txt"}},
        // Not table files of their own: sub-folders, no name, dot names, other folders.
        {"data\\global\\excel\\sub\\x.txt\r\ndata\\global\\excel\\.txt\r\n"
         "data\\global\\excel\\..\\x.txt\r\nxdata\\global\\excel\\Gems.txt\r\n"
         "data\\global\\excel\\a:b.txt\r\ndata\\global\\excel\\Runes.txt",
         {"Runes.txt"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.listfile);
        EXPECT_EQ(ExcelNamesInListfile(c.listfile), c.names);
    }
}

TEST(TableNamesTest, KnownNamesHoldEveryTableTheProgramOpensOnce) {
    const std::vector<std::string>& known = KnownTableNames();
    std::set<std::string> lowered;
    for (std::string name : known) {
        std::transform(name.begin(), name.end(), name.begin(), AsciiToLower);
        EXPECT_TRUE(lowered.insert(name).second) << name << " twice";
    }
    for (CGameDataSet::TableId id : CGameDataSet::kDeclarationOrder)
        EXPECT_NE(std::find(known.begin(), known.end(), CGameDataSet::FileName(id)), known.end())
            << CGameDataSet::FileName(id);
}

} // namespace
