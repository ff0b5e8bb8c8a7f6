#include "app/ModEngineDlg.h"
#include "editors/EditorDlg.h"
#include "editors/FrozenColumnTable.h"
#include "editors/TableGridDlg.h"
#include "platform/ProfileFile.h"

#include "MainWindowFixture.h"
#include "MpqFixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

namespace {

class TableGridTest : public MainWindowTest {
protected:
    // A window with an archive open whose skills and armour tables are small and known.
    std::unique_ptr<CModEngineDlg> WindowWithTables() {
        ArchiveFiles tables;
        for (CGameDataSet::TableId id : CGameDataSet::kDeclarationOrder)
            tables.emplace_back(CGameDataSet::ArchivePath(id), "name\r\nbase\r\n");
        EXPECT_TRUE(MakeArchive(game.File("d2data.mpq"), tables));
        EXPECT_TRUE(MakeArchive(game.File("Patch_D2.mpq"), tables));
        CProfileFile::WriteString(work.File("Tarvane.ini"), "Diablo II", "Folder", game.Path());
        auto dlg = MakeWindow();
        prompts.AnswerOpenFile(game.File("Patch_D2.mpq"));
        FindItem(*dlg, "File", "Open...")->trigger();
        EXPECT_TRUE(dlg->m_data.m_Skills.LoadFromBytes(kSkills));
        EXPECT_TRUE(dlg->m_data.m_Armor.LoadFromBytes(
            "name\tcode\tminac\r\nCap\tcap\t3\r\nHelm\thlm\t5\r\n"));
        dlg->m_data.m_bModified = false;
        return dlg;
    }

    // Runs Misc > Skills with `action` on the grid, which it then closes.
    void InSkillsGrid(CModEngineDlg& dlg, std::function<void(CTableGridDlg&)> action) {
        WhenDialogOpens([action](QDialog& open) {
            auto* grid = dynamic_cast<CTableGridDlg*>(&open);
            ASSERT_NE(grid, nullptr);
            grid->activateWindow();
            ASSERT_TRUE(QTest::qWaitForWindowActive(grid));
            action(*grid);
            grid->reject();
        });
        FindItem(dlg, "Misc", "Skills")->trigger();
    }

    static void Press(CTableGridDlg& grid, int key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : &grid,
                        static_cast<Qt::Key>(key), modifiers);
        QApplication::processEvents(); // an edit is committed from the event queue
    }

    static void GoTo(CTableGridDlg& grid, int modelRow, int col) {
        grid.View()->setFocus();
        grid.View()->selectionModel()->setCurrentIndex(grid.View()->model()->index(modelRow, col),
                                                       QItemSelectionModel::ClearAndSelect);
    }

    CTempFolder game;
    static constexpr const char* kSkills = "skill\tid\tmana\r\nAttack\t0\t\r\nKick\t1\t3\r\n";
};

// Typing, a pasted block, undo back to the very bytes read, redo, and the title marking edits.
TEST_F(TableGridTest, GridEditsPastesAndUndoesStepByStep) {
    auto dlg = WindowWithTables();
    const CTxtTable& skills = dlg->m_data.m_Skills;
    InSkillsGrid(*dlg, [&](CTableGridDlg& grid) {
        EXPECT_EQ(grid.windowTitle(), "Skills.txt");
        EXPECT_EQ(grid.View()->model()->headerData(2, Qt::Horizontal).toString(), "mana");
        GoTo(grid, 0, 2);
        QTest::keyClicks(grid.View(), "7");
        Press(grid, Qt::Key_Return, Qt::NoModifier);
        EXPECT_EQ(skills.GetCell(2, 1), "7");

        QApplication::clipboard()->setText(QString::fromLatin1("a\tb\r\nc\t\xe9\r\n"));
        GoTo(grid, 0, 1);
        Press(grid, Qt::Key_V, Qt::ControlModifier);
        EXPECT_EQ(skills.ToBytes(), "skill\tid\tmana\r\nAttack\ta\tb\r\nKick\tc\t\xE9\r\n");

        Press(grid, Qt::Key_Z, Qt::ControlModifier);
        Press(grid, Qt::Key_Z, Qt::ControlModifier);
        EXPECT_EQ(skills.ToBytes(), kSkills);
        Press(grid, Qt::Key_Y, Qt::ControlModifier);
        EXPECT_EQ(skills.GetCell(2, 1), "7");
    });
    EXPECT_TRUE(dlg->m_data.m_bModified);
    EXPECT_EQ(dlg->windowTitle(), "Patch_D2.mpq* - Morsk's Tarvane Diablo II");
    // The main window's Edit menu holds the same steps.
    const QList<QAction*> edit = FindMenu(*dlg, "Edit")->actions();
    ASSERT_EQ(edit.size(), 2);
    EXPECT_EQ(Plain(edit[0]), "Undo Edit mana, row 1");
    EXPECT_EQ(Plain(edit[1]), "Redo Paste 2 × 2 cells");
}

