#include "editors/MonsterEditorDlg.h"
#include "editors/ModFuncs.h"
#include "platform/ProfileFile.h"
#include "table/TxtTable.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"
#include "TempFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>
#include <utility>

#include "MonsterEditorFixture.h"

namespace {

TEST_F(MonsterEditorTest, ShowsEveryCaptionInOrderWithTheUnusedBoxHidden) {
    MonsterTable().Add("a1", "Alpha").LoadInto(table);
    auto dlg = Open();
    dlg->show();
    EXPECT_EQ(dlg->windowTitle(), "Monster Editor");
    EXPECT_EQ(dlg->MonsterList()->accessibleName(), "Monster List");

    // The filter field above the list, then the edits in reading order, each with its caption
    // and with the table column it edits as its tooltip.
    QStringList names;
    for (QLineEdit* edit : dlg->findChildren<QLineEdit*>())
        names << edit->accessibleName();
    QStringList expected{"Monster List filter"};
    for (const auto& field : FieldColumns())
        expected << QString::fromStdString(field.first);
    ASSERT_EQ(names, expected);
    QLineEdit* filter = Edit(*dlg, "Monster List filter");
    EXPECT_LT(filter->mapTo(dlg.get(), QPoint(0, 0)).y(),
              dlg->MonsterList()->mapTo(dlg.get(), QPoint(0, 0)).y());
    for (const auto& [name, header] : FieldColumns())
        EXPECT_EQ(Edit(*dlg, name)->toolTip().toStdString(), header);

    // The grid reads left to right in a line and top to bottom between lines.
    for (size_t i = 4; i < FieldColumns().size(); i += 3) {
        QLineEdit* normal = Edit(*dlg, FieldColumns()[i].first);
        QLineEdit* hell = Edit(*dlg, FieldColumns()[i + 2].first);
        EXPECT_EQ(normal->y(), hell->y());
        EXPECT_LT(normal->x(), hell->x());
        if (i > 4) {
            EXPECT_GT(normal->y(), Edit(*dlg, FieldColumns()[i - 3].first)->y());
        }
    }

    QStringList labels;
    for (QLabel* label : dlg->findChildren<QLabel*>())
        labels << label->text();
    for (const char* caption : {"Monster List", "Spawned", "Blocking %", "Appears in groups of",
                                "Minimum", "Maximum", "Normal", "Nightmare", "Hell",
                                "Experience Value", "Min Damage attack 2", "Resist poison"})
        EXPECT_TRUE(labels.contains(caption)) << caption;

    auto boxes = dlg->findChildren<QCheckBox*>();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_EQ(boxes[0]->text(), "Monster is unused");
    EXPECT_FALSE(boxes[0]->isVisible());
    QStringList buttons;
    for (QPushButton* button : dlg->findChildren<QPushButton*>())
        buttons << button->text();
    EXPECT_EQ(buttons, (QStringList{"OK", "Cancel", "Apply", "All Columns..."}));
}

TEST_F(MonsterEditorTest, ListsSortedMonstersUpToTheExpansionRowUnlessTheFlagIsSet) {
    MonsterTable()
        .Add("z1", "Zed")
        .Add("n1", "Null")
        .Add("n2", "NULL")
        .Add("unused", "Old Sentry")
        .Add("Unused", "Lost Pilgrim")
        .Add("dummy", "Dummy One")
        .Add("DUMMY", "Dummy Two")
        .Add("", "No Class")
        .Add("noname", "")
        .Add("t1", "twin")
        .Add("t2", "Twin")
        .Add("b1", "beta")
        .Add("a1", "Alpha")
        .Add("e1", "\xC9lan")
        .Add("Expansion", "Expansion")
        .Add("y1", "Yeti")
        .Add("a2", "abominable")
        .LoadInto(table);

    auto dlg = Open(false);
    // Case-insensitive order, ties in table order; bytes above 127 after the letters.
    EXPECT_EQ(Listed(*dlg), (QStringList{"Alpha", "beta", "Lost Pilgrim", "NULL", "twin", "Twin",
                                         "Zed", QString::fromLatin1("\xC9lan")}));
    EXPECT_EQ(dlg->MonsterList()->currentRow(), 0);
    ExpectShows(*dlg, 13);

    // Opening again with the flag set rebuilds the list with the expansion's monsters.
    dlg->m_bExpansion = true;
    ASSERT_TRUE(dlg->OnInitDialog());
    EXPECT_EQ(Listed(*dlg),
              (QStringList{"abominable", "Alpha", "beta", "Lost Pilgrim", "NULL", "twin", "Twin",
                           "Yeti", "Zed", QString::fromLatin1("\xC9lan")}));
    ExpectShows(*dlg, 17);
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(MonsterEditorTest, ApplyWritesEveryFieldToItsColumnAndKeepsTheClass) {
    MonsterTable().Add("a1", "Alpha").Add("gravewight1", "Gravewight").LoadInto(table);
    TableRows expected = CellsOf(table);
    auto dlg = Open();
    Select(*dlg, "Gravewight");
    EXPECT_FALSE(dlg->findChild<QCheckBox*>()->isChecked());

    int n = 0;
    for (const auto& [name, header] : FieldColumns()) {
        std::string typed = n == 7 ? "" : std::to_string(50000 + n); // one emptied edit
        Edit(*dlg, name)->setText(QString::fromStdString(typed));
        expected[2][static_cast<size_t>(table.FindColumn(header, 0))] = typed;
        ++n;
    }
    dlg->OnApply();
    // The class stays the game's key, not the listed name.
    EXPECT_EQ(Cell(table, "Class", 2), "gravewight1");
    EXPECT_EQ(CellsOf(table), expected);

    // The fields are not reread: what stands in them is what was written.
    ExpectShows(*dlg, 2);
    EXPECT_TRUE(prompts.log.empty());

    // Saved and read again, each damage row's value stands in the column its caption names.
    CTempFolder folder;
    ASSERT_TRUE(table.Save(folder.File("monstats.txt")));
    CTxtTable saved;
    ASSERT_TRUE(saved.Load(folder.File("monstats.txt")));
    EXPECT_EQ(Cell(saved, "A1MaxD", 2), "50022");    // Max Damage attack 1 (Normal)
    EXPECT_EQ(Cell(saved, "A2MinD(H)", 2), "50030"); // Min Damage attack 2 (Hell)
}

TEST_F(MonsterEditorTest, ACellThatRefusesItsTextStopsTheApplyWithAMessage) {
    MonsterTable().Add("a1", "Alpha").Set("MaxHP", "12\r").Set("AC", "7\r").LoadInto(table);
    auto dlg = Open();
    // A stray CR the user leaves alone stops nothing.
    Edit(*dlg, "Experience Value (Normal)")->setText("99");
    dlg->OnApply();
    EXPECT_EQ(Cell(table, "Exp", 1), "99");
    EXPECT_EQ(Cell(table, "AC", 1), "7\r");
    EXPECT_TRUE(prompts.log.empty());

    // Typed beside one, it cannot go in: nothing is written and the fields keep the typing,
    // through Apply and through OK's "Yes".
    const TableRows before = CellsOf(table);
    QLineEdit* maxHp = Edit(*dlg, "Base max health (Normal)");
    maxHp->setText(maxHp->text() + "5");
    Edit(*dlg, "Base min health (Normal)")->setText("3");
    prompts.AnswerThreeWay(CUserPrompts::Answer::First);
    dlg->setResult(-1);
    dlg->OnApply();
    dlg->OnOK();
    const std::string refused = "Nothing was applied: the text for MaxHP, row 1 holds a tab or a "
                                "line break that came with the cell, which a table cell cannot "
                                "keep. Retype that field and apply again.";
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{refused, refused}));
    EXPECT_EQ(CellsOf(table), before);
    EXPECT_EQ(maxHp->text(), "12\r5");
    EXPECT_EQ(Edit(*dlg, "Base min health (Normal)")->text(), "3");
    EXPECT_EQ(dlg->result(), -1);
}

