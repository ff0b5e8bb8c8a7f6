// Global > Difficulty...: what the dialog offers from the settings file, what OK checks, changes
// and keeps, and that a dialog without its tables never opens.
#include "editors/GlobalSettingsDlg.h"
#include "editors/CellEdit.h"
#include "platform/ProfileFile.h"
#include "table/TxtTable.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"
#include "TempFolder.h"
#include "TestNotes.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

namespace {

using Dlg = CGlobalSettingsDlg;

class GlobalSettingsDlgTest : public ::testing::Test {
protected:
    // Before the fixture, whose dialog needs the application.
    static void SetUpTestSuite() { EnsureQApplication(); }

    void SetUp() override {
        LoadRows(monStats, {{"Class",     "NoMap",     "MinHP",     "MinHP(N)", "MinHP(H)",
                             "MaxHP",     "MaxHP(N)",  "MaxHP(H)",  "Exp",      "Exp(N)",
                             "Exp(H)",    "ToBlock",   "A1MinD",    "A1MaxD",   "A1MinD(N)",
                             "A1MaxD(N)", "A1MinD(H)", "A1MaxD(H)", "MinGrp",   "MaxGrp"},
                            {"a1",  "",   "7", "8", "9", "10", "11", "12", "100", "100",
                             "100", "20", "3", "4", "5", "6",  "7",  "8",  "2",   "4"}});
        LoadRows(items, {{"TreasureClassPercent"}, {"30"}});
        LoadRows(treasure, {{"Treasure Class", "NoDrop"}, {"Act 1", "100"}});
        dialog.m_pMonTable = &monStats;
        dialog.m_pItmTable = &items;
        dialog.m_pTCTable = &treasure;
        dialog.m_strSettingsPath = settings;
        dialog.m_pNotes = &notes;
    }

    // Opens the dialog, types the four amounts (in layout order), sets the boxes, presses OK.
    void Run(const std::array<QString, Dlg::kAmountCount>& amounts,
             const std::array<bool, Dlg::kOptionCount>& options) {
        ASSERT_TRUE(dialog.OnInitDialog());
        for (size_t a = 0; a < Dlg::kAmountCount; ++a)
            dialog.AmountEdit(static_cast<Dlg::Amount>(a))->setText(amounts[a]);
        for (size_t o = 0; o < Dlg::kOptionCount; ++o)
            dialog.OptionBox(static_cast<Dlg::Option>(o))->setChecked(options[o]);
        dialog.OnOK();
    }

    std::string Stored(const char* key) const {
        return CProfileFile::ReadString(settings, "Global", key, "<none>");
    }

