#pragma once

#include <QAbstractTableModel>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/CellsCommand.h"

class CTableChanges;
class CTxtTable;
class CUserPrompts;
class QUndoStack;

// The grid's model over one table in memory. It keeps no copy of the cells: data() turns the
// bytes of the cells asked for into text (Latin-1, one character per byte). Model row r is
// table row r + 1; the table's row 0 gives the column captions, and the row header shows the
// table's own row number, as the editors name rows elsewhere. Every change goes through the
// undo stack, as a CCellsCommand or, for whole rows, a CRowsCommand.
class CTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // `changes` is the table's change signal, kept by whoever keeps the table (see
    // CTableChanges). The second form makes one of its own, for a grid that is the table's only
    // editor.
    CTableModel(CTxtTable& table, CTableChanges& changes, QUndoStack& undo, CUserPrompts& prompts,
                QObject* parent = nullptr);
    CTableModel(CTxtTable& table, QUndoStack& undo, CUserPrompts& prompts,
                QObject* parent = nullptr);
    ~CTableModel() override;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    // Refuses, with a message and changing nothing, text a cell cannot hold (a character
    // outside Latin-1, a tab, a line break). An unchanged value pushes no undo step.
    bool setData(const QModelIndex& index, const QVariant& value, int role = Qt::EditRole) override;

    // The table row of a model index, and back; an invalid index for a cell outside the table.
    static int32_t TableRow(const QModelIndex& index) { return index.row() + 1; }
    QModelIndex IndexOf(int32_t col, int32_t tableRow) const { return index(tableRow - 1, col); }

    CTxtTable& Table() const { return m_table; }
    CTableChanges& Changes() const { return m_changes; }
    QUndoStack& UndoStack() const { return m_undo; }
    CUserPrompts& Prompts() const { return m_prompts; }
    // The column's caption (its header cell) as shown.
    QString ColumnCaption(int32_t col) const;
    // The caption, or "column <n>" (counted from 1) for a column without one, for messages.
    QString ColumnName(int32_t col) const;

    // The bytes for a cell typed or pasted as `text`; none, after a message saying why, when a
    // cell cannot hold it (a character outside Latin-1, a tab, a line break).
    std::optional<std::string> CellBytes(const QString& text) const;

    // Pushes one undo step writing `cells` (their old texts are read here); cells whose text
    // does not change are left out, and nothing is pushed when none is left. False when
    // nothing was pushed.
    struct NewCell {
        int32_t col;
        int32_t tableRow;
        std::string text;
    };
    bool PushCells(std::vector<NewCell> cells, const QString& text);

signals:
    // After every do, undo or redo of a command on the table, whoever made it.
    void tableChanged();

private:
    void OnCellsChanged(int32_t firstCol, int32_t firstTableRow, int32_t lastCol,
                        int32_t lastTableRow);

    CTxtTable& m_table;
    std::unique_ptr<CTableChanges> m_ownChanges;
    CTableChanges& m_changes;
    QUndoStack& m_undo;
    CUserPrompts& m_prompts;
};
