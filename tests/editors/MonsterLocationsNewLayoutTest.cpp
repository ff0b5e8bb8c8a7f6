// The area locations dialog on levels and monster tables of game versions 1.10 to 1.14d, made
// here: monster Ids in slots found by name, one list and one pair of boss counts per difficulty.
#include "app/EditorCommand.h"
#include "data/GameDataSet.h"
#include "editors/LevelSlotList.h"

#include "MonsterLocationsFixture.h"
#include "TestNotes.h"

#include <QLabel>
#include <QPushButton>

#include <map>

namespace {

using Cells = std::map<std::string, std::string>;

// "mon3" follows another column: slots are found by their names. Normal has four monster slots,
// Nightmare and Hell three, Normal's bosses two.
const std::vector<std::string> kLevelsHeaders = {
    "Name",       "Id",     "MonUMin", "MonUMax", "MonUMin(N)",  "MonUMax(N)", "MonUMin(H)",
    "MonUMax(H)", "NumMon", "mon1",    "mon2",    "rangedspawn", "mon3",       "mon4",
    "nmon1",      "nmon2",  "nmon3",   "umon1",   "umon2",       "cmon1",      "Waypoint"};

// A levels row: the cells given, the others as the game's tables have them.
std::vector<std::string> Area(const std::string& name, size_t row, Cells cells = {}) {
    const Cells defaults = {{"Name", name},
                            {"Id", std::to_string(row - 1)},
                            {"NumMon", "2"},
                            {"rangedspawn", "0"},
                            {"Waypoint", "255"}};
    std::vector<std::string> cellsInOrder;
    for (const std::string& header : kLevelsHeaders) {
        auto given = cells.find(header);
        auto fallback = defaults.find(header);
        cellsInOrder.push_back(given != cells.end()         ? given->second
                               : fallback != defaults.end() ? fallback->second
                                                            : "");
    }
    return cellsInOrder;
}

const std::string kZombieWarning =
    "Warning [zombie1 (Zombie)] is not currently used in any area of the game.\nThis may not "
    "work, or fail to appear.";
const std::string kMinionBossWarning =
    "Warning [minion1 (Minion)] is not currently used in any area of the game.\nThis may not "
    "work, or fail to appear.\nYou may also need to set spawned to 1 in the monster editor for "
    "this monster";

std::string TooMany(int limit) {
    return "You cannot have more than " + std::to_string(limit) +
           " different types per area. You must remove some from the list before adding any "
           "more.";
}

class MonsterLocationsNewLayoutTest : public MonsterLocationsTest {
protected:
    void SetUp() override {
        MonsterLocationsTest::SetUp();
        LoadRows(monsters, {{"Id", "hcIdx", "NameStr", "isSpawn", "A1TH"},
                            {"skeleton1", "0", "Skeleton", "1", "2"},
                            {"fallen1", "1", "Fallen", "1", "3"},
                            {"fallen2", "2", "Fallen", "0", "4"},
                            {"dummy1", "3", "Dummy", "0", "1"},
                            {"zombie1", "4", "Zombie", "0", "5"},
                            {"imp1", "5", "Imp", "0", "6"},
                            {"Expansion", "", "", "", ""},
                            {"minion1", "6", "Minion", "0", "40"}});
        // Den of Evil holds an Id in capitals, one the monster table lacks and a hidden one;
        // zombie1 only in "cmon1", which is not a slot of the editor.
        LoadRows(levels, {kLevelsHeaders, Area("Null", 1),
                          Area("Den of Evil", 2,
                               {{"mon1", "skeleton1"},
                                {"mon2", "FALLEN1"},
                                {"mon3", "ghost9"},
                                {"nmon1", "fallen2"},
                                {"nmon2", "dummy1"},
                                {"umon1", "skeleton1"},
                                {"cmon1", "zombie1"},
                                {"MonUMin", "1"},
                                {"MonUMax", "3"},
                                {"MonUMin(N)", "2"},
                                {"MonUMax(N)", "4"},
                                {"MonUMin(H)", "3"},
                                {"MonUMax(H)", "5"}}),
                          Area("Blood Moor", 3), Area("Expansion", 4),
                          Area("Harrogath", 5, {{"nmon1", "imp1"}})});
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

    // The levels table as it should be: as before with only these cells changed.
    std::string LevelsWith(const std::string& before, int32_t row, const Cells& cells) const {
        CTxtTable expected;
        EXPECT_TRUE(expected.LoadFromBytes(before));
        for (const auto& [header, text] : cells)
            EXPECT_TRUE(expected.SetCell(expected.FindColumn(header, 0), row, text));
        return expected.ToBytes();
    }
};

TEST_F(MonsterLocationsNewLayoutTest, EachDifficultyShowsItsOwnListAndCounts) {
    auto dlg = OpenNew();
    dlg->show();
    EXPECT_TRUE(dlg->DifficultyBox()->isVisible());
    EXPECT_EQ(Areas(*dlg), (QStringList{"Den of Evil", "Blood Moor"}));
    EXPECT_EQ(Texts(*dlg->MonsterList()->List()),
              (QStringList{"fallen1 (Fallen)", "fallen2 (Fallen)", "imp1 (Imp)",
                           "skeleton1 (Skeleton)", "zombie1 (Zombie)"}));
    EXPECT_EQ(dlg->MonsterList()->List()->item(0)->toolTip(), "fallen1, row 2");

    // Normal: an unknown Id shows as itself, a hidden one not at all.
    EXPECT_EQ(Texts(*dlg->AreaMonsters()),
              (QStringList{"fallen1 (Fallen)", "ghost9", "skeleton1 (Skeleton)"}));
    EXPECT_EQ(dlg->AreaMonsters()->item(0)->toolTip(), "fallen1, row 2");
    EXPECT_EQ(dlg->AreaMonsters()->item(1)->toolTip(), "not in the monster table");
    EXPECT_EQ(Texts(*dlg->AreaBosses()), (QStringList{"skeleton1 (Skeleton)"}));
    EXPECT_TRUE(dlg->AreaBosses()->isEnabled());
    EXPECT_TRUE(dlg->BossesNote()->isHidden());
    EXPECT_EQ(dlg->MinBossesEdit()->text(), "1");
    EXPECT_EQ(dlg->MaxBossesEdit()->text(), "3");

    struct Case {
        int difficulty;
        QString caption, min, max;
    };
    for (const Case& c :
         {Case{1, "Monster types appearing in area", "2", "4"},
          Case{2, "Monster types appearing in area (shared with Nightmare)", "3", "5"}}) {
        dlg->DifficultyBox()->setCurrentIndex(c.difficulty);
        EXPECT_EQ(Texts(*dlg->AreaMonsters()), (QStringList{"fallen2 (Fallen)"}));
        EXPECT_EQ(dlg->MonstersCaption()->text(), c.caption);
        EXPECT_TRUE(Texts(*dlg->AreaBosses()).isEmpty());
        EXPECT_FALSE(dlg->AreaBosses()->isEnabled());
        EXPECT_FALSE(dlg->BossesNote()->isHidden());
        EXPECT_EQ(dlg->BossesNote()->text(),
                  "Nightmare and Hell take champions and uniques from the monster list");
        EXPECT_EQ(dlg->MinBossesEdit()->text(), c.min);
        EXPECT_EQ(dlg->MaxBossesEdit()->text(), c.max);
    }
    // Empty counts stay empty.
    dlg->AreaBox()->setCurrentIndex(1);
    EXPECT_EQ(dlg->MinBossesEdit()->text(), "");
    EXPECT_EQ(dlg->MaxBossesEdit()->text(), "");

    // The expansion's areas and monsters come with its flag.
    dlg = OpenNew(true);
    EXPECT_EQ(Areas(*dlg), (QStringList{"Den of Evil", "Blood Moor", "Harrogath"}));
    EXPECT_EQ(Texts(*dlg->MonsterList()->List()).size(), 6);

    // The older layout has no difficulties to choose from.
    LoadRows(monsters, {{"Class", "namco", "Spawned"}, {"skeleton1", "Skeleton", "1"}});
    LevelsTable().Add("Den of Evil", {0}).LoadInto(levels);
    auto older = Open();
    older->show();
    EXPECT_FALSE(older->DifficultyBox()->isVisible());
    EXPECT_TRUE(older->AreaBosses()->isEnabled());
    EXPECT_EQ(Texts(*older->AreaMonsters()), QStringList{"Skeleton"});
}

TEST_F(MonsterLocationsNewLayoutTest, ShowingAreasAndDifficultiesWritesNothing) {
    const std::string levelsBefore = levels.ToBytes();
    const std::string monstersBefore = monsters.ToBytes();
    auto dlg = OpenNew(true);
    for (int area = 0; area < dlg->AreaBox()->count(); ++area) {
        dlg->AreaBox()->setCurrentIndex(area);
        for (int difficulty : {2, 0, 1, 0})
            dlg->DifficultyBox()->setCurrentIndex(difficulty);
    }
    dlg->done(QDialog::Accepted);
    EXPECT_EQ(levels.ToBytes(), levelsBefore);
    EXPECT_EQ(monsters.ToBytes(), monstersBefore);
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(MonsterLocationsNewLayoutTest, AddAndRemoveRewriteOnlyTheirSlots) {
    auto dlg = OpenNew();
    // Normal: the Id goes into the next slot; NumMon, cmon and every other column stay.
    std::string before = levels.ToBytes();
    Pick(*dlg->MonsterList()->List(), "imp1 (Imp)");
    dlg->OnAddMonster();
    EXPECT_EQ(levels.ToBytes(), LevelsWith(before, 2, {{"mon4", "imp1"}}));

    // Removing compacts the list, dropping the stored Id whatever its case; the unknown Id stays.
    before = levels.ToBytes();
    Pick(*dlg->AreaMonsters(), "fallen1 (Fallen)");
    dlg->OnRemoveMonster();
    EXPECT_EQ(levels.ToBytes(),
              LevelsWith(before, 2, {{"mon2", "ghost9"}, {"mon3", "imp1"}, {"mon4", ""}}));

    // The same Id twice: Remove takes the first stored one.
    before = levels.ToBytes();
    Pick(*dlg->MonsterList()->List(), "skeleton1 (Skeleton)");
    dlg->OnAddMonster();
    Pick(*dlg->AreaMonsters(), "skeleton1 (Skeleton)", 1);
    dlg->OnRemoveMonster();
    EXPECT_EQ(
        levels.ToBytes(),
        LevelsWith(before, 2,
                   {{"mon1", "ghost9"}, {"mon2", "imp1"}, {"mon3", "skeleton1"}, {"mon4", ""}}));

    // Nightmare and Hell share "nmon"; the hidden type keeps its place.
    before = levels.ToBytes();
    dlg->DifficultyBox()->setCurrentIndex(1);
    Pick(*dlg->MonsterList()->List(), "skeleton1 (Skeleton)");
    dlg->OnAddMonster();
    dlg->OnAddBoss();
    dlg->DifficultyBox()->setCurrentIndex(2);
    EXPECT_EQ(Texts(*dlg->AreaMonsters()),
              (QStringList{"fallen2 (Fallen)", "skeleton1 (Skeleton)"}));
    Pick(*dlg->AreaMonsters(), "fallen2 (Fallen)");
    dlg->OnRemoveMonster();
    EXPECT_EQ(levels.ToBytes(),
              LevelsWith(before, 2, {{"nmon1", "dummy1"}, {"nmon2", "skeleton1"}}));

    // Normal's bosses go into "umon".
    before = levels.ToBytes();
    dlg->DifficultyBox()->setCurrentIndex(0);
    Pick(*dlg->MonsterList()->List(), "imp1 (Imp)");
    dlg->OnAddBoss();
    EXPECT_EQ(levels.ToBytes(), LevelsWith(before, 2, {{"umon2", "imp1"}}));
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(MonsterLocationsNewLayoutTest, TheLimitIsTheNumberOfSlotColumns) {
    auto dlg = OpenNew();
    Pick(*dlg->MonsterList()->List(), "imp1 (Imp)");
    dlg->OnAddMonster();
    dlg->OnAddBoss();
    std::string before = levels.ToBytes();
    dlg->OnAddMonster();
    dlg->OnAddBoss();
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{TooMany(4), TooMany(2)}));
    EXPECT_EQ(levels.ToBytes(), before);

    // Nightmare's three slots hold two types, one of them hidden: one more fills them.
    prompts.log.clear();
    dlg->DifficultyBox()->setCurrentIndex(1);
    dlg->OnAddMonster();
    before = levels.ToBytes();
    ASSERT_EQ(dlg->AreaMonsters()->count(), 2);
    dlg->OnAddMonster();
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{TooMany(3)});
    EXPECT_EQ(levels.ToBytes(), before);
}

TEST_F(MonsterLocationsNewLayoutTest, AFirstUseWarnsAndMarksTheMonsterSpawned) {
    auto dlg = OpenNew(true);
    dlg->AreaBox()->setCurrentIndex(1);
    const std::string monstersBefore = monsters.ToBytes();

    // In a slot of any kind and any case: in use, no warning.
    for (const char* used : {"fallen1 (Fallen)", "fallen2 (Fallen)", "imp1 (Imp)"}) {
        Pick(*dlg->MonsterList()->List(), used);
        dlg->OnAddMonster();
    }
    EXPECT_TRUE(prompts.Messages().empty());
    EXPECT_EQ(monsters.ToBytes(), monstersBefore);

    // Only in "cmon1": a first use.
    Pick(*dlg->MonsterList()->List(), "zombie1 (Zombie)");
    dlg->OnAddMonster();
    Pick(*dlg->MonsterList()->List(), "minion1 (Minion)");
    dlg->OnAddBoss();
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{kZombieWarning, kMinionBossWarning}));
    CTxtTable expected;
    ASSERT_TRUE(expected.LoadFromBytes(monstersBefore));
    expected.SetCell(3, 5, "1");
    expected.SetCell(3, 8, "1");
    EXPECT_EQ(monsters.ToBytes(), expected.ToBytes());
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
              LevelsWith(before, 3, {{"MonUMin", "4"}, {"MonUMax(N)", "7"}, {"MonUMin(H)", "9"}}));
    dlg->DifficultyBox()->setCurrentIndex(0);
    EXPECT_EQ(dlg->MinBossesEdit()->text(), "4");

    // A table without Hell's counts: nothing to show there, and typing writes nothing.
    TableRows rows = CellsOf(levels);
    for (auto& row : rows)
        row.erase(row.begin() + 6, row.begin() + 8);
    LoadRows(levels, rows);
    const std::string cut = levels.ToBytes();
    dlg = OpenNew();
    dlg->DifficultyBox()->setCurrentIndex(2);
    EXPECT_FALSE(dlg->MinBossesEdit()->isEnabled());
    EXPECT_EQ(dlg->MinBossesEdit()->text(), "");
    Type(*dlg->MinBossesEdit(), "5");
    EXPECT_EQ(levels.ToBytes(), cut);
}

