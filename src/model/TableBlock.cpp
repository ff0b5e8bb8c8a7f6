#include "model/TableBlock.h"

#include "editors/CellText.h"
#include "model/TableModel.h"
#include "platform/UserPrompts.h"
#include "table/TxtTable.h"

#include <QStringList>

#include <vector>

QString CopyBlock(const CTxtTable& table, int32_t firstCol, int32_t firstTableRow, int32_t lastCol,
                  int32_t lastTableRow) {
    std::string bytes;
    for (int32_t row = firstTableRow; row <= lastTableRow; ++row) {
        for (int32_t col = firstCol; col <= lastCol; ++col) {
            if (col > firstCol)
                bytes.push_back('\t');
            bytes.append(table.CellView(col, row));
        }
        bytes.push_back('\n');
    }
    return CellToText(bytes);
}

namespace {

// The rows of a clipboard block, each split into its cells.
std::vector<QStringList> ParseBlock(const QString& clipboardText) {
    QString text = clipboardText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (text.endsWith(u'\n'))
        text.chop(1);
    std::vector<QStringList> rows;
    for (const QString& line : text.split(u'\n'))
        rows.push_back(line.split(u'\t'));
    return rows;
}

// "1 row", "3 rows".
QString Count(qsizetype n, const char* what) {
    return QStringLiteral("%1 %2%3").arg(n).arg(QLatin1StringView(what)).arg(n == 1 ? "" : "s");
}

// The cells of the rectangle, each set by `textOf(col, tableRow)`, as one undo step.
template <typename TextOf>
bool PushRectangle(CTableModel& model, const QModelIndex& topLeft, const QModelIndex& bottomRight,
                   const QString& what, TextOf textOf) {
    std::vector<CTableModel::NewCell> cells;
    const int32_t firstRow = CTableModel::TableRow(topLeft),
                  lastRow = CTableModel::TableRow(bottomRight);
    cells.reserve(static_cast<size_t>(lastRow - firstRow + 1) *
                  static_cast<size_t>(bottomRight.column() - topLeft.column() + 1));
    for (int32_t row = firstRow; row <= lastRow; ++row)
        for (int32_t col = topLeft.column(); col <= bottomRight.column(); ++col)
            cells.push_back(CTableModel::NewCell{col, row, textOf(col, row)});
    const size_t count = cells.size();
    return model.PushCells(std::move(cells), what.arg(count));
}

bool Fill(CTableModel& model, const QModelIndex& topLeft, const QModelIndex& bottomRight,
          bool down) {
    if (!topLeft.isValid() || !bottomRight.isValid())
        return false;
    const CTxtTable& table = model.Table();
    const int32_t firstRow = CTableModel::TableRow(topLeft), firstCol = topLeft.column();
    const QModelIndex from =
        down ? model.IndexOf(firstCol, firstRow + 1) : model.IndexOf(firstCol + 1, firstRow);
    if (!from.isValid() || from.row() > bottomRight.row() || from.column() > bottomRight.column())
        return false;
    return PushRectangle(model, from, bottomRight,
                         down ? QStringLiteral("Fill down %1 cells")
                              : QStringLiteral("Fill right %1 cells"),
                         [&](int32_t col, int32_t row) {
                             return std::string(down ? table.CellView(col, firstRow)
                                                     : table.CellView(firstCol, row));
                         });
}

} // namespace

bool PasteBlock(CTableModel& model, const QModelIndex& topLeft, const QString& clipboardText,
                const QModelIndex& selectionBottomRight) {
    if (!topLeft.isValid() || clipboardText.isEmpty())
        return false;
    const std::vector<QStringList> rows = ParseBlock(clipboardText);
    qsizetype width = 0;
    for (const QStringList& row : rows)
        width = std::max(width, row.size());
    const auto height = static_cast<qsizetype>(rows.size());
    const qsizetype roomRows = model.rowCount() - topLeft.row();
    const qsizetype roomCols = model.columnCount() - topLeft.column();

    // One cell onto a larger selection fills the selection with it.
    if (height == 1 && width == 1 && selectionBottomRight.isValid() &&
        (selectionBottomRight.row() > topLeft.row() ||
         selectionBottomRight.column() > topLeft.column())) {
        const std::optional<std::string> bytes = model.CellBytes(rows[0][0]);
        if (!bytes)
            return false;
        return PushRectangle(model, topLeft, selectionBottomRight, QStringLiteral("Paste %1 cells"),
                             [&](int32_t, int32_t) { return *bytes; });
    }

    if (height > roomRows || width > roomCols) {
        model.Prompts().ShowMessage(
            QStringLiteral(
                "The block is %1 × %2; from row %3, column %4 there is room for %5 × %6. "
                "Nothing was pasted.")
                .arg(Count(height, "row"), Count(width, "column"))
                .arg(CTableModel::TableRow(topLeft))
                .arg(topLeft.column() + 1)
                .arg(Count(roomRows, "row"), Count(roomCols, "column"))
                .toStdString());
        return false;
    }
    std::vector<CTableModel::NewCell> cells;
    cells.reserve(static_cast<size_t>(height * width));
    for (qsizetype r = 0; r < height; ++r)
        for (qsizetype c = 0; c < rows[static_cast<size_t>(r)].size(); ++c) {
            std::optional<std::string> bytes = model.CellBytes(rows[static_cast<size_t>(r)][c]);
            if (!bytes)
                return false;
            cells.push_back(CTableModel::NewCell{
                static_cast<int32_t>(topLeft.column() + c),
                static_cast<int32_t>(CTableModel::TableRow(topLeft) + r), std::move(*bytes)});
        }
    return model.PushCells(std::move(cells),
                           QStringLiteral("Paste %1 × %2 cells").arg(height).arg(width));
}

bool FillDown(CTableModel& model, const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    return Fill(model, topLeft, bottomRight, true);
}

bool FillRight(CTableModel& model, const QModelIndex& topLeft, const QModelIndex& bottomRight) {
    return Fill(model, topLeft, bottomRight, false);
}
