#include "editors/FrozenColumnTable.h"
#include "editors/RowAddressers.h"
#include "editors/TableGridDlg.h"
#include "model/TableChanges.h"
#include "model/TableModel.h"
#include "table/TxtTable.h"

#include "LayoutTables.h"
#include "QtTestApp.h"
#include "ScriptedPrompts.h"

#include <QAbstractItemModelTester>
#include <QHeaderView>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

// A grid on its own over a table; the model tester stops the run if the model's row signals
// ever disagree with its rows.
struct GridOnTable {
    bool appMade = (EnsureQApplication(), true); // before any widget
    CTxtTable table;
    QUndoStack undo;
    CScriptedPrompts prompts;
    CTableModel model{table, undo, prompts};
    QAbstractItemModelTester tester{&model, QAbstractItemModelTester::FailureReportingMode::Fatal};
    CTableGridDlg grid{model, "MonStats.txt", ""};

    explicit GridOnTable(const std::string& bytes) {
        EXPECT_TRUE(table.LoadFromBytes(bytes));
        model.Changes().tableReplaced();
    }
    // Selects whole table rows first to last.
    void Select(int32_t first, int32_t last) {
        QItemSelectionModel& selection = *grid.View()->selectionModel();
        selection.select(
            QItemSelection(model.IndexOf(0, first), model.IndexOf(table.Columns() - 1, last)),
            QItemSelectionModel::ClearAndSelect);
        selection.setCurrentIndex(model.IndexOf(0, first), QItemSelectionModel::NoUpdate);
    }
};

using GridAction = void (CTableGridDlg::*)();

// Mixed line ends, a short last row and no final line end: undo must give back every byte.
constexpr const char* kMixed = "name\tlvl\r\na\t1\nb\t2\r\nc";

TEST(TableGridRows, InsertDuplicateAndDeleteAreUndoneToTheByte) {
    struct Case {
        int32_t first, last; // the selected table rows
        GridAction action;
        const char* after;
        const char* step;
    };
    const Case cases[] = {
        {2, 2, &CTableGridDlg::OnInsertRow, "name\tlvl\r\na\t1\n\t\r\nb\t2\r\nc", "Insert row 2"},
        {1, 2, &CTableGridDlg::OnDuplicateRows, "name\tlvl\r\na\t1\nb\t2\r\na\t1\r\nb\t2\r\nc",
         "Duplicate 2 rows"},
        {3, 3, &CTableGridDlg::OnDuplicateRows, "name\tlvl\r\na\t1\nb\t2\r\nc\r\nc",
         "Duplicate row 3"},
        {2, 3, &CTableGridDlg::OnDeleteRows, "name\tlvl\r\na\t1", "Delete 2 rows"},
        {1, 1, &CTableGridDlg::OnDeleteRows, "name\tlvl\r\nb\t2\r\nc", "Delete row 1"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.step);
        GridOnTable t(kMixed);
        t.Select(c.first, c.last);
        (t.grid.*c.action)();
        const CTxtTable after = [&] {
            CTxtTable table;
            table.LoadFromBytes(c.after);
            return table;
        }();
        for (int pass = 0; pass < 2; ++pass) {
            EXPECT_EQ(t.table.ToBytes(), c.after);
            EXPECT_EQ(t.undo.undoText(), c.step);
            // The view counts its rows from the model's signals alone.
            ASSERT_EQ(t.grid.View()->verticalHeader()->count(), after.Rows() - 1);
            EXPECT_EQ(t.model.data(t.model.IndexOf(0, after.Rows() - 1)).toString().toStdString(),
                      after.GetCell(0, after.Rows() - 1));
            t.undo.undo();
            EXPECT_EQ(t.table.ToBytes(), kMixed);
            EXPECT_EQ(t.grid.View()->verticalHeader()->count(), 3);
            t.undo.redo();
        }
    }
}

TEST(TableGridRows, MovingRowsOthersAddressAsksFirst) {
    const std::string question = "Levels.txt address rows of MonStats.txt by their position. ";
    struct Case {
        int32_t first, last;
        GridAction action;
        bool addressed, answer;
        std::string asked; // empty: no question
        bool changed;
    };
    const Case cases[] = {
        {2, 2, &CTableGridDlg::OnInsertRow, true, true,
         question + "Inserting a row above row 2 moves every row below it. Go on?", true},
        {1, 1, &CTableGridDlg::OnDeleteRows, true, false,
         question + "Deleting row 1 moves every row below it. Go on?", false},
        {1, 2, &CTableGridDlg::OnDeleteRows, true, true,
         question + "Deleting rows 1 to 2 moves every row below it. Go on?", true},
        {2, 3, &CTableGridDlg::OnDeleteRows, true, false, "", true},
        {3, 3, &CTableGridDlg::OnDuplicateRows, true, false, "", true},
        {1, 1, &CTableGridDlg::OnDeleteRows, false, false, "", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.asked);
        GridOnTable t("Id\r\nm1\r\nm2\r\nm3\r\n");
        t.grid.SetRowAddressers(
            [&] { return c.addressed ? QStringList{"Levels.txt"} : QStringList(); });
        if (!c.asked.empty())
            t.prompts.AnswerYesNo(c.answer);
        t.Select(c.first, c.last);
        (t.grid.*c.action)();
        EXPECT_EQ(t.prompts.TextsOf(CScriptedPrompts::Entry::Kind::YesNo),
                  c.asked.empty() ? std::vector<std::string>{} : std::vector<std::string>{c.asked});
        EXPECT_EQ(t.undo.count(), c.changed ? 1 : 0);
    }

    CTxtTable levels109, levels110;
    levels109.LoadFromBytes(LayoutTableText(CGameDataSet::TableId::Levels, TableLayout::V109));
    levels110.LoadFromBytes(LayoutTableText(CGameDataSet::TableId::Levels, TableLayout::V110));
    EXPECT_EQ(TablesAddressingRowsOf("monstats.TXT", &levels109), QStringList{"Levels.txt"});
    EXPECT_TRUE(TablesAddressingRowsOf("MonStats.txt", &levels110).isEmpty());
    EXPECT_TRUE(TablesAddressingRowsOf("MonStats.txt", nullptr).isEmpty());
    EXPECT_TRUE(TablesAddressingRowsOf("Levels.txt", &levels109).isEmpty());
}

} // namespace
