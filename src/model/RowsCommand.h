#pragma once

#include <QString>
#include <QUndoCommand>

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class CTableChanges;
class CTxtTable;

// Rows one user action inserted or deleted, as one undo step. Like CCellsCommand it holds the
// table and, optionally, its change signal, so it works with no grid open and every open grid
// hears of it; the table and the signal must outlive it. Undo puts back exactly what was there:
// deleted rows return with their cells, their line ends and any text past the last column.
class CRowsCommand : public QUndoCommand {
public:
    struct Row {
        int32_t tableRow = 0; // where the row stands once all of them are inserted
        std::vector<std::string> cells;
    };

    // Inserts `rows` (in any order) when redone. Null, for nothing to do, when there are none,
    // two would stand at one place, one could not stand where it asks (past the end, or row 0),
    // or a cell holds text no cell can (see CTxtTable::CellCanHold).
    static std::unique_ptr<CRowsCommand> Insert(CTxtTable& table, CTableChanges* changes,
                                                std::vector<Row> rows, const QString& text,
                                                QUndoCommand* parent = nullptr);
    // Deletes the rows `tableRows` (in any order, repeats ignored) when redone; they are read
    // now. Null when there are none or one is the header row or past the end.
    static std::unique_ptr<CRowsCommand> Remove(CTxtTable& table, CTableChanges* changes,
                                                std::vector<int32_t> tableRows, const QString& text,
                                                QUndoCommand* parent = nullptr);

    void redo() override;
    void undo() override;

private:
    struct StoredRow {
        int32_t tableRow = 0;
        std::vector<std::string> cells;
        bool crLf = true;
    };

    CRowsCommand(CTxtTable& table, CTableChanges* changes, std::vector<StoredRow> rows,
                 bool inserts, const QString& text, QUndoCommand* parent);
    // Both in order of table row, each announced as runs of neighbouring rows.
    void PutRows();
    void TakeRows();

    CTxtTable& m_table;
    CTableChanges* m_pChanges;
    std::vector<StoredRow> m_rows; // by table row, ascending
    bool m_bInserts;
};
