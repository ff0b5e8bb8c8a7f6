#include "model/TableFind.h"

#include "model/CellMatcher.h"
#include "table/TxtTable.h"

std::optional<CellPosition> FindNext(const CTxtTable& table, const std::string& text,
                                     CellPosition start, FindOptions options) {
    const int64_t cols = table.Columns(), dataRows = table.Rows() - 1;
    const int64_t cells = cols * dataRows;
    if (cells <= 0 || (text.empty() && !options.wholeCell))
        return std::nullopt;
    // Cells are numbered row by row from the first data row; a start outside the table begins
    // at the first cell (the last one backwards).
    int64_t at = (int64_t{start.tableRow} - 1) * cols + start.col;
    if (start.col < 0 || start.col >= cols || start.tableRow < 1 || start.tableRow > dataRows)
        at = options.backwards ? 0 : cells - 1;
    const int64_t step = options.backwards ? cells - 1 : 1;
    const CCellMatcher matcher(text, options);
    for (int64_t tried = 0; tried < cells; ++tried) {
        at = (at + step) % cells;
        const auto col = static_cast<int32_t>(at % cols), row = static_cast<int32_t>(at / cols + 1);
        if (matcher.Matches(table.CellView(col, row)))
            return CellPosition{col, row};
    }
    return std::nullopt;
}
