#include "model/CellsCommand.h"

#include "model/TableChanges.h"
#include "table/TxtTable.h"

#include <algorithm>

CCellsCommand::CCellsCommand(CTxtTable& table, CTableChanges* changes, std::vector<Cell> cells,
                             const QString& text, QUndoCommand* parent)
    : QUndoCommand(text, parent), m_table(table), m_pChanges(changes), m_cells(std::move(cells)) {}

std::unique_ptr<CCellsCommand>
CCellsCommand::FromDifference(CTxtTable& table, CTableChanges* changes, const CTxtTable& before,
                              const QString& text, QUndoCommand* parent) {
    std::vector<Cell> cells;
    const int32_t rows = std::min(table.Rows(), before.Rows());
    const int32_t cols = std::min(table.Columns(), before.Columns());
    for (int32_t row = 0; row < rows; ++row)
        for (int32_t col = 0; col < cols; ++col)
            if (const std::string_view now = table.CellView(col, row),
                was = before.CellView(col, row);
                now != was)
                cells.push_back(Cell{col, row, std::string(was), std::string(now)});
    if (cells.empty())
        return nullptr;
    auto command = std::make_unique<CCellsCommand>(table, changes, std::move(cells), text, parent);
    command->m_bApplied = true;
    return command;
}

void CCellsCommand::redo() {
    if (!m_bApplied)
        Write(true);
    m_bApplied = true;
    Announce();
}

void CCellsCommand::undo() {
    Write(false);
    m_bApplied = false;
    Announce();
}

void CCellsCommand::Write(bool newTexts) {
    for (const Cell& cell : m_cells)
        m_table.SetCell(cell.col, cell.tableRow, newTexts ? cell.newText : cell.oldText);
}

void CCellsCommand::Announce() const {
    if (!m_pChanges)
        return;
    // One rectangle when the cells fill most of it (a block, a fill, one cell); cell by cell
    // when they lie spread over the table (a dialog's Apply), so that views repaint only those.
    int32_t firstCol = INT32_MAX, firstRow = INT32_MAX, lastCol = -1, lastRow = -1;
    for (const Cell& cell : m_cells) {
        firstCol = std::min(firstCol, cell.col);
        firstRow = std::min(firstRow, cell.tableRow);
        lastCol = std::max(lastCol, cell.col);
        lastRow = std::max(lastRow, cell.tableRow);
    }
    if (!m_cells.empty()) {
        const int64_t area = int64_t{lastCol - firstCol + 1} * (lastRow - firstRow + 1);
        if (area <= 2 * static_cast<int64_t>(m_cells.size()))
            emit m_pChanges->cellsChanged(firstCol, firstRow, lastCol, lastRow);
        else
            for (const Cell& cell : m_cells)
                emit m_pChanges->cellsChanged(cell.col, cell.tableRow, cell.col, cell.tableRow);
    }
    emit m_pChanges->tableChanged();
}
