#include "editors/TableLayout.h"
#include "table/TxtTable.h"

#include "LayoutTables.h"

#include <gtest/gtest.h>

namespace {

using TableId = CGameDataSet::TableId;

CTxtTable TableOf(const std::string& header) {
    CTxtTable table;
    EXPECT_TRUE(table.LoadFromBytes(header + "\r\nrow\r\n"));
    return table;
}

std::string Slots(const std::string& prefix, std::initializer_list<int> numbers) {
    std::string text;
    for (int n : numbers)
        text += "\t" + prefix + std::to_string(n);
    return text;
}

TEST(TableLayoutTest, TheHeaderRowTellsTheLayout) {
    using L = TableLayout;
    const std::string m = LayoutHeaderRow(TableId::MonStats, L::V109);
    const std::string m110 = LayoutHeaderRow(TableId::MonStats, L::V110);
    const std::string l = LayoutHeaderRow(TableId::Levels, L::V109);
    const std::string l110 = LayoutHeaderRow(TableId::Levels, L::V110);
    const std::string u = LayoutHeaderRow(TableId::UniqueItems, L::V109);
    const std::string u110 = LayoutHeaderRow(TableId::UniqueItems, L::V110);
    struct Case {
        TableId id;
        std::string header;
        TableLayout expected;
    };
    const Case cases[] = {
        {TableId::MonStats, m, L::V109},
        {TableId::MonStats, m110, L::V110},
        {TableId::MonStats, "ID\tHCIDX\tnamestr\ta1th", L::V110},
        // The older key must be the second column, the newer the first.
        {TableId::MonStats, "Class\tType\tnamco", L::Unknown},
        {TableId::MonStats, "hcIdx\tId\tNameStr\tA1TH", L::Unknown},
        // Both sets of names, or none: the editor cannot tell where its columns are.
        {TableId::MonStats, "Id\tnamco\tClass\tNameStr\tA1TH", L::Unknown},
        {TableId::MonStats, "key\tvalue", L::Unknown},
        {TableId::Levels, l, L::V109},
        {TableId::Levels, l110, L::V110},
        // The older slots are written by offset from the first: they must run in order.
        {TableId::Levels, "name\tMtot\tM1\tM3\tM2" + Slots("M", {4, 5}), L::Unknown},
        {TableId::Levels,
         "name\tMtot" + Slots("M", {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11, 12,
                                    13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24}),
         L::Unknown},
        {TableId::Levels, "Id\t" + l110, L::Unknown},
        {TableId::UniqueItems, u, L::V109},
        {TableId::UniqueItems, u110, L::V110},
        {TableId::UniqueItems, "name\tprop1\tmin1\tmax1", L::Unknown},
        {TableId::UniqueItems, "index\tItemMod1Code", L::Unknown},
        {TableId::Armor, "name\tcode", L::Either},
        {TableId::Weapons, "code\tname", L::Unknown},
        {TableId::DifficultyLevels, "Name\tManaStealDivisor", L::Either},
        {TableId::DifficultyLevels, "Name\tOther", L::Unknown},
        {TableId::Skills, "skill", L::Either},
        // Resurrected's: the 1.10 columns and one of its own (the editors' test has the others).
        {TableId::MonStats, "Id\t*hcIdx\tNameStr\tA1TH", L::D2R},
        {TableId::MonStats, m + "\tTreasureClassChamp", L::V109},
        {TableId::Levels, l110 + "\tLevelEntry", L::D2R},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DetectTableLayout(TableOf(c.header), c.id), c.expected)
            << CGameDataSet::FileName(c.id) << ": " << c.header;

    // A table that holds nothing has no layout at all.
    EXPECT_EQ(DetectTableLayout(CTxtTable(), TableId::Armor), L::Unknown);
}

TEST(TableLayoutTest, MissingHeadersAreNamedInTheirOrder) {
    const CTxtTable table = TableOf("Name\tmonumin\tmon1");
    EXPECT_EQ(MissingHeaders(table, {"MonUMax", "MonUMin", "mon2", "Mon1"}),
              (std::vector<std::string>{"MonUMax", "mon2"}));
}

} // namespace
