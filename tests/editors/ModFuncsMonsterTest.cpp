// The monster operations' edges that the dialog cannot reach; the dialog's tests cover the rest.
#include "editors/ModFuncs.h"
#include "table/TxtTable.h"

#include "TableFixture.h"

#include <gtest/gtest.h>

namespace {

TEST(ModFuncsMonsters, NamesNeedBothTheNameAndTheClassColumn) {
    CModFuncs funcs;
    for (const TableRows& rows :
         {TableRows{{"Class", "name"}, {"a1", "A"}}, TableRows{{"Kind", "namco"}, {"a1", "A"}}}) {
        CTxtTable table;
        LoadRows(table, rows);
        std::vector<std::string> names{"kept"};
        std::vector<int32_t> found;
        EXPECT_FALSE(funcs.GetMonsterNames(names, table, &found));
        EXPECT_EQ(names, std::vector<std::string>{"kept"});
        EXPECT_TRUE(found.empty());
    }
}

TEST(ModFuncsMonsters, RecordsFindHeadersInAnyCaseAndStayInsideTheTable) {
    CTxtTable table;
    LoadRows(table, {{"CLASS", "namco", "minhp(n)"}, {"a1", "Alpha", "-5"}});
    const TableRows before = CellsOf(table);
    CModFuncs funcs;
    MonsterRecord record;
    ASSERT_TRUE(funcs.ReadMonsterRecord(1, record, table));
    EXPECT_EQ(record.fields[MonsterRecord::Class], "a1");
    EXPECT_EQ(record.fields[12], "-5"); // MinHP(N)
    EXPECT_EQ(record.fields[11], "");   // no MinHP column

    for (int32_t row : {-1, 2}) {
        record.fields.fill("stale");
        ASSERT_TRUE(funcs.ReadMonsterRecord(row, record, table));
        for (const std::string& field : record.fields)
            EXPECT_EQ(field, "");
    }

    record.fields.fill("w");
    EXPECT_FALSE(funcs.WriteMonsterRecord(2, record, table)); // past the end
    EXPECT_TRUE(funcs.WriteMonsterRecord(-1, record, table)); // writes nothing either
    EXPECT_EQ(CellsOf(table), before);
    ASSERT_TRUE(funcs.WriteMonsterRecord(1, record, table));
    EXPECT_EQ(CellsOf(table), (TableRows{{"CLASS", "namco", "minhp(n)"}, {"w", "Alpha", "w"}}));
}

} // namespace
