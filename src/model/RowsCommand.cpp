#include "model/RowsCommand.h"

#include "model/TableChanges.h"
#include "table/TxtTable.h"

#include <algorithm>

namespace {

// Calls `visit(first, last)` for each run of neighbouring numbers of the ascending `rows`,
// from the last run to the first when `backwards`.
template <typename Row, typename Visit>
void ForEachRun(const std::vector<Row>& rows, bool backwards, Visit visit) {
    std::vector<std::pair<size_t, size_t>> runs;
    for (size_t i = 0; i < rows.size(); ++i)
        if (runs.empty() || rows[i].tableRow != rows[i - 1].tableRow + 1)
            runs.emplace_back(i, i);
        else
            runs.back().second = i;
    if (backwards)
        std::reverse(runs.begin(), runs.end());
    for (const auto& [first, last] : runs)
        visit(first, last);
}

} // namespace

CRowsCommand::CRowsCommand(CTxtTable& table, CTableChanges* changes, std::vector<StoredRow> rows,
                           bool inserts, const QString& text, QUndoCommand* parent)
    : QUndoCommand(text, parent), m_table(table), m_pChanges(changes), m_rows(std::move(rows)),
      m_bInserts(inserts) {}

std::unique_ptr<CRowsCommand> CRowsCommand::Insert(CTxtTable& table, CTableChanges* changes,
                                                   std::vector<Row> rows, const QString& text,
                                                   QUndoCommand* parent) {
    std::sort(rows.begin(), rows.end(),
              [](const Row& a, const Row& b) { return a.tableRow < b.tableRow; });
    std::vector<StoredRow> stored;
    stored.reserve(rows.size());
    for (Row& row : rows) {
        // Inserted in ascending order, each row goes where it asks among those already there.
        const int32_t before = static_cast<int32_t>(stored.size());
        if (row.tableRow < 1 || row.tableRow > table.Rows() + before ||
            (!stored.empty() && stored.back().tableRow == row.tableRow) ||
            !std::all_of(row.cells.begin(), row.cells.end(),
                         [](const std::string& cell) { return CTxtTable::CellCanHold(cell); }))
            return nullptr;
        // New rows end as the header line does.
        stored.push_back(StoredRow{row.tableRow, std::move(row.cells), table.RowEndsWithCrLf(0)});
    }
    if (stored.empty())
        return nullptr;
    return std::unique_ptr<CRowsCommand>(
        new CRowsCommand(table, changes, std::move(stored), true, text, parent));
}

std::unique_ptr<CRowsCommand> CRowsCommand::Remove(CTxtTable& table, CTableChanges* changes,
                                                   std::vector<int32_t> tableRows,
                                                   const QString& text, QUndoCommand* parent) {
    std::sort(tableRows.begin(), tableRows.end());
    tableRows.erase(std::unique(tableRows.begin(), tableRows.end()), tableRows.end());
    if (tableRows.empty() || tableRows.front() < 1 || tableRows.back() >= table.Rows())
        return nullptr;
    std::vector<StoredRow> stored;
    stored.reserve(tableRows.size());
    for (int32_t row : tableRows)
        stored.push_back(StoredRow{row, table.RowCells(row), table.RowEndsWithCrLf(row)});
    return std::unique_ptr<CRowsCommand>(
        new CRowsCommand(table, changes, std::move(stored), false, text, parent));
}

void CRowsCommand::redo() {
    if (m_bInserts)
        PutRows();
    else
        TakeRows();
}

void CRowsCommand::undo() {
    if (m_bInserts)
        TakeRows();
    else
        PutRows();
}

void CRowsCommand::PutRows() {
    // Ascending: the rows before a run already stand where they will, so each run is one block.
    ForEachRun(m_rows, false, [this](size_t first, size_t last) {
        const int32_t firstRow = m_rows[first].tableRow, lastRow = m_rows[last].tableRow;
        if (m_pChanges)
            emit m_pChanges->rowsAboutToBeInserted(firstRow, lastRow);
        for (size_t i = first; i <= last; ++i)
            m_table.RestoreRow(m_rows[i].tableRow, m_rows[i].cells, m_rows[i].crLf);
        if (m_pChanges)
            emit m_pChanges->rowsInserted(firstRow, lastRow);
    });
    if (m_pChanges)
        emit m_pChanges->tableChanged();
}

void CRowsCommand::TakeRows() {
    // Descending: removing a run leaves the rows before it where they are.
    ForEachRun(m_rows, true, [this](size_t first, size_t last) {
        const int32_t firstRow = m_rows[first].tableRow, lastRow = m_rows[last].tableRow;
        if (m_pChanges)
            emit m_pChanges->rowsAboutToBeRemoved(firstRow, lastRow);
        for (int32_t row = lastRow; row >= firstRow; --row)
            m_table.RemoveRow(row);
        if (m_pChanges)
            emit m_pChanges->rowsRemoved(firstRow, lastRow);
    });
    if (m_pChanges)
        emit m_pChanges->tableChanged();
}
