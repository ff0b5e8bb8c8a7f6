#include "editors/ModFuncs.h"
#include "editors/MonsterEditorDlg.h"
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

TEST_F(MonsterEditorTest, UnappliedChangesAreOfferedBeforeOkOrAnotherEntryDropsThem) {
    using Answer = CUserPrompts::Answer;
    enum class Leave { OkButton, EnterKey, OtherEntry };
    const char* const question = "Apply your changes to Alpha? [Yes/No/Cancel]";
    for (Leave leave : {Leave::OkButton, Leave::EnterKey, Leave::OtherEntry}) {
        for (Answer answer : {Answer::First, Answer::Second, Answer::Cancel}) {
            SCOPED_TRACE(testing::Message() << "way " << static_cast<int>(leave) << ", answer "
                                            << static_cast<int>(answer));
            MonsterTable().Add("a1", "Alpha").Add("b1", "Beta").LoadInto(table);
            TableRows expected = CellsOf(table);
            CScriptedPrompts local;
            CMonsterEditorDlg dlg(local);
            dlg.m_pMonTable = &table;
            dlg.m_pFuncs = &funcs;
            ASSERT_TRUE(dlg.OnInitDialog());
            dlg.show();

            // The user types a digit after the shown health.
            QLineEdit* health = Edit(dlg, "Base min health (Hell)");
            const QString typed = health->text() + "7";
            health->end(false);
            QKeyEvent seven(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, "7");
            QApplication::sendEvent(health, &seven);
            ASSERT_EQ(health->text(), typed);

            local.AnswerThreeWay(answer);
            if (leave == Leave::OkButton) {
                Button(dlg, "OK")->click();
            } else if (leave == Leave::EnterKey) {
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QApplication::sendEvent(health, &enter);
            } else {
                Select(dlg, "Beta");
                QApplication::processEvents();
            }
            EXPECT_EQ(local.TextsOf(CScriptedPrompts::Entry::Kind::ThreeWay),
                      std::vector<std::string>{question});

            if (answer == Answer::First)
                expected[1][static_cast<size_t>(table.FindColumn("MinHP(H)", 0))] =
                    typed.toStdString();
            EXPECT_EQ(CellsOf(table), expected);
            if (answer == Answer::Cancel) {
                // The user stays where they were, with what they typed.
                EXPECT_TRUE(dlg.isVisible());
                EXPECT_EQ(dlg.MonsterList()->currentItem()->text(), "Alpha");
                EXPECT_EQ(health->text(), typed);
            } else if (leave == Leave::OtherEntry) {
                EXPECT_EQ(dlg.MonsterList()->currentItem()->text(), "Beta");
                ExpectShows(dlg, 2);
            } else {
                EXPECT_FALSE(dlg.isVisible());
                EXPECT_EQ(dlg.result(), QDialog::Accepted);
            }
        }
    }

    // Nothing to ask: text the program showed, a change typed and taken back, an applied
    // change; Cancel of the dialog discards without asking.
    MonsterTable().Add("a1", "Alpha").Add("b1", "Beta").LoadInto(table);
    const TableRows before = CellsOf(table);
    auto dlg = Open();
    dlg->show();
    Select(*dlg, "Beta");
    QLineEdit* spawned = Edit(*dlg, "Spawned");
    const QString shown = spawned->text();
    spawned->setText("1");
    spawned->setText(shown);
    Select(*dlg, "Alpha");
    QApplication::processEvents();
    ExpectShows(*dlg, 1);
    Edit(*dlg, "Spawned")->setText("12");
    dlg->OnApply();
    dlg->OnOK();
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    auto again = Open();
    again->show();
    Edit(*again, "Spawned")->setText("13");
    again->OnCancel();
    EXPECT_EQ(again->result(), QDialog::Rejected);
    EXPECT_EQ(Cell(table, "Spawned", 1), "12");
    EXPECT_EQ(Cell(table, "Spawned", 2),
              before[2][static_cast<size_t>(table.FindColumn("Spawned", 0))]);
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(MonsterEditorTest, FilterNarrowsTheListAndSameNamedEntriesStayApart) {
    MonsterTable()
        .Add("twin1", "Twin")
        .Add("g1", "Ghoul")
        .Add("twin2", "Twin")
        .Add("e1", "\xC9lan")
        .Add("o1", "Outwit")
        .LoadInto(table);
    auto dlg = Open();
    QLineEdit* filter = Edit(*dlg, "Monster List filter");
    auto visible = [&dlg] {
        QStringList shown;
        for (int i = 0; i < dlg->MonsterList()->count(); ++i)
            if (!dlg->MonsterList()->item(i)->isHidden())
                shown << dlg->MonsterList()->item(i)->text();
        return shown;
    };
    // ASCII letters match in either case, other characters only as they are.
    const struct {
        const char* filter;
        QStringList listed;
    } cases[] = {
        {"tW", {"Outwit", "Twin (twin1)", "Twin (twin2)"}},
        {"TWIN", {"Twin (twin1)", "Twin (twin2)"}},
        {"\xE9", {}},
        {"\xC9", {QString::fromLatin1("\xC9lan")}},
        {"", {"Ghoul", "Outwit", "Twin (twin1)", "Twin (twin2)", QString::fromLatin1("\xC9lan")}},
    };
    for (const auto& c : cases) {
        filter->setText(QString::fromLatin1(c.filter));
        EXPECT_EQ(visible(), c.listed) << c.filter;
    }

    // The two Twins tell their keys and rows, and each shows its own row.
    filter->setText("twin");
    Select(*dlg, "Twin (twin1)");
    const QString first = dlg->MonsterList()->currentItem()->toolTip();
    ExpectShows(*dlg, 1);
    Select(*dlg, "Twin (twin2)");
    ExpectShows(*dlg, 3);
    EXPECT_EQ(first, "twin1, row 1");
    EXPECT_EQ(dlg->MonsterList()->currentItem()->toolTip(), "twin2, row 3");

    // Filtering the shown entry away applies its change as the user says, then shows the entry
    // left.
    Edit(*dlg, "Spawned")->setText("42");
    prompts.AnswerThreeWay(CUserPrompts::Answer::First);
    filter->setText("ghoul");
    QApplication::processEvents();
    EXPECT_EQ(visible(), QStringList{"Ghoul"});
    EXPECT_EQ(Cell(table, "Spawned", 3), "42");
    EXPECT_EQ(Cell(table, "Class", 3), "twin2");
    ExpectShows(*dlg, 2);
}

TEST_F(MonsterEditorTest, SizePlaceAndSelectionAreRememberedInTheSettingsFile) {
    MonsterTable().Add("a1", "Alpha").Add("b1", "Beta").Add("c1", "Gamma").LoadInto(table);
    CTempFolder folder;
    const std::string settings = folder.File("Tarvane.ini");
    WriteTextFile(settings, "[Diablo II]\r\nFolder=C:\\Game\r\n");
    auto run = [&](const QString& select, bool ok) {
        auto dlg = std::make_unique<CMonsterEditorDlg>(prompts);
        dlg->m_pMonTable = &table;
        dlg->m_pFuncs = &funcs;
        dlg->m_strSettingsPath = settings;
        EXPECT_TRUE(dlg->OnInitDialog());
        dlg->show();
        const QString opened = dlg->MonsterList()->currentItem()->text();
        const QRect geometry(dlg->pos(), dlg->size());
        if (!select.isEmpty())
            Select(*dlg, select);
        dlg->resize(520 + dlg->MonsterList()->currentRow(), 430);
        dlg->move(40, 30);
        if (ok)
            dlg->OnOK();
        else
            dlg->OnCancel();
        return std::pair{opened, geometry};
    };

    run("Beta", true);
    EXPECT_EQ(CProfileFile::ReadString(settings, "Tarvane", "MonsterEditorSelected", ""), "b1");
    EXPECT_NE(CProfileFile::ReadString(settings, "Tarvane", "MonsterEditorGeometry", ""), "");
    // The next run opens where the last one closed, on the same monster, Cancel or not.
    auto [opened, geometry] = run("Gamma", false);
    EXPECT_EQ(opened, "Beta");
    EXPECT_EQ(geometry, QRect(40, 30, 521, 430));
    std::tie(opened, geometry) = run("", true);
    EXPECT_EQ(opened, "Gamma");
    EXPECT_EQ(geometry, QRect(40, 30, 522, 430));
    // The settings file keeps what else it held.
    EXPECT_EQ(CProfileFile::ReadString(settings, "Diablo II", "Folder", ""), "C:\\Game");

    // Without a settings path nothing is read or written.
    const std::string kept = ReadTextFile(settings);
    auto dlg = Open();
    EXPECT_EQ(dlg->MonsterList()->currentItem()->text(), "Alpha");
    dlg->show();
    dlg->OnOK();
    EXPECT_EQ(ReadTextFile(settings), kept);
}

TEST_F(MonsterEditorTest, FitsASmallScreenWithItsButtonsInView) {
    MonsterTable().Add("a1", "Alpha").LoadInto(table);
    auto dlg = Open();
    // Letters this big make the fields taller than the screen, as 2x scaling does on a screen
    // 1024 pixels high.
    const QRect screen = dlg->screen()->availableGeometry();
    QFont font = dlg->font();
    font.setPixelSize(std::max(12, screen.height() / 18));
    dlg->setFont(font);
    dlg->show();
    QLineEdit* last = Edit(*dlg, "Resist poison (Hell)");
    ASSERT_GT(last->parentWidget()->sizeHint().height(), screen.height());
    EXPECT_LE(dlg->frameGeometry().height(), screen.height());
    EXPECT_LE(dlg->frameGeometry().width(), screen.width());
    for (const char* caption : {"OK", "Cancel", "Apply"}) {
        QPushButton* button = Button(*dlg, caption);
        EXPECT_TRUE(button->isVisible()) << caption;
        EXPECT_TRUE(
            dlg->rect().contains(QRect(button->mapTo(dlg.get(), QPoint(0, 0)), button->size())))
            << caption;
    }
    // The fields scroll into view.
    auto* scroll = dlg->findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    scroll->ensureWidgetVisible(last);
    EXPECT_TRUE(scroll->viewport()->rect().contains(
        QRect(last->mapTo(scroll->viewport(), QPoint(0, 0)), last->size())));
}

} // namespace
