#pragma once

#include <QModelIndex>
#include <QString>

#include <cstdint>

class CTableModel;
class CTxtTable;

// Blocks of cells to and from the clipboard as spreadsheets write them: a tab between cells and
// a line end after every row.

// The cells of the rectangle (table rows and columns, both ends included), "\n" after each row.
QString CopyBlock(const CTxtTable& table, int32_t firstCol, int32_t firstTableRow, int32_t lastCol,
                  int32_t lastTableRow);

// Pastes `clipboardText` with its first cell at `topLeft` as one undo step "Paste R × C cells".
// Rows end with "\r\n" or "\n"; one line end after the last row is ignored. A block reaching past
// the last column or row, or holding text a cell cannot take, is refused with a message and
// nothing changes. A single cell pasted onto a larger `selection` fills it. False when nothing
// was pasted.
bool PasteBlock(CTableModel& model, const QModelIndex& topLeft, const QString& clipboardText,
                const QModelIndex& selectionBottomRight = QModelIndex());

// Copies the top row of the rectangle of model indexes down over the rest of it (FillDown), or
// its left column right over the rest (FillRight), as one undo step. False when nothing changed.
bool FillDown(CTableModel& model, const QModelIndex& topLeft, const QModelIndex& bottomRight);
bool FillRight(CTableModel& model, const QModelIndex& topLeft, const QModelIndex& bottomRight);
