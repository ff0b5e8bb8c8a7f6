#pragma once

#include "editors/MonsterRecord.h"

#include <cstdint>
#include <string>
#include <vector>

class CTxtTable;

// The record service the editors share: operations that move a group of cells between a table
// row and a record of strings, and answer list questions about the tables. It holds no data;
// the main window makes one and hands it to every editor. Each editor adds its operations.
// Columns are found by their header in row 0, ignoring ASCII case.
class CModFuncs {
public:
    CModFuncs() = default;

    // --- Monster editor ---

    // Appends the "namco" name of every listable monster in table order: a row is left out when
    // its name or class is empty, its name is "Null", its class is "unused" (both exactly) or
    // its class is "dummy" in any case. With `rows` the row of each name is appended there too.
    // False, appending nothing, when the table has no "namco" or no "Class" column.
    bool GetMonsterNames(std::vector<std::string>& names, const CTxtTable& table,
                         std::vector<int32_t>* rows = nullptr) const;
    // Fills every field from its column; a missing column or a row outside the table gives "".
    bool ReadMonsterRecord(int32_t row, MonsterRecord& record, const CTxtTable& table) const;
    // Writes every field into its column. False, writing nothing, when the row is past the
    // table's end; a missing column (or a negative row) leaves its cell alone.
    bool WriteMonsterRecord(int32_t row, const MonsterRecord& record, CTxtTable& table) const;
};
