#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

class CTxtTable;

// How a mod's table differs from the game's own copy of it. Rows pair by key (the first column),
// the n-th row of a repeated key with the n-th, so that a row inserted in the middle is one
// added row rather than every row below it changed; columns pair by header text the same way.
class CTableDiff {
public:
    struct Cell {
        int32_t modCol = 0;
        int32_t baseCol = 0;
        std::string baseText;
        std::string modText;
    };
    // A row both tables have, with the cells of their common columns that differ.
    struct Row {
        int32_t modRow = 0;
        int32_t baseRow = 0;
        std::vector<Cell> cells;
    };
    struct Counts {
        int64_t cells = 0;
        int32_t rowsAdded = 0;
        int32_t rowsRemoved = 0;
        int32_t columnsAdded = 0;
        int32_t columnsRemoved = 0;
    };

    static CTableDiff Compare(const CTxtTable& base, const CTxtTable& mod);

    bool Differs() const {
        return counts.cells > 0 || counts.rowsAdded > 0 || counts.rowsRemoved > 0 ||
               counts.columnsAdded > 0 || counts.columnsRemoved > 0;
    }
    // The paired row of a mod row, or null when the row is added or has no changed cell.
    const Row* ChangedRow(int32_t modRow) const;
    // The mod column paired with a column of the game's table, or -1.
    int32_t ModColumnOf(int32_t baseCol) const;
    // The mod row paired with a row of the game's table, or -1.
    int32_t ModRowOf(int32_t baseRow) const;
    // Where the game's row goes back into the mod table: after the mod row paired with the
    // nearest earlier game's row that the mod still has, or right under the header.
    int32_t PutBackRow(int32_t baseRow) const;

    std::vector<Row> changedRows;     // in mod row order
    std::vector<int32_t> addedRows;   // mod rows no game's row pairs with, ascending
    std::vector<int32_t> removedRows; // game's rows no mod row pairs with, ascending
    std::vector<int32_t> addedColumns;
    std::vector<int32_t> removedColumns;
    Counts counts;

private:
    std::vector<int32_t> m_modRowOfBase; // per game's row: its paired mod row, or -1
    std::vector<int32_t> m_modColOfBase; // per game's column: its paired mod column, or -1
};

// The notes' sentence on all tables of a mod: "12 tables differ from the game's: 340 cells,
// 3 rows added, 2 rows removed", or "No table differs from the game's."
std::string ChangesSummary(std::span<const CTableDiff> diffs);
