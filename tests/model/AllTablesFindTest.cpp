#include "model/AllTablesFind.h"
#include "table/TxtTable.h"

#include <gtest/gtest.h>

namespace {

using namespace Qt::StringLiterals;

TEST(AllTablesFindTest, ListsEveryMatchOfEveryTableWithTheGridsRule) {
    CTxtTable monsters, armour;
    ASSERT_TRUE(monsters.LoadFromBytes("Id\tname\r\nfallen\tFallen\xE9\r\nFALLEN2\t\r\n"));
    ASSERT_TRUE(armour.LoadFromBytes("name\tcode\r\nCap\tfal\r\n"));
    const std::vector<NamedTable> tables = {{"monstats.txt", &monsters}, {"Armor.txt", &armour}};
    struct Case {
        QString text;
        FindOptions options;
        std::vector<std::string> found; // table:row:col:row name:column name:cell
    };
    const Case cases[] = {
        {"fal",
         {},
         {"monstats.txt:1:0:fallen:Id:fallen", "monstats.txt:1:1:fallen:name:Fallen\xE9",
          "monstats.txt:2:0:FALLEN2:Id:FALLEN2", "Armor.txt:1:1:Cap:code:fal"}},
        {"fallen", {.wholeCell = true}, {"monstats.txt:1:0:fallen:Id:fallen"}},
        {"Fallen", {.matchCase = true}, {"monstats.txt:1:1:fallen:name:Fallen\xE9"}},
        {u"fallen\u00C9"_qs, {}, {}}, // ASCII letters only fold
        {u"fallen\u00E9"_qs, {}, {"monstats.txt:1:1:fallen:name:Fallen\xE9"}},
        {"NAME", {}, {"monstats.txt:0:1:Id:name:name", "Armor.txt:0:0:name:name:name"}},
        {"", {.wholeCell = true}, {"monstats.txt:2:1:FALLEN2:name:"}},
        {"", {}, {}},
        {u"fal\u20AC"_qs, {}, {}}, // no cell can hold the euro sign
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text.toStdString());
        std::vector<std::string> found;
        for (const TableMatch& m : FindInAllTables(tables, c.text, c.options))
            found.push_back(m.fileName + ":" + std::to_string(m.tableRow) + ":" +
                            std::to_string(m.col) + ":" + m.rowName + ":" + m.columnName + ":" +
                            m.cellText);
        EXPECT_EQ(found, c.found);
    }
}

} // namespace
