#pragma once

#include "model/TableFind.h"

#include <QString>

#include <cstdint>
#include <string>
#include <vector>

class CTxtTable;

// A table and the file name it is known by ("monstats.txt").
struct NamedTable {
    std::string fileName;
    const CTxtTable* table = nullptr;
};

// A cell that holds the text of a find over every table.
struct TableMatch {
    std::string fileName;
    int32_t tableRow = 0; // 0: the header row
    int32_t col = 0;
    std::string rowName;    // the row's first cell
    std::string columnName; // the column's header cell
    std::string cellText;
};

// Every cell of every table that holds `text`, by the same rule as a find in one table (whole
// cell, match case; the text as the bytes a cell would take), table by table in the given order,
// each row by row from the header row. `options.backwards` is not used. Nothing for text no cell
// can hold, and for empty text unless `wholeCell` asks for the empty cells.
std::vector<TableMatch> FindInAllTables(const std::vector<NamedTable>& tables, const QString& text,
                                        FindOptions options);
