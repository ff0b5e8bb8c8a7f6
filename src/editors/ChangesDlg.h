#pragma once

#include "model/TableDiff.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CTableChanges;
class CTxtTable;
class CUserPrompts;
class QLabel;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class QUndoStack;

// What a mod changed in the game's tables: per table its changed rows with their cells, the rows
// it added and the ones it removed. Rows are named by their key and table row. The selection can
// be reverted cell by cell, row by row or a table at a time, each one undo step. The view follows
// every change of the tables, undo and redo included.
class CChangesDlg : public QDialog {
    Q_OBJECT
public:
    struct Entry {
        std::string fileName;
        CTxtTable* mod = nullptr;
        const CTxtTable* base = nullptr;
        CTableChanges* changes = nullptr;
    };
    // Called on a double click of a cell or row: where to open the table's grid.
    using OpenCell =
        std::function<void(const std::string& fileName, int32_t col, int32_t tableRow)>;

    CChangesDlg(std::vector<Entry> entries, QUndoStack& undo, CUserPrompts& prompts,
                OpenCell openCell = {}, QWidget* parent = nullptr);

    // The buttons' commands, on the current item.
    void OnRevertCell();
    void OnRevertRow();
    void OnRevertTable();

    QTreeWidget* Tree() const { return m_pTree; }
    QLabel* Summary() const { return m_pSummary; }
    const CTableDiff& DiffOf(size_t entry) const { return m_diffs[entry]; }

private:
    // What an item of the tree stands for.
    enum class Kind { Table, ChangedRow, AddedRow, RemovedRow, Cell, Column };
    struct Target {
        Kind kind = Kind::Table;
        size_t entry = 0;
        int32_t row = 0; // the mod's table row; the game's for a removed row
        int32_t col = 0; // the mod's column
    };

    void Refresh(size_t entry);
    void FillTable(size_t entry, QTreeWidgetItem* tableItem);
    QTreeWidgetItem* AddItem(QTreeWidgetItem* parent, const Target& target,
                             const QStringList& texts);
    static Target TargetOf(const QTreeWidgetItem* item);
    QTreeWidgetItem* FindItem(const Target& target) const;
    void UpdateSummary();
    void UpdateButtons();
    void OnDoubleClick(QTreeWidgetItem* item);
    // Runs a revert on the current item's table; `revert` says whether there was anything to do.
    template <typename Revert> void RevertAt(const Target& target, Revert revert);

    std::vector<Entry> m_entries;
    std::vector<CTableDiff> m_diffs;
    QUndoStack& m_undo;
    CUserPrompts& m_prompts;
    OpenCell m_openCell;
    QTreeWidget* m_pTree = nullptr;
    QLabel* m_pSummary = nullptr;
    QPushButton* m_btnRevertCell = nullptr;
    QPushButton* m_btnRevertRow = nullptr;
    QPushButton* m_btnRevertTable = nullptr;
};
