// Global > Difficulty... on the monster table of Diablo II 1.10–1.14d: no automap column there,
// a block chance per difficulty, and the other columns under names that differ only in case.
#include "app/EditorCommand.h"
#include "data/GameDataSet.h"
#include "editors/CellEdit.h"
#include "editors/GlobalSettingsDlg.h"
#include "editors/ModFuncs.h"
#include "platform/ProfileFile.h"
#include "table/TxtTable.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"
#include "TempFolder.h"
#include "TestNotes.h"

#include <QCheckBox>
#include <QLabel>

#include <gtest/gtest.h>

namespace {

using Dlg = CGlobalSettingsDlg;

// A newer monster table; "NoMap" stands for a column of that name a mod might have added.
const TableRows kNewerMonsters = {
    {"Id", "NameStr", "A1TH", "NoMap", "minHP", "MinHP(N)", "MinHP(H)", "maxHP", "MaxHP(N)",
     "MaxHP(H)", "ToBlock", "ToBlock(N)", "ToBlock(H)"},
    {"zombie", "Zombie", "5", "0", "10", "20", "30", "-4", "50", "x", "20", "60", "72"}};

class GlobalSettingsLayoutsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { EnsureQApplication(); }

    void SetUp() override {
        LoadRows(monStats, kNewerMonsters);
        LoadRows(items, {{"TreasureClassPercent"}, {"30"}});
        LoadRows(treasure, {{"Treasure Class", "NoDrop"}, {"Act 1", "100"}});
        dialog.m_pMonTable = &monStats;
        dialog.m_pItmTable = &items;
        dialog.m_pTCTable = &treasure;
        dialog.m_strSettingsPath = settings;
        dialog.m_layout = TableLayout::V110;
    }

    CTempFolder folder;
    std::string settings = folder.File("Tarvane.ini");
    CTxtTable monStats, items, treasure;
    CScriptedPrompts prompts;
    CGlobalSettingsDlg dialog{prompts};
};

TEST_F(GlobalSettingsLayoutsTest, AutomapIsOffWithANoteAndItsStoredValueStays) {
    for (const char* stored : {"1", "yes"}) {
        WriteTextFile(settings, std::string("[Global]\r\nAutoMap=") + stored + "\r\n");
        ASSERT_TRUE(dialog.OnInitDialog());
        QCheckBox* box = dialog.OptionBox(Dlg::AutoMap);
        EXPECT_EQ(box->isChecked(), stored == std::string("1"));
        EXPECT_FALSE(box->isEnabled());
        EXPECT_FALSE(dialog.AutoMapNote()->isHidden());
        EXPECT_NE(dialog.AutoMapNote()->text().indexOf("MonStats2.txt"), -1);
        const std::string before = monStats.ToBytes();
        dialog.OnOK();
        EXPECT_EQ(monStats.ToBytes(), before);
        EXPECT_EQ(CProfileFile::ReadString(settings, "Global", "AutoMap", ""), stored);
        EXPECT_EQ(CProfileFile::ReadString(settings, "Global", "BlockBetter", ""), "0");
    }
    // The older table has the column: the box is offered as before.
    dialog.m_layout = TableLayout::V109;
    ASSERT_TRUE(dialog.OnInitDialog());
    EXPECT_TRUE(dialog.OptionBox(Dlg::AutoMap)->isEnabled());
    EXPECT_TRUE(dialog.AutoMapNote()->isHidden());
}

TEST_F(GlobalSettingsLayoutsTest, BlockingRisesInEveryDifficultyAndHealthInTheNewerColumns) {
    ASSERT_TRUE(dialog.OnInitDialog());
    dialog.AmountEdit(Dlg::HealthMultiplier)->setText("2");
    dialog.AmountEdit(Dlg::BlockBetter)->setText("10");
    dialog.OnOK();
    EXPECT_EQ(CellsOf(monStats)[1],
              (std::vector<std::string>{"zombie", "Zombie", "5", "0", "20", "40", "60", "-8", "100",
                                        "x", "30", "70", "75"}));

    // Without one of the three block columns none of them changes.
    LoadRows(monStats, {{"Id", "ToBlock", "ToBlock(N)"}, {"zombie", "20", "30"}});
    EXPECT_FALSE(CModFuncs().ApplyBlockBetter(10, monStats, TableLayout::V110));
    EXPECT_EQ(CellsOf(monStats)[1], (std::vector<std::string>{"zombie", "20", "30"}));
}

TEST_F(GlobalSettingsLayoutsTest, TheMenuNotesTheNewerColumnsItLacks) {
    const CEditorCommand& global = CEditorCommand::Table().front();
    ASSERT_EQ(std::string(global.caption), "&Difficulty...");
    CGameDataSet data;
    LoadRows(data.m_MonStats, {{"Id", "NameStr", "A1TH", "minHP"}, {"zombie", "Zombie", "5", "9"}});
    CTestNotes notes;
    EXPECT_EQ(global.CheckLayouts(data, prompts, notes), TableLayout::V110);
    ASSERT_EQ(notes.lines.size(), 1u);
    const std::string& note = notes.lines[0];
    EXPECT_NE(note.find("\"Exp(H)\", \"ToBlock\", \"ToBlock(N)\", \"ToBlock(H)\", \"A1MinD\""),
              std::string::npos)
        << note;
    EXPECT_EQ(note.find("NoMap"), std::string::npos) << note;
}

} // namespace
