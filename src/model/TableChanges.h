#pragma once

#include <QObject>

#include <cstdint>

class CTxtTable;

// The change signal of one table in memory. Whoever keeps the table keeps one of these beside
// it for as long as the table lives; undo commands announce their changes here, and every grid
// open on the table listens. A command therefore works with no grid open, and a grid opened
// later still hears the undo of a change made before it existed.
class CTableChanges : public QObject {
    Q_OBJECT
public:
    explicit CTableChanges(QObject* parent = nullptr) : QObject(parent) {}

signals:
    // Cells in the rectangle of table rows and columns (both ends included) were written.
    void cellsChanged(int32_t firstCol, int32_t firstTableRow, int32_t lastCol,
                      int32_t lastTableRow);
    // Rows firstTableRow to lastTableRow are about to be inserted (they will stand there after
    // it), then were; the same for rows about to be removed, then removed. Views keep their
    // rows in step between the two signals of a pair.
    void rowsAboutToBeInserted(int32_t firstTableRow, int32_t lastTableRow);
    void rowsInserted(int32_t firstTableRow, int32_t lastTableRow);
    void rowsAboutToBeRemoved(int32_t firstTableRow, int32_t lastTableRow);
    void rowsRemoved(int32_t firstTableRow, int32_t lastTableRow);
    // After every do, undo or redo of a command on the table: the data set is modified.
    void tableChanged();
    // The table was loaded again (its rows and columns may differ): views read it afresh.
    // Emitted by whoever reloads it; commands made before no longer fit it.
    void tableReplaced();
};
