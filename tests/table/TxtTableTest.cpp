#include "table/TxtTable.h"

#include "ScriptedPrompts.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

TEST(TxtTableSmoke, LoadsTwoLines) {
    CTempFolder dir;
    WriteTextFile(dir.File("t.txt"), "x\ty\tz\r\n1\t\t3\r\n");
    CTxtTable table;
    ASSERT_TRUE(table.Load(dir.File("t.txt")));
    EXPECT_EQ(table.Columns(), 3);
    EXPECT_EQ(table.Rows(), 2);
}
