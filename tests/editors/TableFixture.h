#pragma once

#include <string>
#include <vector>

class CTxtTable;

using TableRows = std::vector<std::vector<std::string>>;

// Loads `rows` (row 0 the headers) into `table` through a table file with CR LF line ends, the
// way the program reads the game's tables. Fails the running test when the load fails.
void LoadRows(CTxtTable& table, const TableRows& rows);

// Every cell of a table, row by row, for comparing whole tables.
TableRows CellsOf(const CTxtTable& table);