TEST_F(MonsterEditorTest, UnusedClassSetsTheHiddenBoxAndApplyRetiresTheMonster) {
    MonsterTable().Add("UnUsed", "Lost Pilgrim").Add("p1", "Pit Ghoul").LoadInto(table);
    auto dlg = Open();
    dlg->show();
    auto* box = dlg->findChild<QCheckBox*>();
    ASSERT_EQ(dlg->MonsterList()->currentItem()->text(), "Lost Pilgrim");
    EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(box->isVisible());

    Select(*dlg, "Pit Ghoul");
    EXPECT_FALSE(box->isChecked());
    Select(*dlg, "Lost Pilgrim");
    dlg->OnApply();
    EXPECT_EQ(Cell(table, "Class", 1), "unused");
    EXPECT_EQ(Cell(table, "Class", 2), "p1");

    ASSERT_TRUE(dlg->OnInitDialog());
    EXPECT_EQ(Listed(*dlg), QStringList{"Pit Ghoul"});
}

TEST_F(MonsterEditorTest, OddCellsGoBackByteForByteAndTypingKeepsToDigits) {
    MonsterTable()
        .Add("a1", "Alpha")
        .Set("MinHP(N)", "-5")
        .Set("Exp", "2.5")
        .Set("Spawned", "\xE9t\xE9\xFF")
        .LoadInto(table);
    TableRows expected = CellsOf(table);
    auto dlg = Open();
    EXPECT_EQ(Edit(*dlg, "Base min health (Nightmare)")->text(), "-5");
    EXPECT_EQ(Edit(*dlg, "Spawned")->text(), QString::fromLatin1("\xE9t\xE9\xFF"));
    dlg->OnApply();
    EXPECT_EQ(CellsOf(table), expected);

    // Typed characters other than digits are dropped; the shown "-5" stays editable.
    QLineEdit* edit = Edit(*dlg, "Base min health (Nightmare)");
    edit->end(false);
    for (auto [key, text] : {std::pair{Qt::Key_1, "1"},
                             {Qt::Key_A, "a"},
                             {Qt::Key_Minus, "-"},
                             {Qt::Key_Period, "."},
                             {Qt::Key_Space, " "},
                             {Qt::Key_2, "2"},
                             {Qt::Key_Backspace, "\b"}}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
        QApplication::sendEvent(edit, &press);
    }
    EXPECT_EQ(edit->text(), "-51");
    dlg->OnApply();
    expected[1][static_cast<size_t>(table.FindColumn("MinHP(N)", 0))] = "-51";
    EXPECT_EQ(CellsOf(table), expected);
}

