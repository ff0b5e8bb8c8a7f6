#include "editors/RecordWrite.h"

#include "platform/UserPrompts.h"
#include "table/TxtTable.h"

RecordWrite RecordWrite::Cells(CTxtTable& table, const std::vector<Cell>& cells) {
    RecordWrite result;
    std::vector<const Cell*> changed;
    for (const Cell& cell : cells) {
        if (cell.col < 0 || cell.row < 0 || cell.row >= table.Rows() ||
            table.CellView(cell.col, cell.row) == cell.text)
            continue;
        if (CTxtTable::CellCanHold(cell.text))
            changed.push_back(&cell);
        else
            result.refused.push_back(std::string(table.CellView(cell.col, 0)) + ", row " +
                                     std::to_string(cell.row));
    }
    if (result.refused.empty())
        for (const Cell* cell : changed)
            table.SetCell(cell->col, cell->row, std::string(cell->text));
    return result;
}

RecordWrite RecordWrite::RowMissing() {
    RecordWrite result;
    result.rowFound = false;
    return result;
}

bool RecordWrite::Report(CUserPrompts& prompts) const {
    if (refused.empty())
        return rowFound;
    std::string cells;
    for (const std::string& cell : refused)
        cells += (cells.empty() ? "" : "; ") + cell;
    prompts.ShowMessage("Nothing was applied: the text for " + cells +
                        " holds a tab or a line break that came with the cell, which a table "
                        "cell cannot keep. Retype that field and apply again.");
    return false;
}
