#include "editors/ChangesDlg.h"
#include "model/TableChanges.h"
#include "table/TxtTable.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"

#include <QLabel>
#include <QTreeWidget>
#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

// Repeated keys; the mod inserted "imp" after the first zombie and changed three cells.
constexpr const char* kGame = "name\tlevel\tspeed\r\nzombie\t1\t2\r\nbat\t3\t4\r\nzombie\t5\t6\r\n"
                              "bat\t7\t8\r\n";
constexpr const char* kMod = "name\tlevel\tspeed\r\nzombie\t1\t2\r\nimp\t9\t9\r\nbat\t3\t40\r\n"
                             "zombie\t50\t60\r\nbat\t7\t8\r\n";

// The rows under the table, each as "<row>: <column> <game's>><mod's>, ...".
std::vector<std::string> Shown(const QTreeWidget& tree) {
    std::vector<std::string> rows;
    const QTreeWidgetItem* table = tree.topLevelItem(0);
    for (int i = 0; !table->isHidden() && i < table->childCount(); ++i) {
        const QTreeWidgetItem* row = table->child(i);
        QString text = row->text(0) + ":" + row->text(1);
        for (int j = 0; j < row->childCount(); ++j)
            text += " " + row->child(j)->text(1) + " " + row->child(j)->text(2) + ">" +
                    row->child(j)->text(3);
        rows.push_back(text.toStdString());
    }
    return rows;
}

TEST(ChangesDlg, RevertsCellRowAndAddedRowAsUndoSteps) {
    EnsureQApplication();
    CTxtTable game, mod;
    ASSERT_TRUE(game.LoadFromBytes(kGame));
    ASSERT_TRUE(mod.LoadFromBytes(kMod));
    CTableChanges changes;
    QUndoStack undo;
    CScriptedPrompts prompts;
    std::string opened;
    CChangesDlg dlg({{"monstats.txt", &mod, &game, &changes}}, undo, prompts,
                    [&](const std::string& file, int32_t col, int32_t row) {
                        opened = file + " " + std::to_string(col) + " " + std::to_string(row);
                    });
    QTreeWidget& tree = *dlg.Tree();
    const std::vector<std::string> before = {"imp, row 2:(row added)", "bat, row 3: speed 4>40",
                                             "zombie, row 4: level 5>50 speed 6>60"};
    EXPECT_EQ(Shown(tree), before);
    EXPECT_EQ(dlg.Summary()->text().toStdString(),
              "1 table differs from the game's: 3 cells, 1 row added");

    QTreeWidgetItem* table = tree.topLevelItem(0);
    emit tree.itemDoubleClicked(table->child(2)->child(1), 0);
    EXPECT_EQ(opened, "monstats.txt 2 4");

    tree.setCurrentItem(table->child(1)->child(0));
    dlg.OnRevertCell();
    EXPECT_EQ(mod.CellView(2, 3), "4");
    tree.setCurrentItem(table->child(1)); // now the zombie, which took the bat's place
    dlg.OnRevertRow();
    EXPECT_EQ(Shown(tree), std::vector<std::string>{"imp, row 2:(row added)"});
    tree.setCurrentItem(table->child(0));
    dlg.OnRevertRow();
    EXPECT_EQ(mod.ToBytes(), kGame);
    EXPECT_TRUE(Shown(tree).empty());
    EXPECT_EQ(dlg.Summary()->text().toStdString(), "No table differs from the game's.");

    ASSERT_EQ(undo.count(), 3);
    EXPECT_EQ(undo.text(0), "Revert cell");
    EXPECT_EQ(undo.text(1), "Revert row 4");
    EXPECT_EQ(undo.text(2), "Revert row 2");
    while (undo.canUndo())
        undo.undo();
    EXPECT_EQ(mod.ToBytes(), kMod);
    EXPECT_EQ(Shown(tree), before);
    EXPECT_TRUE(prompts.log.empty());
}

} // namespace
