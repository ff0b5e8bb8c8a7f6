// The area locations dialog on levels and monster tables of game versions 1.10 to 1.14d, made
// here: monster Ids in slots found by name, one list and one pair of boss counts per difficulty.
#include "app/EditorCommand.h"

#include "MonsterLocationsFixture.h"
#include "TestNotes.h"

#include <QLabel>

#include <map>

namespace {

std::string Warning(const std::string& name, bool boss) {
    return "Warning [" + name + "] is not currently used in any area of the game.\nThis may not " +
           "work, or fail to appear." +
           (boss ? "\nYou may also need to set spawned to 1 in the monster editor for this monster"
                 : "");
}

class MonsterLocationsNewLayoutTest : public MonsterLocationsTest {
protected:
    void SetUp() override {
        MonsterLocationsTest::SetUp();
        LoadRows(monsters, {{"Id", "NameStr", "isSpawn", "A1TH"},
                            {"skeleton1", "Skeleton", "1", "5"},
                            {"fallen1", "Fallen", "1", "5"},
                            {"fallen2", "Fallen", "0", "5"},
                            {"dummy1", "Dummy", "0", "5"},
                            {"zombie1", "Zombie", "0", "5"},
                            {"imp1", "Imp", "0", "5"},
                            {"Expansion", "", "", ""},
                            {"minion1", "Minion", "0", "5"}});
        // "mon3" follows another column: slots are found by name. Den of Evil holds an Id in
        // capitals, one the monster table lacks, a hidden one, and zombie1 only in "cmon1".
        TableRows rows = {{"Name", "NumMon", "mon1", "mon2", "rangedspawn", "mon3", "nmon1",
                           "nmon2", "nmon3", "umon1", "umon2", "cmon1", "MonUMin", "MonUMax",
                           "MonUMin(N)", "MonUMax(N)", "MonUMin(H)", "MonUMax(H)"},
                          {"Null"},
                          {"Den of Evil", "2", "skeleton1", "FALLEN1", "0", "ghost9", "fallen2",
                           "dummy1", "", "skeleton1", "", "zombie1", "1", "3", "2", "4", "3", "5"},
                          {"Blood Moor"},
                          {"Expansion"},
                          {"Harrogath", "1", "", "", "0", "", "imp1"}};
        for (auto& row : rows)
            row.resize(18);
        LoadRows(levels, rows);
    }

    std::unique_ptr<CMonsterLocationsDlg> OpenNew(bool expansion = false) {
        auto dlg = std::make_unique<CMonsterLocationsDlg>(prompts);
        dlg->m_pMonTable = &monsters;
        dlg->m_pLvlTable = &levels;
        dlg->m_pFuncs = &funcs;
        dlg->m_bExpansion = expansion;
        dlg->m_layout = TableLayout::V110;
        EXPECT_TRUE(dlg->OnInitDialog());
        return dlg;
    }

