#include "model/TableRevert.h"

#include "model/CellsCommand.h"
#include "model/RowsCommand.h"
#include "model/TableDiff.h"
#include "table/TxtTable.h"

#include <QUndoStack>

#include <algorithm>
#include <memory>

namespace {

QString RowStepText(int32_t tableRow) {
    return QStringLiteral("Revert row %1").arg(tableRow);
}

void AddCells(const CTableDiff::Row& row, std::vector<CCellsCommand::Cell>& cells) {
    for (const CTableDiff::Cell& cell : row.cells)
        cells.push_back({cell.modCol, row.modRow, cell.modText, cell.baseText});
}

} // namespace

CTableRevert::CTableRevert(CTxtTable& mod, const CTxtTable& base, CTableChanges* changes,
                           QUndoStack& undo, std::string fileName)
    : m_mod(mod), m_base(base), m_pChanges(changes), m_undo(undo),
      m_strFileName(std::move(fileName)) {}

CTableDiff CTableRevert::Compare() const {
    return CTableDiff::Compare(m_base, m_mod);
}

bool CTableRevert::RevertCell(int32_t modCol, int32_t modRow) {
    const CTableDiff diff = Compare();
    const CTableDiff::Row* row = diff.ChangedRow(modRow);
    if (!row)
        return false;
    for (const CTableDiff::Cell& cell : row->cells)
        if (cell.modCol == modCol) {
            m_undo.push(new CCellsCommand(m_mod, m_pChanges,
                                          {{modCol, modRow, cell.modText, cell.baseText}},
                                          QStringLiteral("Revert cell")));
            return true;
        }
    return false;
}

bool CTableRevert::RevertRow(int32_t modRow) {
    const CTableDiff diff = Compare();
    if (const CTableDiff::Row* row = diff.ChangedRow(modRow)) {
        std::vector<CCellsCommand::Cell> cells;
        AddCells(*row, cells);
        m_undo.push(new CCellsCommand(m_mod, m_pChanges, std::move(cells), RowStepText(modRow)));
        return true;
    }
    if (!std::binary_search(diff.addedRows.begin(), diff.addedRows.end(), modRow))
        return false;
    std::unique_ptr<CRowsCommand> remove =
        CRowsCommand::Remove(m_mod, m_pChanges, {modRow}, RowStepText(modRow));
    if (!remove)
        return false;
    m_undo.push(remove.release());
    return true;
}

bool CTableRevert::PutBackRow(int32_t baseRow) {
    const CTableDiff diff = Compare();
    if (!std::binary_search(diff.removedRows.begin(), diff.removedRows.end(), baseRow))
        return false;
    const int32_t at = diff.PutBackRow(baseRow);
    std::unique_ptr<CRowsCommand> insert = CRowsCommand::Insert(
        m_mod, m_pChanges, {{at, BaseRowInModColumns(diff, baseRow)}}, RowStepText(at));
    if (!insert)
        return false;
    m_undo.push(insert.release());
    return true;
}

bool CTableRevert::RevertTable() {
    const CTableDiff diff = Compare();
    if (diff.changedRows.empty() && diff.addedRows.empty() && diff.removedRows.empty())
        return false;
    auto step = std::make_unique<QUndoCommand>(
        QStringLiteral("Revert %1")
            .arg(QString::fromLatin1(m_strFileName.data(),
                                     static_cast<qsizetype>(m_strFileName.size()))));
    // Cells first, while the mod's rows stand where the difference found them; then the added
    // rows go, and last the game's rows come back among the rows that are left.
    std::vector<CCellsCommand::Cell> cells;
    for (const CTableDiff::Row& row : diff.changedRows)
        AddCells(row, cells);
    if (!cells.empty())
        new CCellsCommand(m_mod, m_pChanges, std::move(cells), step->text(), step.get());
    if (!diff.addedRows.empty())
        CRowsCommand::Remove(m_mod, m_pChanges, diff.addedRows, step->text(), step.get()).release();
    if (!diff.removedRows.empty())
        CRowsCommand::Insert(m_mod, m_pChanges, PutBackRows(diff), step->text(), step.get())
            .release();
    m_undo.push(step.release());
    return true;
}

std::vector<CRowsCommand::Row> CTableRevert::PutBackRows(const CTableDiff& diff) const {
    // Each game's row follows the row its nearest present predecessor pairs with, counted in
    // the mod once its added rows are gone; rows sharing that place keep the game's order.
    struct Placed {
        int32_t after; // the row it follows, once the added rows are gone (0: the header)
        size_t order;  // its place among the game's rows the mod lacks
    };
    std::vector<Placed> placed;
    for (size_t i = 0; i < diff.removedRows.size(); ++i) {
        const int32_t after = diff.PutBackRow(diff.removedRows[i]) - 1;
        const auto addedBefore =
            std::lower_bound(diff.addedRows.begin(), diff.addedRows.end(), after) -
            diff.addedRows.begin();
        placed.push_back({after - static_cast<int32_t>(addedBefore), i});
    }
    std::sort(placed.begin(), placed.end(), [](const Placed& a, const Placed& b) {
        return a.after != b.after ? a.after < b.after : a.order < b.order;
    });
    std::vector<CRowsCommand::Row> rows;
    for (size_t k = 0; k < placed.size(); ++k)
        rows.push_back({placed[k].after + 1 + static_cast<int32_t>(k),
                        BaseRowInModColumns(diff, diff.removedRows[placed[k].order])});
    return rows;
}

std::vector<std::string> CTableRevert::BaseRowInModColumns(const CTableDiff& diff,
                                                           int32_t baseRow) const {
    // With the same columns on both sides the row comes back as the game's file has it, short
    // or with text past its last column.
    bool sameColumns = m_mod.Columns() == m_base.Columns();
    for (int32_t col = 0; sameColumns && col < m_base.Columns(); ++col)
        sameColumns = diff.ModColumnOf(col) == col;
    if (sameColumns)
        return m_base.RowCells(baseRow);
    std::vector<std::string> cells(static_cast<size_t>(m_mod.Columns()));
    size_t used = 0;
    for (int32_t col = 0; col < m_base.Columns(); ++col) {
        const int32_t modCol = diff.ModColumnOf(col);
        const std::string_view text = m_base.CellView(col, baseRow);
        if (modCol < 0 || text.empty())
            continue;
        cells[static_cast<size_t>(modCol)] = std::string(text);
        used = std::max(used, static_cast<size_t>(modCol) + 1);
    }
    cells.resize(used);
    return cells;
}
