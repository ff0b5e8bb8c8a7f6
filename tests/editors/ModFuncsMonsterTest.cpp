#include "editors/ModFuncs.h"
#include "table/TxtTable.h"

#include "TableFixture.h"

#include <gtest/gtest.h>

namespace {

using Names = std::vector<std::string>;

TEST(ModFuncsMonsterNames, ListsRowsByTheListingRulesInTableOrder) {
    CTxtTable table;
    LoadRows(table, {
                        {"Class", "NAMCO", "Level"},
                        {"zed1", "Zed", "1"},
                        {"n1", "Null", "1"},           // exactly "Null": left out
                        {"n2", "NULL", "1"},           // other case: listed
                        {"unused", "Old Sentry", "1"}, // exactly "unused": left out
                        {"Unused", "Lost Pilgrim", "1"},
                        {"dummy", "D1", "1"},
                        {"DuMMy", "D2", "1"},
                        {"", "No Class", "1"},
                        {"noname", "", "1"},
                        {"Expansion", "Expansion", ""},
                        {"\xC9lan1", "\xC9lan", "1"},
                    });
    CModFuncs funcs;
    Names names{"kept"};
    std::vector<int32_t> rows;
    ASSERT_TRUE(funcs.GetMonsterNames(names, table, &rows));
    EXPECT_EQ(names, (Names{"kept", "Zed", "NULL", "Lost Pilgrim", "Expansion", "\xC9lan"}));
    EXPECT_EQ(rows, (std::vector<int32_t>{1, 3, 5, 10, 11}));
}

TEST(ModFuncsMonsterNames, FailsWithoutNameOrClassColumn) {
    CModFuncs funcs;
    for (const TableRows& rows :
         {TableRows{{"Class", "name"}, {"a1", "A"}}, TableRows{{"Kind", "namco"}, {"a1", "A"}}}) {
        CTxtTable table;
        LoadRows(table, rows);
        Names names{"kept"};
        std::vector<int32_t> found;
        EXPECT_FALSE(funcs.GetMonsterNames(names, table, &found));
        EXPECT_EQ(names, Names{"kept"});
        EXPECT_TRUE(found.empty());
    }
}

// A table with the record's columns in an order of their own, a few headers in other letter
// cases, and "MaxHP(H)" missing.
TableRows ShuffledMonsterTable() {
    TableRows rows(3);
    rows[0] = {"namco", "Level"};
    for (size_t k = MonsterRecord::kFieldCount; k-- > 0;) {
        std::string header = kMonsterRecordHeaders[k];
        if (header == "MaxHP(H)")
            continue;
        if (header == "MinHP(N)" || header == "Class")
            header = header == "Class" ? "CLASS" : "minhp(n)";
        rows[0].push_back(header);
    }
    for (size_t col = 0; col < rows[0].size(); ++col) {
        rows[1].push_back("a" + std::to_string(col));
        rows[2].push_back("b" + std::to_string(col));
    }
    return rows;
}

std::string CellUnder(const CTxtTable& table, const std::string& header, int32_t row) {
    return table.GetCell(table.FindColumn(header, 0), row);
}

TEST(ModFuncsMonsterRecord, ReadsEachFieldFromItsColumn) {
    CTxtTable table;
    LoadRows(table, ShuffledMonsterTable());
    CModFuncs funcs;
    MonsterRecord record;
    ASSERT_TRUE(funcs.ReadMonsterRecord(2, record, table));
    for (size_t k = 0; k < MonsterRecord::kFieldCount; ++k) {
        std::string header = kMonsterRecordHeaders[k];
        EXPECT_EQ(record.fields[k], header == "MaxHP(H)" ? "" : CellUnder(table, header, 2))
            << header;
    }
    EXPECT_EQ(record.fields[MonsterRecord::Class], CellUnder(table, "Class", 2));
    EXPECT_EQ(record.fields[MonsterRecord::Class][0], 'b');

    // Rows outside the table read as empty.
    for (int32_t row : {-1, 3}) {
        record.fields.fill("stale");
        ASSERT_TRUE(funcs.ReadMonsterRecord(row, record, table));
        for (const std::string& field : record.fields)
            EXPECT_EQ(field, "");
    }
}

TEST(ModFuncsMonsterRecord, WritesEachFieldToItsColumnAndNothingElse) {
    CTxtTable table;
    LoadRows(table, ShuffledMonsterTable());
    const TableRows before = CellsOf(table);
    CModFuncs funcs;
    MonsterRecord record;
    for (size_t k = 0; k < MonsterRecord::kFieldCount; ++k)
        record.fields[k] = "w" + std::to_string(k);

    ASSERT_TRUE(funcs.WriteMonsterRecord(1, record, table));
    TableRows expected = before;
    for (size_t k = 0; k < MonsterRecord::kFieldCount; ++k) {
        int32_t col = table.FindColumn(kMonsterRecordHeaders[k], 0);
        if (col >= 0)
            expected[1][static_cast<size_t>(col)] = record.fields[k];
    }
    EXPECT_EQ(CellsOf(table), expected);
    EXPECT_EQ(CellUnder(table, "namco", 1), "a0"); // not a record column
    EXPECT_EQ(CellUnder(table, "A2MinD(N)", 1), "w27");

    // Past the end: false, nothing written. Negative: nothing written either.
    EXPECT_FALSE(funcs.WriteMonsterRecord(3, record, table));
    EXPECT_TRUE(funcs.WriteMonsterRecord(-1, record, table));
    EXPECT_EQ(CellsOf(table), expected);
}

} // namespace