    // `before` with only these cells of `row` changed.
    static std::string With(const std::string& before, int32_t row,
                            const std::map<std::string, std::string>& cells) {
        CTxtTable table;
        EXPECT_TRUE(table.LoadFromBytes(before));
        for (const auto& [header, text] : cells)
            EXPECT_TRUE(table.SetCell(table.FindColumn(header, 0), row, text));
        return table.ToBytes();
    }
};

TEST_F(MonsterLocationsNewLayoutTest, EachDifficultyShowsItsOwnListsAndShowingWritesNothing) {
    const std::string levelsBefore = levels.ToBytes();
    const std::string monstersBefore = monsters.ToBytes();
    auto dlg = OpenNew();
    dlg->show();
    EXPECT_TRUE(dlg->DifficultyBox()->isVisible());
    EXPECT_EQ(Areas(*dlg), (QStringList{"Den of Evil", "Blood Moor"}));
    EXPECT_EQ(Texts(*dlg->MonsterList()->List()),
              (QStringList{"fallen1 (Fallen)", "fallen2 (Fallen)", "imp1 (Imp)",
                           "skeleton1 (Skeleton)", "zombie1 (Zombie)"}));
    // Normal: an unknown Id shows as itself, a hidden one not at all.
    EXPECT_EQ(Texts(*dlg->AreaMonsters()),
              (QStringList{"fallen1 (Fallen)", "ghost9", "skeleton1 (Skeleton)"}));
    EXPECT_EQ(dlg->AreaMonsters()->item(0)->toolTip(), "fallen1, row 2");
    EXPECT_EQ(Texts(*dlg->AreaBosses()), (QStringList{"skeleton1 (Skeleton)"}));
    EXPECT_EQ(dlg->MaxBossesEdit()->text(), "3");

    const QString caption = "Monster types appearing in area";
    for (auto [difficulty, shownCaption, max] :
         {std::tuple{1, caption + " (shared with Hell)", "4"},
          std::tuple{2, caption + " (shared with Nightmare)", "5"}}) {
        dlg->DifficultyBox()->setCurrentIndex(difficulty);
        EXPECT_EQ(Texts(*dlg->AreaMonsters()), (QStringList{"fallen2 (Fallen)"}));
        EXPECT_EQ(dlg->MonstersCaption()->text(), shownCaption);
        EXPECT_EQ(dlg->AreaBosses()->count(), 0);
        EXPECT_FALSE(dlg->AreaBosses()->isEnabled());
        EXPECT_TRUE(dlg->BossesNote()->isVisible());
        EXPECT_EQ(dlg->MaxBossesEdit()->text(), max);
    }
    dlg->AreaBox()->setCurrentIndex(1);
    EXPECT_EQ(dlg->MaxBossesEdit()->text(), "");

    dlg = OpenNew(true);
    EXPECT_EQ(Areas(*dlg), (QStringList{"Den of Evil", "Blood Moor", "Harrogath"}));
    for (int area : {2, 1, 0})
        for (int difficulty : {2, 0, 1}) {
            dlg->AreaBox()->setCurrentIndex(area);
            dlg->DifficultyBox()->setCurrentIndex(difficulty);
        }
    EXPECT_EQ(levels.ToBytes(), levelsBefore);
    EXPECT_EQ(monsters.ToBytes(), monstersBefore);

    // The older layout has no difficulties to choose from.
    LoadRows(monsters, {{"Class", "namco", "Spawned"}, {"skeleton1", "Skeleton", "1"}});
    LevelsTable().Add("Den of Evil", {0}).LoadInto(levels);
    dlg = Open();
    dlg->show();
    EXPECT_FALSE(dlg->DifficultyBox()->isVisible());
    EXPECT_EQ(Texts(*dlg->AreaMonsters()), QStringList{"Skeleton"});
}

// Areas show the player's name beside the game's; a change of difficulty moves nothing.
TEST_F(MonsterLocationsNewLayoutTest, AreasShowTheirNamesAndEveryDifficultyKeepsTheLayout) {
    TableRows rows = CellsOf(levels);
    for (size_t row = 0; row < rows.size(); ++row)
        rows[row].push_back(row == 0 ? "LevelName" : row == 2 ? "Cave of Evil" : rows[row][0]);
    LoadRows(levels, rows);
    auto dlg = OpenNew();
    EXPECT_EQ(Areas(*dlg), (QStringList{"Den of Evil (Cave of Evil)", "Blood Moor"}));
    dlg->show();
    auto places = [&dlg] {
        QApplication::processEvents();
        std::vector<QRect> rects;
        for (QWidget* widget : dlg->findChildren<QWidget*>())
            rects.push_back(widget->geometry());
        return rects;
    };
    const std::vector<QRect> normal = places();
    for (int difficulty : {1, 2}) {
        dlg->DifficultyBox()->setCurrentIndex(difficulty);
        EXPECT_EQ(places(), normal) << difficulty;
    }
}

TEST_F(MonsterLocationsNewLayoutTest, AddAndRemoveRewriteOnlyTheirSlotsUpToTheirNumber) {
    auto dlg = OpenNew();
    // Three slots hold three types: full.
    std::string before = levels.ToBytes();
    Pick(*dlg->MonsterList()->List(), "imp1 (Imp)");
    dlg->OnAddMonster();
    EXPECT_EQ(prompts.Messages(),
              std::vector<std::string>{"You cannot have more than 3 different types per area. "
                                       "You must remove some from the list before adding any "
                                       "more."});
    // Remove drops the stored Id whatever its case; the rest close up, the unknown Id stays.
    Pick(*dlg->AreaMonsters(), "fallen1 (Fallen)");
    dlg->OnRemoveMonster();
    dlg->OnAddMonster();
    EXPECT_EQ(levels.ToBytes(), With(before, 2, {{"mon2", "ghost9"}, {"mon3", "imp1"}}));

    // Nightmare and Hell share "nmon"; the hidden type keeps its place and takes a slot.
    before = levels.ToBytes();
    dlg->DifficultyBox()->setCurrentIndex(1);
    dlg->OnAddBoss();
    dlg->OnAddMonster();
    dlg->DifficultyBox()->setCurrentIndex(2);
    ASSERT_EQ(Texts(*dlg->AreaMonsters()), (QStringList{"fallen2 (Fallen)", "imp1 (Imp)"}));
    dlg->OnAddMonster();
    EXPECT_EQ(prompts.Messages().size(), 2u);
    Pick(*dlg->AreaMonsters(), "fallen2 (Fallen)");
    dlg->OnRemoveMonster();
    EXPECT_EQ(levels.ToBytes(), With(before, 2, {{"nmon1", "dummy1"}, {"nmon2", "imp1"}}));

    // Normal's bosses go into "umon".
    before = levels.ToBytes();
    dlg->DifficultyBox()->setCurrentIndex(0);
    dlg->OnAddBoss();
    EXPECT_EQ(levels.ToBytes(), With(before, 2, {{"umon2", "imp1"}}));
    EXPECT_EQ(prompts.Messages().size(), 2u);
}

TEST_F(MonsterLocationsNewLayoutTest, AFirstUseWarnsAndMarksTheMonsterSpawned) {
    auto dlg = OpenNew(true);
    dlg->AreaBox()->setCurrentIndex(1);
    const std::string before = monsters.ToBytes();
    // In a slot of any kind, in any case: in use. Only in "cmon1": not.
    for (const char* name : {"fallen1 (Fallen)", "imp1 (Imp)"}) {
        Pick(*dlg->MonsterList()->List(), name);
        dlg->OnAddMonster();
    }
    Pick(*dlg->MonsterList()->List(), "zombie1 (Zombie)");
    dlg->OnAddMonster();
    Pick(*dlg->MonsterList()->List(), "minion1 (Minion)");
    dlg->OnAddBoss();
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{Warning("zombie1 (Zombie)", false),
                                                            Warning("minion1 (Minion)", true)}));
    EXPECT_EQ(monsters.ToBytes(), With(With(before, 5, {{"isSpawn", "1"}}), 8, {{"isSpawn", "1"}}));
}

