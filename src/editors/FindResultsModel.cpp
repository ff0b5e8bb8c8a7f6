#include "editors/FindResultsModel.h"

#include "editors/CellText.h"

namespace {

const char* const kCaptions[] = {"Table", "Row", "Column", "Cell"};
constexpr int kColumns = static_cast<int>(std::size(kCaptions));

} // namespace

void CFindResultsModel::SetMatches(std::vector<TableMatch> matches) {
    beginResetModel();
    m_matches = std::move(matches);
    endResetModel();
}

int CFindResultsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_matches.size());
}

int CFindResultsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kColumns;
}

QString CFindResultsModel::Text(const TableMatch& match, int column) const {
    switch (column) {
    case 0:
        return QString::fromLatin1(match.fileName);
    case 1:
        // Rows of one name are common: the row number tells them apart.
        if (match.tableRow == 0)
            return "Header";
        return match.rowName.empty()
                   ? QString("row %1").arg(match.tableRow)
                   : QString("%1 (row %2)")
                         .arg(CellToText(match.rowName), QString::number(match.tableRow));
    case 2:
        return match.columnName.empty() ? QString("column %1").arg(match.col + 1)
                                        : CellToText(match.columnName);
    default:
        return CellToText(match.cellText);
    }
}

QVariant CFindResultsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= kColumns ||
        (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    return Text(m_matches[static_cast<size_t>(index.row())], index.column());
}

QVariant CFindResultsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumns)
        return {};
    return QString(kCaptions[section]);
}