TEST_F(MonsterEditorTest, SameNamedMonstersEachShowAndWriteTheirOwnRow) {
    MonsterTable()
        .Add("unused", "ghoul") // not listed, and found first by a name search
        .Add("twin1", "Twin")
        .Add("g1", "Ghoul")
        .Add("twin2", "Twin")
        .LoadInto(table);
    auto dlg = Open();
    ASSERT_EQ(Listed(*dlg), (QStringList{"Ghoul", "Twin (twin1)", "Twin (twin2)"}));
    ExpectShows(*dlg, 3);
    Select(*dlg, "Twin (twin1)");
    ExpectShows(*dlg, 2);
    Select(*dlg, "Twin (twin2)");
    ExpectShows(*dlg, 4);

    TableRows expected = CellsOf(table);
    Edit(*dlg, "Spawned")->setText("42");
    dlg->OnApply();
    expected[4][static_cast<size_t>(table.FindColumn("Spawned", 0))] = "42";
    EXPECT_EQ(CellsOf(table), expected);

    Select(*dlg, "Ghoul");
    Edit(*dlg, "Spawned")->setText("43");
    dlg->OnApply();
    expected[3][static_cast<size_t>(table.FindColumn("Spawned", 0))] = "43";
    EXPECT_EQ(CellsOf(table), expected);
}

TEST_F(MonsterEditorTest, MissingColumnsAndAnEmptyListWriteNothing) {
    LoadRows(table, {{"Class", "namco", "MinHP", "Spawned"}, {"a1", "Alpha", "10", "1"}});
    auto dlg = Open();
    EXPECT_EQ(Edit(*dlg, "Base min health (Normal)")->text(), "10");
    EXPECT_EQ(Edit(*dlg, "Base min health (Hell)")->text(), "");
    Edit(*dlg, "Base min health (Hell)")->setText("99");
    Edit(*dlg, "Base min health (Normal)")->setText("11");
    dlg->OnApply();
    EXPECT_EQ(CellsOf(table),
              (TableRows{{"Class", "namco", "MinHP", "Spawned"}, {"a1", "Alpha", "11", "1"}}));

    // No listable monster: nothing selected, the fields emptied, Apply does nothing.
    LoadRows(table, {{"Class", "namco", "MinHP"}, {"dummy", "Alpha", "10"}});
    ASSERT_TRUE(dlg->OnInitDialog());
    EXPECT_EQ(dlg->MonsterList()->count(), 0);
    EXPECT_EQ(dlg->MonsterList()->currentItem(), nullptr);
    EXPECT_EQ(Edit(*dlg, "Base min health (Normal)")->text(), "");
    Edit(*dlg, "Base min health (Normal)")->setText("12");
    dlg->OnApply();
    EXPECT_EQ(Cell(table, "MinHP", 1), "10");
}

