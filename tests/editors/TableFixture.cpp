#include "TableFixture.h"

#include "TempFolder.h"
#include "table/TxtTable.h"

#include <gtest/gtest.h>

void LoadRows(CTxtTable& table, const TableRows& rows) {
    std::string text;
    for (const auto& row : rows) {
        for (size_t c = 0; c < row.size(); ++c)
            text += (c ? "\t" : "") + row[c];
        text += "\r\n";
    }
    CTempFolder folder;
    WriteTextFile(folder.File("table.txt"), text);
    EXPECT_TRUE(table.Load(folder.File("table.txt")));
}

TableRows CellsOf(const CTxtTable& table) {
    TableRows cells(static_cast<size_t>(table.Rows()));
    for (int32_t row = 0; row < table.Rows(); ++row)
        for (int32_t col = 0; col < table.Columns(); ++col)
            cells[static_cast<size_t>(row)].push_back(table.GetCell(col, row));
    return cells;
}
