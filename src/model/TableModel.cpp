#include "model/TableModel.h"

#include "editors/CellText.h"
#include "model/TableChanges.h"
#include "platform/UserPrompts.h"
#include "table/TxtTable.h"

#include <QUndoStack>

CTableModel::CTableModel(CTxtTable& table, CTableChanges& changes, QUndoStack& undo,
                         CUserPrompts& prompts, QObject* parent)
    : QAbstractTableModel(parent), m_table(table), m_changes(changes), m_undo(undo),
      m_prompts(prompts) {
    connect(&m_changes, &CTableChanges::cellsChanged, this, &CTableModel::OnCellsChanged);
    connect(&m_changes, &CTableChanges::tableChanged, this, &CTableModel::tableChanged);
    // Model row r is table row r + 1.
    connect(&m_changes, &CTableChanges::rowsAboutToBeInserted, this,
            [this](int32_t first, int32_t last) { beginInsertRows({}, first - 1, last - 1); });
    connect(&m_changes, &CTableChanges::rowsInserted, this, [this] { endInsertRows(); });
    connect(&m_changes, &CTableChanges::rowsAboutToBeRemoved, this,
            [this](int32_t first, int32_t last) { beginRemoveRows({}, first - 1, last - 1); });
    connect(&m_changes, &CTableChanges::rowsRemoved, this, [this] { endRemoveRows(); });
    connect(&m_changes, &CTableChanges::tableReplaced, this, [this] {
        beginResetModel();
        endResetModel();
    });
}

CTableModel::CTableModel(CTxtTable& table, QUndoStack& undo, CUserPrompts& prompts, QObject* parent)
    : CTableModel(table, *new CTableChanges, undo, prompts, parent) {
    m_ownChanges.reset(&m_changes);
}

CTableModel::~CTableModel() = default;

int CTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(m_table.Rows() - 1, 0);
}

int CTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_table.Columns();
}

QVariant CTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    return CellToText(m_table.CellView(index.column(), TableRow(index)));
}

QVariant CTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Horizontal)
        return ColumnCaption(section);
    return QString::number(section + 1);
}

QString CTableModel::ColumnCaption(int32_t col) const {
    return m_table.Rows() > 0 ? CellToText(m_table.CellView(col, 0)) : QString();
}

QString CTableModel::ColumnName(int32_t col) const {
    const QString caption = ColumnCaption(col);
    return caption.isEmpty() ? QStringLiteral("column %1").arg(col + 1) : caption;
}

Qt::ItemFlags CTableModel::flags(const QModelIndex& index) const {
    return index.isValid() ? QAbstractTableModel::flags(index) | Qt::ItemIsEditable
                           : Qt::NoItemFlags;
}

std::optional<std::string> CTableModel::CellBytes(const QString& text) const {
    std::optional<std::string> bytes = TextToCell(text);
    if (!bytes) {
        m_prompts.ShowMessage(CellRefusal(text));
        return std::nullopt;
    }
    if (!CTxtTable::CellCanHold(*bytes)) {
        m_prompts.ShowMessage("A table cell cannot hold a tab or a line break: the saved table "
                              "would gain a column or a row.");
        return std::nullopt;
    }
    return bytes;
}

bool CTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    std::optional<std::string> bytes = CellBytes(value.toString());
    if (!bytes)
        return false;
    const int32_t col = index.column(), row = TableRow(index);
    PushCells({NewCell{col, row, std::move(*bytes)}},
              QStringLiteral("Edit %1, row %2").arg(ColumnName(col)).arg(row));
    return true;
}

bool CTableModel::PushCells(std::vector<NewCell> cells, const QString& text) {
    std::vector<CCellsCommand::Cell> changed;
    changed.reserve(cells.size());
    for (NewCell& cell : cells) {
        const std::string_view old = m_table.CellView(cell.col, cell.tableRow);
        if (old != cell.text)
            changed.push_back(CCellsCommand::Cell{cell.col, cell.tableRow, std::string(old),
                                                  std::move(cell.text)});
    }
    if (changed.empty())
        return false;
    m_undo.push(new CCellsCommand(m_table, &m_changes, std::move(changed), text));
    return true;
}

void CTableModel::OnCellsChanged(int32_t firstCol, int32_t firstTableRow, int32_t lastCol,
                                 int32_t lastTableRow) {
    if (firstTableRow == 0)
        emit headerDataChanged(Qt::Horizontal, firstCol, lastCol);
    if (lastTableRow >= 1)
        emit dataChanged(IndexOf(firstCol, std::max(firstTableRow, 1)),
                         IndexOf(lastCol, lastTableRow), {Qt::DisplayRole, Qt::EditRole});
}