TEST_F(MonsterLocationsNewLayoutTest, OpeningNotesTheColumnsTheTablesLack) {
    CGameDataSet data;
    LoadRows(data.m_MonStats, CellsOf(monsters));
    TableRows rows = CellsOf(levels);
    for (auto& row : rows)
        row.erase(row.begin() + 6, row.begin() + 8);
    LoadRows(data.m_Levels, rows);
    const CEditorCommand* locations = nullptr;
    for (const CEditorCommand& command : CEditorCommand::Table())
        if (std::string(command.caption) == "&Locations...")
            locations = &command;
    ASSERT_NE(locations, nullptr);

    CTestNotes notes;
    EXPECT_EQ(locations->CheckLayouts(data, prompts, notes), TableLayout::V110);
    ASSERT_EQ(notes.lines.size(), 1u);
    EXPECT_NE(notes.lines[0].find("\"MonUMin(H)\", \"MonUMax(H)\""), std::string::npos)
        << notes.lines[0];
}

TEST(LevelSlotList, SlotsAreTheUnbrokenRunOfNamedColumns) {
    CTxtTable levels;
    LoadRows(levels,
             {{"Name", "mon1", "mon2", "mon4", "nmon1"}, {"Den of Evil", "a", "", "b", "MON1"}});
    const CLevelSlotList normal(CLevelSlotList::kMonsters);
    EXPECT_EQ(normal.Slots(levels), 2);
    std::vector<std::string> ids{"kept"};
    EXPECT_FALSE(normal.Get(0, ids, levels));
    EXPECT_FALSE(normal.Get(2, ids, levels));
    EXPECT_EQ(ids, std::vector<std::string>{"kept"});
    ASSERT_TRUE(normal.Get(1, ids, levels));
    EXPECT_EQ(ids, std::vector<std::string>{"a"});

    // Too many entries, the header row or a row past the end: nothing written.
    const std::string before = levels.ToBytes();
    EXPECT_FALSE(normal.Set(1, {"x", "y", "z"}, levels));
    EXPECT_FALSE(normal.Set(0, {"x"}, levels));
    EXPECT_FALSE(normal.Set(2, {"x"}, levels));
    EXPECT_EQ(levels.ToBytes(), before);

    // The header row names columns, it holds no monster.
    EXPECT_FALSE(normal.Holds("mon1", levels));
    EXPECT_TRUE(CLevelSlotList(CLevelSlotList::kNightmareMonsters).Holds("mon1", levels));
    EXPECT_FALSE(CLevelSlotList(CLevelSlotList::kBosses).Holds("a", levels));
}

} // namespace