TEST_F(MonsterEditorTest, MissingInputsAreReportedAndEndTheRunAtOnceWithResultZero) {
    MonsterTable().Add("a1", "Alpha").LoadInto(table);
    struct Case {
        bool withTable;
        bool withFuncs;
        const char* message;
    };
    for (const Case& c : {Case{false, true, "Programming error, m_pMonTable is null."},
                          Case{true, false, "Programming error, m_pFuncs is null."},
                          Case{false, false, "Programming error, m_pMonTable is null."}}) {
        CScriptedPrompts local;
        CMonsterEditorDlg dlg(local);
        dlg.m_pMonTable = c.withTable ? &table : nullptr;
        dlg.m_pFuncs = c.withFuncs ? &funcs : nullptr;
        // Had the dialog gone modal, this would close it with OK.
        QTimer::singleShot(0, &dlg, [&dlg] { dlg.accept(); });
        EXPECT_EQ(dlg.exec(), 0);
        EXPECT_EQ(dlg.result(), 0);
        EXPECT_FALSE(dlg.isVisible());
        EXPECT_EQ(local.Messages(), std::vector<std::string>{c.message});
        EXPECT_EQ(dlg.MonsterList()->count(), 0);
    }
}

TEST_F(MonsterEditorTest, PastedLineBreaksAndTabsNeverReachTheTableAndLongCellsStayWhole) {
    const std::string longCell(40000, '7'); // past the edits' usual limit of 32,767
    MonsterTable().Add("a1", "Alpha").Set("MinHP", longCell).Set("MaxHP", longCell).LoadInto(table);
    TableRows expected = CellsOf(table);
    auto dlg = Open();
    auto column = [this](const char* header) {
        return static_cast<size_t>(table.FindColumn(header, 0));
    };

    // One cell copied from a spreadsheet comes with its line end; two come with a tab.
    QLineEdit* spawned = Edit(*dlg, "Spawned");
    spawned->selectAll();
    QApplication::clipboard()->setText("123\n");
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier);
    QApplication::sendEvent(spawned, &paste);
    QLineEdit* minimum = Edit(*dlg, "Minimum");
    minimum->clear();
    QApplication::clipboard()->setText("1\t2");
    minimum->paste();
    QLineEdit* maximum = Edit(*dlg, "Maximum");
    maximum->clear();
    QApplication::clipboard()->setText("9\r\n");
    maximum->paste();
    // A long cell the user extends goes back whole, with the typed digit.
    QLineEdit* maxHealth = Edit(*dlg, "Base max health (Normal)");
    maxHealth->end(false);
    QKeyEvent one(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, "1");
    QApplication::sendEvent(maxHealth, &one);
    dlg->OnApply();

    expected[1][column("Spawned")] = "123";
    expected[1][column("MinGrp")] = "12";
    expected[1][column("MaxGrp")] = "9";
    expected[1][column("MaxHP")] = longCell + "1";
    EXPECT_EQ(CellsOf(table), expected); // the long MinHP cell, left alone, is unchanged

    // Saved and read again, the table has its rows and columns, every line its tabs.
    CTempFolder folder;
    ASSERT_TRUE(table.Save(folder.File("monstats.txt")));
    const std::string saved = ReadTextFile(folder.File("monstats.txt"));
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 2);
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\t'), 2 * (table.Columns() - 1));
    CTxtTable again;
    ASSERT_TRUE(again.Load(folder.File("monstats.txt")));
    EXPECT_EQ(CellsOf(again), expected);
    EXPECT_TRUE(prompts.log.empty());
}

} // namespace