    CTempFolder folder;
    std::string settings = folder.File("Tarvane.ini");
    CTxtTable monStats, items, treasure;
    CScriptedPrompts prompts;
    CTestNotes notes;
    CGlobalSettingsDlg dialog{prompts};
};

TEST_F(GlobalSettingsDlgTest, PrefillShowsTheStoredTextsAndTicksOnlyExactOnes) {
    WriteTextFile(settings, "[Global]\r\nHitHarder=007\r\nHealthMultiplier=x2\r\n"
                            "IncreaseXP=1\r\nIncreaseDrops=01\r\nAutoMap=yes\r\n");
    ASSERT_TRUE(dialog.OnInitDialog());
    EXPECT_EQ(dialog.AmountEdit(Dlg::HitHarder)->text(), "007");
    EXPECT_EQ(dialog.AmountEdit(Dlg::HealthMultiplier)->text(), "x2");
    EXPECT_EQ(dialog.AmountEdit(Dlg::BlockBetter)->text(), "0");
    EXPECT_EQ(dialog.AmountEdit(Dlg::LargerGroups)->text(), "0");
    EXPECT_TRUE(dialog.OptionBox(Dlg::IncreaseXP)->isChecked());
    EXPECT_FALSE(dialog.OptionBox(Dlg::IncreaseDrops)->isChecked());
    EXPECT_FALSE(dialog.OptionBox(Dlg::AutoMap)->isChecked());
}

TEST_F(GlobalSettingsDlgTest, OkChecksTheAmountsInOrderAndChangesNothingWhenOneIsWrong) {
    struct Case {
        std::array<QString, Dlg::kAmountCount> amounts; // MH, HH, BB, LG
        const char* message;
    };
    const char* mh = "You cannot specify an MH multiplier of less than 1 or greater than 16";
    const char* bb = "You cannot specify a BB multiplier of less than 0 or greater than 50";
    const char* hh = "You cannot specify an HH multiplier of less than 0 or greater than 100";
    const std::vector<Case> cases = {
        {{"0", "200", "-1", "0"}, mh},       {{"many", "0", "0", "0"}, mh},
        {{"2147483647", "0", "0", "0"}, mh}, {{"2", "200", "-1", "0"}, bb},
        {{"2", "0", "51", "0"}, bb},         {{"2", "200", "0", "0"}, hh},
        {{"2", "-5", "0", "0"}, hh},
    };
    const TableRows before = CellsOf(monStats);
    for (const Case& c : cases) {
        prompts.log.clear();
        dialog.setResult(-1);
        Run(c.amounts, {true, true, true});
        EXPECT_EQ(prompts.Messages(), std::vector<std::string>{c.message}) << c.message;
        EXPECT_EQ(dialog.result(), -1) << "the dialog stays open";
        EXPECT_EQ(CellsOf(monStats), before);
        EXPECT_EQ(Stored("HealthMultiplier"), "<none>");
    }
}

TEST_F(GlobalSettingsDlgTest, OkChangesTheTablesAndStoresTheTextsAsTyped) {
    WriteTextFile(settings, "[Tarvane]\r\nMainWindowGeometry=abc\r\n");
    Run({"3", "050", "10", "-1"}, {true, true, true});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_TRUE(prompts.log.empty());
    EXPECT_EQ(CellsOf(monStats),
              (TableRows{{"Class",     "NoMap",     "MinHP",     "MinHP(N)", "MinHP(H)",
                          "MaxHP",     "MaxHP(N)",  "MaxHP(H)",  "Exp",      "Exp(N)",
                          "Exp(H)",    "ToBlock",   "A1MinD",    "A1MaxD",   "A1MinD(N)",
                          "A1MaxD(N)", "A1MinD(H)", "A1MaxD(H)", "MinGrp",   "MaxGrp"},
                         {"a1",  "1",  "21", "24", "27", "30", "33", "36", "233", "233",
                          "233", "30", "4",  "6",  "7",  "9",  "10", "12", "1",   "3"}}));
    // Without compiled tables the drops rise in MonItemPercent.
    EXPECT_EQ(CellsOf(items), (TableRows{{"TreasureClassPercent"}, {"69"}}));
    EXPECT_EQ(CellsOf(treasure), (TableRows{{"Treasure Class", "NoDrop"}, {"Act 1", "100"}}));
    EXPECT_EQ(Stored("HitHarder"), "050");
    EXPECT_EQ(Stored("HealthMultiplier"), "3");
    EXPECT_EQ(Stored("BlockBetter"), "10");
    EXPECT_EQ(Stored("LargerGroups"), "-1");
    EXPECT_EQ(Stored("IncreaseDrops"), "1");
    EXPECT_EQ(Stored("IncreaseXP"), "1");
    EXPECT_EQ(Stored("AutoMap"), "1");
    EXPECT_EQ(CProfileFile::ReadString(settings, "Tarvane", "MainWindowGeometry", ""), "abc");
    EXPECT_TRUE(notes.lines.empty());

    // With compiled tables the drops rise in TreasureClassEx; unticked boxes are stored as 0
    // and an unticked automap leaves the earlier 1.
    dialog.m_bBinTables = true;
    Run({"2", "0", "0", "0"}, {false, true, false});
    EXPECT_EQ(monStats.GetCell(1, 1), "1");
    EXPECT_EQ(monStats.GetCell(2, 1), "42");
    EXPECT_EQ(monStats.GetCell(8, 1), "233");
    EXPECT_EQ(CellsOf(items), (TableRows{{"TreasureClassPercent"}, {"69"}}));
    EXPECT_EQ(CellsOf(treasure), (TableRows{{"Treasure Class", "NoDrop"}, {"Act 1", "60"}}));
    EXPECT_EQ(Stored("AutoMap"), "0");
    EXPECT_EQ(Stored("IncreaseXP"), "0");

    // A multiplier of 1 raises neither experience nor drops, whatever the boxes say.
    const TableRows monsters = CellsOf(monStats);
    Run({"1", "0", "0", "0"}, {true, true, false});
    EXPECT_EQ(CellsOf(monStats), monsters);
    EXPECT_EQ(CellsOf(treasure), (TableRows{{"Treasure Class", "NoDrop"}, {"Act 1", "60"}}));
}

TEST_F(GlobalSettingsDlgTest, OkAsksBeforeApplyingTheValuesAppliedLastAgain) {
    const char* question = "These settings were applied before; applying them again multiplies "
                           "the tables again. Apply them again?";
    Run({"2", "0", "0", "0"}, {false, false, false});
    EXPECT_EQ(monStats.GetCell(2, 1), "14");
    // Opened again and OK pressed as it opens: No changes nothing and keeps the dialog open.
    dialog.setResult(-1);
    prompts.AnswerYesNo(false);
    ASSERT_TRUE(dialog.OnInitDialog());
    dialog.OnOK();
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::YesNo),
              std::vector<std::string>{question});
    EXPECT_EQ(monStats.GetCell(2, 1), "14");
    EXPECT_EQ(dialog.result(), -1);
    // Yes multiplies again; other values are not asked about.
    prompts.AnswerYesNo(true);
    dialog.OnOK();
    EXPECT_EQ(monStats.GetCell(2, 1), "28");
    Run({"3", "0", "0", "0"}, {false, false, false});
    EXPECT_EQ(monStats.GetCell(2, 1), "84");
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::YesNo).size(), 2u);
    EXPECT_TRUE(prompts.AllAnswersUsed());
}