// A block that does not fit is refused with its size, and nothing changes.
TEST_F(TableGridTest, PastePastTheLastColumnIsRefused) {
    auto dlg = WindowWithTables();
    InSkillsGrid(*dlg, [&](CTableGridDlg& grid) {
        QApplication::clipboard()->setText("x\ty\tz\n");
        GoTo(grid, 1, 1);
        Press(grid, Qt::Key_V, Qt::ControlModifier);
    });
    EXPECT_EQ(prompts.Messages(),
              (std::vector<std::string>{"The block is 1 row × 3 columns; from row 2, column 2 "
                                        "there is room for 1 row × 2 columns. Nothing was "
                                        "pasted."}));
    EXPECT_EQ(dlg->m_data.m_Skills.ToBytes(), kSkills);
    EXPECT_FALSE(dlg->m_data.m_bModified);
}

// All Columns opens the grid on the shown entry's row; what the grid changed shows afterwards.
// What the editor's Apply wrote and the grid's change are one undo step each, in that order,
// undone and redone one by one.
TEST_F(TableGridTest, AllColumnsOpensTheGridOnTheShownEntry) {
    auto dlg = WindowWithTables();
    const std::string armour = dlg->m_data.m_Armor.ToBytes();
    int gridRow = -1;
    WhenDialogOpens([&](QDialog& open) {
        auto& editor = dynamic_cast<CEditorDlg&>(open);
        editor.findChild<QListWidget*>()->setCurrentRow(1); // "Helm", table row 2
        editor.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
        for (QLineEdit* edit : editor.findChildren<QLineEdit*>())
            if (edit->text() == "5")
                edit->setText("6");
        for (QPushButton* button : editor.findChildren<QPushButton*>())
            if (button->text() == "Apply")
                button->click();
        WhenDialogOpens([&](QDialog& grid) {
            auto* view = dynamic_cast<CTableGridDlg&>(grid).View();
            gridRow = view->currentIndex().row();
            // The editor names its entries by row: rows stay where they are meanwhile.
            for (QAction* action : grid.actions()) {
                if (action->text() == "Delete Row(s)") {
                    EXPECT_FALSE(action->isEnabled());
                }
            }
            view->model()->setData(view->model()->index(1, 2), "9");
            grid.reject();
        });
        QTest::keyClick(&editor, Qt::Key_G, Qt::ControlModifier);
        QStringList shown;
        for (QLineEdit* edit : editor.findChildren<QLineEdit*>())
            shown << edit->text();
        EXPECT_TRUE(shown.contains("9"));
        editor.accept();
    });
    dlg->OnEditorCommand("Armour...");
    EXPECT_EQ(gridRow, 1); // model row 1 is table row 2, "Helm"
    EXPECT_EQ(dlg->m_data.m_Armor.GetCell(2, 2), "9");
    QAction* undo = FindMenu(*dlg, "Edit")->actions()[0];
    EXPECT_EQ(Plain(undo), "Undo Edit minac, row 2");
    undo->trigger();
    EXPECT_EQ(Plain(undo), "Undo Armour Editor");
    undo->trigger();
    EXPECT_EQ(dlg->m_data.m_Armor.ToBytes(), armour);
    QAction* redo = FindMenu(*dlg, "Edit")->actions()[1];
    redo->trigger();
    EXPECT_EQ(dlg->m_data.m_Armor.GetCell(2, 2), "6");
    redo->trigger();
    EXPECT_EQ(dlg->m_data.m_Armor.GetCell(2, 2), "9");
}

// Ctrl+F finds text after the current cell, as a whole cell or in any case as the boxes say;
// the bar says when no cell holds it.
TEST_F(TableGridTest, FindGoesToTheNextCellHoldingTheText) {
    auto dlg = WindowWithTables();
    InSkillsGrid(*dlg, [&](CTableGridDlg& grid) {
        GoTo(grid, 0, 0);
        Press(grid, Qt::Key_F, Qt::ControlModifier);
        QTest::keyClicks(grid.FindEdit(), "KICK");
        Press(grid, Qt::Key_Return, Qt::NoModifier);
        EXPECT_EQ(grid.View()->currentIndex(), grid.View()->model()->index(1, 0));
        for (QCheckBox* box : grid.findChildren<QCheckBox*>())
            box->setChecked(box->text().remove('&') == "Match case");
        grid.OnFindNext(false);
        EXPECT_EQ(grid.FindStatus()->text(), "\"KICK\" was not found.");
        EXPECT_EQ(grid.View()->currentIndex(), grid.View()->model()->index(1, 0));
    });
}

// Column widths set in a grid come back the next time that table's grid opens.
TEST_F(TableGridTest, ColumnWidthsAreKeptPerTable) {
    auto dlg = WindowWithTables();
    InSkillsGrid(*dlg, [](CTableGridDlg& grid) { grid.View()->setColumnWidth(1, 173); });
    EXPECT_EQ(CProfileFile::ReadString(dlg->SettingsPath(), "Grid", "Skills.txt", ""), ",173");
    int width = 0;
    InSkillsGrid(*dlg, [&](CTableGridDlg& grid) { width = grid.View()->columnWidth(1); });
    EXPECT_EQ(width, 173);
}

} // namespace
