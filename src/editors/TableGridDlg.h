#pragma once

#include <QDialog>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class CFrozenColumnTable;
class CRowsCommand;
class CTableModel;
class CUserPrompts;
class QAction;
class QCheckBox;
class QLabel;
class QLineEdit;
class QWidget;

// Every column of one table in a grid: the header row as column captions, the first column kept
// in sight, the table's row numbers beside the rows. Cells are edited in place; copy, paste,
// fill down and fill right work on the selected block; rows are inserted, duplicated and deleted
// whole; every change is one step on the data set's undo stack, so closing keeps what was done.
// Column widths are kept per table in the settings file.
class CTableGridDlg : public QDialog {
    Q_OBJECT
public:
    // The settings section of the column widths; the key is the table's file name.
    static constexpr const char* kWidthsSection = "Grid";

    // `fileName` names the table in the caption and in the settings file; an empty
    // `settingsPath` remembers nothing.
    CTableGridDlg(CTableModel& model, const std::string& fileName, const std::string& settingsPath,
                  QWidget* parent = nullptr);

    // Makes the table row current and scrolls it into sight; with a column, only that cell.
    void SelectTableRow(int32_t tableRow, int32_t col = -1);

    // Names the tables that address this table's rows by position, asked afresh before each
    // insertion or deletion that would move rows; when it names any, the user is asked first.
    void SetRowAddressers(std::function<QStringList()> addressers) {
        m_rowAddressers = std::move(addressers);
    }

    // Rows can be neither inserted nor deleted here (`why` says so on the disabled commands): a
    // window that named rows by their number is open beneath the grid.
    void KeepRowsInPlace(const QString& why);

    // The commands of the grid's keys and buttons, public so that tests can drive the grid.
    void OnCopy();
    void OnPaste();
    void OnFillDown();
    void OnFillRight();
    // An empty row above the current one; the selected rows' copies after the last of them;
    // the selected rows deleted. Each is one undo step.
    void OnInsertRow();
    void OnDuplicateRows();
    void OnDeleteRows();
    void OnFind();
    // Finds the find bar's text after (or before) the current cell; the bar says when nothing
    // holds it.
    void OnFindNext(bool backwards);

    CFrozenColumnTable* View() const { return m_pView; }
    QLineEdit* FindEdit() const { return m_editFind; }
    QLabel* FindStatus() const { return m_labelFound; }

    void done(int result) override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QWidget* MakeFindBar();
    // The selected block's corners; the current cell when the selection is not one block.
    std::pair<QModelIndex, QModelIndex> SelectedBlock() const;
    // The table rows with a selected cell, ascending; the current row when none is selected.
    std::vector<int32_t> SelectedTableRows() const;
    // Whether rows may move: true when no table addresses them by position or the user agrees
    // to `change` ("Deleting row 4").
    bool MayMoveRows(const QString& change) const;
    // Pushes the command, if any, and selects the row then at `selectTableRow` (or the last).
    void PushRows(std::unique_ptr<CRowsCommand> command, int32_t selectTableRow);
    void RestoreWidths();
    void SaveWidths() const;

    CTableModel& m_model;
    QList<QAction*> m_rowActions;
    std::string m_strFileName;
    std::string m_strSettingsPath;
    CFrozenColumnTable* m_pView = nullptr;
    QWidget* m_pFindBar = nullptr;
    QLineEdit* m_editFind = nullptr;
    QCheckBox* m_checkWholeCell = nullptr;
    QCheckBox* m_checkMatchCase = nullptr;
    QLabel* m_labelFound = nullptr;
    std::function<QStringList()> m_rowAddressers;
};