TEST_F(GlobalSettingsDlgTest, ASettingsFileThatCannotBeWrittenIsNotedAndTheChangeStays) {
    dialog.m_strSettingsPath = folder.File("missing/Tarvane.ini");
    Run({"2", "0", "0", "0"}, {false, false, false});
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(monStats.GetCell(2, 1), "14");
    ASSERT_EQ(notes.lines.size(), 1u);
    EXPECT_NE(notes.lines[0].find("Tarvane.ini could not be written"), std::string::npos)
        << notes.lines[0];
}

TEST_F(GlobalSettingsDlgTest, ArrowsStepWithinTheRange) {
    ASSERT_TRUE(dialog.OnInitDialog());
    CCellEdit* health = dialog.AmountEdit(Dlg::HealthMultiplier);
    health->setText("16");
    for (int key : {Qt::Key_Up, Qt::Key_Down}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(health, &press);
    }
    EXPECT_EQ(health->text(), "15");
    dialog.AmountEdit(Dlg::BlockBetter)->setText("007");
    for (QToolButton* arrow : dialog.findChildren<QToolButton*>())
        if (arrow->accessibleName() == "Monsters block better up")
            arrow->click();
    EXPECT_EQ(dialog.AmountEdit(Dlg::BlockBetter)->text(), "8");
}

TEST_F(GlobalSettingsDlgTest, AMissingTableEndsTheDialogAtOnceWithItsMessage) {
    struct Case {
        CTxtTable* Dlg::*member;
        const char* message;
    };
    for (const Case& c : {Case{&Dlg::m_pMonTable, "Programming error, MonTable pointer is NULL."},
                          Case{&Dlg::m_pItmTable, "Programming error, ItmTable pointer is NULL."},
                          Case{&Dlg::m_pTCTable, "Programming error, TCTable pointer is NULL."}}) {
        CGlobalSettingsDlg missing(prompts);
        missing.m_pMonTable = &monStats;
        missing.m_pItmTable = &items;
        missing.m_pTCTable = &treasure;
        missing.*c.member = nullptr;
        prompts.log.clear();
        // Had the dialog gone modal, this would note it and end it.
        bool wentModal = false;
        QTimer::singleShot(0, &missing, [&wentModal] {
            if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                wentModal = true;
                open->reject();
            }
        });
        EXPECT_EQ(missing.exec(), 0);
        EXPECT_FALSE(wentModal);
        EXPECT_EQ(prompts.Messages(), std::vector<std::string>{c.message});
    }
}

} // namespace
