#include "editors/FindAllDlg.h"
#include "table/TxtTable.h"

#include "QtTestApp.h"

#include <QApplication>
#include <QCheckBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QTableView>

#include <gtest/gtest.h>

namespace {

// What the list shows on one row: Table | Row | Column | Cell.
std::string ListRow(const QTableView& list, int row) {
    QStringList cells;
    for (int col = 0; col < list.model()->columnCount(); ++col)
        cells << list.model()->index(row, col).data().toString();
    return cells.join(" | ").toStdString();
}

void PressEnter(QWidget& widget) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

// A double click as the mouse gives it: press, release, double click, release.
void DoubleClick(QWidget& widget, QPoint at) {
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                              QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, widget.mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&widget, &event);
    }
}

TEST(FindAllDlgTest, FindsInTheCurrentTablesAndOpensTheDoubleClickedMatch) {
    EnsureQApplication();
    CTxtTable monsters, armour;
    ASSERT_TRUE(monsters.LoadFromBytes("Id\tname\r\nfallen\tFallen\r\nfallen\tfallen2\r\n"));
    ASSERT_TRUE(armour.LoadFromBytes("name\tcode\r\nCap\tcap\r\n"));
    std::vector<NamedTable> tables = {{"monstats.txt", &monsters}};
    std::vector<std::string> opened;
    CFindAllDlg dlg([&] { return tables; },
                    [&](const std::string& fileName, int32_t col, int32_t tableRow) {
                        opened.push_back(fileName + " " + std::to_string(col) + " " +
                                         std::to_string(tableRow));
                    });
    dlg.show();
    EXPECT_EQ(dlg.windowTitle(), "Find in All Tables");
    dlg.FindEdit()->setText("FALLEN");
    PressEnter(*dlg.FindEdit());
    EXPECT_EQ(dlg.CountLine()->text(), "4 matches in 1 table");
    EXPECT_EQ(ListRow(*dlg.MatchList(), 3), "monstats.txt | fallen (row 2) | name | fallen2");

    // The tables may change between finds: the next find sees them as they are.
    tables.push_back({"Armor.txt", &armour});
    ASSERT_TRUE(monsters.SetCell(1, 2, "Cap"));
    dlg.FindEdit()->setText("cap");
    dlg.MatchCaseBox()->setChecked(true);
    dlg.WholeCellBox()->setChecked(true);
    PressEnter(*dlg.FindEdit());
    EXPECT_EQ(dlg.CountLine()->text(), "1 match in 1 table");
    dlg.MatchCaseBox()->setChecked(false);
    PressEnter(*dlg.FindEdit());
    EXPECT_EQ(dlg.CountLine()->text(), "3 matches in 2 tables");
    ASSERT_EQ(dlg.MatchList()->model()->rowCount(), 3);
    EXPECT_EQ(ListRow(*dlg.MatchList(), 0), "monstats.txt | fallen (row 2) | name | Cap");
    EXPECT_EQ(ListRow(*dlg.MatchList(), 2), "Armor.txt | Cap (row 1) | code | cap");

    QTableView& list = *dlg.MatchList();
    const QModelIndex third = list.model()->index(2, 3);
    const QPoint at = list.visualRect(third).center();
    DoubleClick(*list.viewport(), at);
    list.setCurrentIndex(list.model()->index(0, 0));
    PressEnter(list);
    EXPECT_EQ(opened, (std::vector<std::string>{"Armor.txt 1 1", "monstats.txt 1 2"}));

    dlg.FindEdit()->setText("zzz");
    PressEnter(*dlg.FindEdit());
    EXPECT_EQ(dlg.CountLine()->text(), "Nothing holds zzz.");
    EXPECT_EQ(list.model()->rowCount(), 0);
}

} // namespace