TEST_F(MonsterLocationsNewLayoutTest, TypedBossCountsGoToTheDifficultyShown) {
    auto dlg = OpenNew();
    dlg->AreaBox()->setCurrentIndex(1);
    const std::string before = levels.ToBytes();
    Type(*dlg->MinBossesEdit(), "4");
    dlg->DifficultyBox()->setCurrentIndex(1);
    Type(*dlg->MaxBossesEdit(), "7");
    dlg->DifficultyBox()->setCurrentIndex(2);
    Type(*dlg->MinBossesEdit(), "9");
    EXPECT_EQ(levels.ToBytes(),
              With(before, 3, {{"MonUMin", "4"}, {"MonUMax(N)", "7"}, {"MonUMin(H)", "9"}}));
}

TEST_F(MonsterLocationsNewLayoutTest, OpeningNotesTheColumnsTheTablesLack) {
    CGameDataSet data;
    LoadRows(data.m_MonStats, CellsOf(monsters));
    TableRows rows = CellsOf(levels);
    for (auto& row : rows)
        row.resize(16);
    LoadRows(data.m_Levels, rows);
    int found = 0;
    for (const CEditorCommand& command : CEditorCommand::Table()) {
        if (std::string(command.caption) != "&Locations..." || ++found > 1)
            continue;
        CTestNotes notes;
        EXPECT_EQ(command.CheckLayouts(data, prompts, notes), TableLayout::V110);
        ASSERT_EQ(notes.lines.size(), 1u);
        EXPECT_NE(notes.lines[0].find("\"MonUMin(H)\", \"MonUMax(H)\""), std::string::npos);
    }
    EXPECT_EQ(found, 1);
}

} // namespace
