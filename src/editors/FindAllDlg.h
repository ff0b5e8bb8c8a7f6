#pragma once

#include "model/AllTablesFind.h"

#include <QDialog>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class CFindResultsModel;
class QCheckBox;
class QLabel;
class QLineEdit;
class QTableView;

// Find in All Tables: every cell of every table that holds a text, listed by table, row and
// column, found by the rule of the grid's find bar. A double click on a match, or Enter, opens it.
class CFindAllDlg : public QDialog {
    Q_OBJECT
public:
    // The tables as they are at each find: they may change between finds.
    using TablesSource = std::function<std::vector<NamedTable>()>;
    using OpenMatch =
        std::function<void(const std::string& fileName, int32_t col, int32_t tableRow)>;

    CFindAllDlg(TablesSource tables, OpenMatch open, QWidget* parent = nullptr);

    // The handlers of the Find button (and Enter) and of a double click on a listed match,
    // public so that tests can drive the dialog.
    void OnFind();
    void OnOpenMatch(int matchIndex);

    QLineEdit* FindEdit() const { return m_editFind; }
    QCheckBox* WholeCellBox() const { return m_checkWholeCell; }
    QCheckBox* MatchCaseBox() const { return m_checkMatchCase; }
    QTableView* MatchList() const { return m_pList; }
    QLabel* CountLine() const { return m_labelCount; }

private:
    TablesSource m_tables;
    OpenMatch m_open;
    QLineEdit* m_editFind = nullptr;
    QCheckBox* m_checkWholeCell = nullptr;
    QCheckBox* m_checkMatchCase = nullptr;
    QTableView* m_pList = nullptr;
    CFindResultsModel* m_pResults = nullptr;
    QLabel* m_labelCount = nullptr;
};
