// Global > Resistances and Penalties...: the 24 values shown from the difficulty table and
// written back as typed.
#include "editors/DifficultyDlg.h"
#include "editors/CellEdit.h"
#include "editors/ModFuncs.h"
#include "table/TxtTable.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"

#include <QApplication>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

CCellEdit* EditNamed(CDifficultyDlg& dialog, const QString& name) {
    for (CCellEdit* edit : dialog.findChildren<CCellEdit*>())
        if (edit->accessibleName() == name)
            return edit;
    return nullptr;
}

class DifficultyDlgTest : public ::testing::Test {
protected:
    // Before the fixture, whose dialog needs the application.
    static void SetUpTestSuite() { EnsureQApplication(); }

    void SetUp() override {
        dialog.m_pDiffTable = &table;
        dialog.m_pFuncs = &funcs;
    }

    CTxtTable table;
    CModFuncs funcs;
    CScriptedPrompts prompts;
    CDifficultyDlg dialog{prompts};
};

TEST_F(DifficultyDlgTest, OkWithoutChangesWritesEveryCellBackUnchanged) {
    const TableRows rows = {
        {"Name", "ResistPenalty", "DEATHEXPPENALTY", "MonsterSkillBonus", "MonsterFreezeDivisor",
         "MonsterColdDivisor", "AiCurseDivisor", "LifeStealDivisor", "ManaStealDivisor", "Other"},
        {"Normal", "0", "5", "0", "1", "1", "1", "1", "1", "x"},
        {"Nightmare", "-40", "10", "three", "2", "2", "2", "2", "2", "y"},
        {"Hell", "-100", "", "7", "4", "4", "2", "3", "3", "\xe9t\xe9"},
        {"Beyond", "1", "1", "1", "1", "1", "1", "1", "1", "z"},
    };
    LoadRows(table, rows);
    ASSERT_TRUE(dialog.OnInitDialog());
    // Each value sits in its caption's row, under its difficulty.
    const std::vector<std::pair<QString, QString>> shown = {
        {"Resistances penalty (Nightmare)", "-40"}, {"Experience lost on death (Normal)", "5"},
        {"Experience lost on death (Hell)", ""},    {"Skill bonus (Nightmare)", "three"},
        {"Cold duration divided by (Hell)", "4"},   {"Curse duration divided by (Hell)", "2"},
        {"Life Steal divided by (Hell)", "3"},      {"Mana Steal divided by (Normal)", "1"},
    };
    for (const auto& [name, text] : shown) {
        CCellEdit* edit = EditNamed(dialog, name);
        ASSERT_NE(edit, nullptr) << name.toStdString();
        EXPECT_EQ(edit->text(), text) << name.toStdString();
    }
    dialog.OnOK();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(CellsOf(table), rows);
}

TEST_F(DifficultyDlgTest, OkWritesWhatWasTypedAndAnEmptiedEditEmptiesItsCell) {
    LoadRows(table,
             {{"ResistPenalty", "LifeStealDivisor"}, {"0", "1"}, {"-40", "2"}, {"-100", "3"}});
    ASSERT_TRUE(dialog.OnInitDialog());
    EditNamed(dialog, "Resistances penalty (Hell)")->setText("");
    EditNamed(dialog, "Life Steal divided by (Normal)")->setText("half");
    // A column the table lacks shows empty and is not written.
    EditNamed(dialog, "Skill bonus (Normal)")->setText("9");
    dialog.OnOK();
    EXPECT_EQ(
        CellsOf(table),
        (TableRows{{"ResistPenalty", "LifeStealDivisor"}, {"0", "half"}, {"-40", "2"}, {"", "3"}}));
}

TEST_F(DifficultyDlgTest, AMissingTableEndsTheDialogAtOnce) {
    dialog.m_pDiffTable = nullptr;
    // Had the dialog gone modal, this would note it and end it.
    bool wentModal = false;
    QTimer::singleShot(0, &dialog, [&wentModal] {
        if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            wentModal = true;
            open->reject();
        }
    });
    EXPECT_EQ(dialog.exec(), 0);
    EXPECT_FALSE(wentModal);
    EXPECT_EQ(prompts.Messages(),
              std::vector<std::string>{"Programming error, m_pDiffTable is NULL."});
}

} // namespace
