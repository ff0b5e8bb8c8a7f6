#include "model/TableRevert.h"

#include "model/CellsCommand.h"
#include "model/TableDiff.h"
#include "table/TxtTable.h"

#include <QUndoStack>

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
    return false;
}

bool CTableRevert::PutBackRow(int32_t) {
    return false;
}

bool CTableRevert::RevertTable() {
    const CTableDiff diff = Compare();
    if (diff.changedRows.empty())
        return false;
    auto step = std::make_unique<QUndoCommand>(
        QStringLiteral("Revert %1")
            .arg(QString::fromLatin1(m_strFileName.data(),
                                     static_cast<qsizetype>(m_strFileName.size()))));
    std::vector<CCellsCommand::Cell> cells;
    for (const CTableDiff::Row& row : diff.changedRows)
        AddCells(row, cells);
    new CCellsCommand(m_mod, m_pChanges, std::move(cells), step->text(), step.get());
    m_undo.push(step.release());
    return true;
}

std::vector<std::string> CTableRevert::BaseRowInModColumns(const CTableDiff& diff,
                                                           int32_t baseRow) const {
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
