// The area locations dialog on tables made here: what each Add, Remove and typed count leaves in
// the levels and monster tables.
#include "MonsterLocationsFixture.h"

namespace {

const std::string kImpWarning = "Warning [Imp] is not currently used in any area of the game.\n"
                                "This may not work, or fail to appear.";
const std::string kZombieBossWarning =
    "Warning [Zombie] is not currently used in any area of the game.\nThis may not work, or "
    "fail to appear.\nYou may also need to set spawned to 1 in the monster editor for this "
    "monster";
const std::string kTooMany = "You cannot have more than 25 different types per area. You must "
                             "remove some from the list before adding any more.";

class MonsterLocationsDlgTest : public MonsterLocationsTest {
protected:
    void SetUp() override {
        MonsterLocationsTest::SetUp();
        LoadRows(monsters, {{"Class", "namco", "Spawned"},
                            {"skeleton1", "Skeleton", "1"}, // slot value 0
                            {"fallen1", "Fallen", "1"},     // 1
                            {"fallen2", "Fallen", "0"},     // 2
                            {"dummy", "Dummy", "0"},        // 3
                            {"zombie1", "Zombie", "0"},     // 4
                            {"imp1", "Imp", "0"},           // 5
                            {"expansion", "Expansion", ""}, // 6
                            {"minion1", "Minion", "0"}});   // 7
        LevelsTable()
            .Add("Den of Evil", {0, 1}, {0})
            .Add("Blood Moor")
            .Add("Den of Evil")
            .Add("Null")
            .Add("Expansion")
            .Add("Harrogath")
            .LoadInto(levels);
    }
};

TEST_F(MonsterLocationsDlgTest, AFirstUseOfAMonsterWarnsOnceAndMarksItSpawned) {
    auto dlg = Open();
    EXPECT_EQ(Texts(*dlg->AreaMonsters()), (QStringList{"Fallen (fallen1)", "Skeleton"}));
    EXPECT_EQ(Texts(*dlg->AreaBosses()), (QStringList{"Skeleton"}));

    Pick(*dlg->MonsterList()->List(), "Imp");
    dlg->OnAddMonster();
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{kImpWarning});
    EXPECT_EQ(LevelsCell(monsters, "Spawned", 6), "1");
    EXPECT_EQ(Slots(levels, "M", 1, 4), (std::vector<std::string>{"0", "1", "5", "0"}));
    EXPECT_EQ(LevelsCell(levels, "Mtot", 1), "3");
    EXPECT_EQ(Texts(*dlg->AreaMonsters()), (QStringList{"Fallen (fallen1)", "Imp", "Skeleton"}));

    // Another area, as a boss this time: the first use is already in the levels table.
    dlg->AreaBox()->setCurrentIndex(1);
    dlg->OnAddBoss();
    EXPECT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(Slots(levels, "U", 2, 2), (std::vector<std::string>{"5", "0"}));
    EXPECT_EQ(LevelsCell(levels, "Utot", 2), "1");

    // The boss list's warning says more.
    Pick(*dlg->MonsterList()->List(), "Zombie");
    dlg->OnAddBoss();
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{kImpWarning, kZombieBossWarning}));
    EXPECT_EQ(LevelsCell(monsters, "Spawned", 5), "1");
    EXPECT_EQ(Texts(*dlg->AreaBosses()), (QStringList{"Imp", "Zombie"}));

    // With every monster filtered away, none is added.
    const std::string before = levels.ToBytes();
    dlg->MonsterList()->Filter()->setText("Xyz");
    dlg->OnAddBoss();
    EXPECT_EQ(levels.ToBytes(), before);
    EXPECT_EQ(dlg->AreaBosses()->count(), 2);
}

TEST_F(MonsterLocationsDlgTest, TwentyFiveTypesCountTheHiddenOnes) {
    // 23 shown types and two hidden "dummy" ones fill the area's 25 slots.
    std::vector<int> full(23, 0);
    full.insert(full.begin() + 5, {3, 3});
    LevelsTable().Add("Crowded", full, full).LoadInto(levels);
    auto dlg = Open();
    ASSERT_EQ(dlg->AreaMonsters()->count(), 23);
    ASSERT_EQ(dlg->AreaBosses()->count(), 23);
    const std::string before = levels.ToBytes();

    Pick(*dlg->MonsterList()->List(), "Imp");
    dlg->OnAddMonster();
    dlg->OnAddBoss();
    EXPECT_EQ(prompts.Messages(), (std::vector<std::string>{kTooMany, kTooMany}));
    EXPECT_EQ(levels.ToBytes(), before);
    EXPECT_EQ(dlg->AreaMonsters()->count(), 23);
    EXPECT_EQ(LevelsCell(monsters, "Spawned", 6), "0");

    // One removed makes room; the hidden types stay stored in their order.
    dlg->AreaMonsters()->setCurrentRow(0);
    dlg->OnRemoveMonster();
    EXPECT_EQ(LevelsCell(levels, "Mtot", 1), "24");
    EXPECT_EQ(Slots(levels, "M", 1)[4], "3");
    EXPECT_EQ(Slots(levels, "M", 1)[5], "3");
    EXPECT_EQ(Slots(levels, "M", 1)[24], "0");
    dlg->OnAddMonster();
    EXPECT_EQ(LevelsCell(levels, "Mtot", 1), "25");
    EXPECT_EQ(Slots(levels, "M", 1)[24], "5");
    EXPECT_EQ(dlg->AreaMonsters()->count(), 23);
}

TEST_F(MonsterLocationsDlgTest, SameNamedMonstersAndAreasKeepTheirOwnRows) {
    auto dlg = Open();
    // The second "Fallen" of the monster list is the table's second one.
    Pick(*dlg->MonsterList()->List(), "Fallen (fallen2)");
    dlg->OnAddMonster();
    EXPECT_EQ(Slots(levels, "M", 1, 4), (std::vector<std::string>{"0", "1", "2", "0"}));
    ASSERT_EQ(Texts(*dlg->AreaMonsters()),
              (QStringList{"Fallen (fallen1)", "Fallen (fallen2)", "Skeleton"}));
    EXPECT_EQ(dlg->AreaMonsters()->item(1)->toolTip(), "fallen2, row 3");

    // Removing the entry just added removes its own slot, not the first Fallen's.
    Pick(*dlg->AreaMonsters(), "Fallen (fallen2)");
    dlg->OnRemoveMonster();
    EXPECT_EQ(Slots(levels, "M", 1, 3), (std::vector<std::string>{"0", "1", "0"}));
    EXPECT_EQ(LevelsCell(levels, "Mtot", 1), "2");
    EXPECT_EQ(Texts(*dlg->AreaMonsters()), (QStringList{"Fallen (fallen1)", "Skeleton"}));

    // The same monster twice gives two slots; one Remove takes one.
    Pick(*dlg->MonsterList()->List(), "Skeleton");
    dlg->OnAddMonster();
    Pick(*dlg->AreaMonsters(), "Skeleton");
    dlg->OnRemoveMonster();
    EXPECT_EQ(Slots(levels, "M", 1, 3), (std::vector<std::string>{"1", "0", "0"}));
    EXPECT_EQ(Texts(*dlg->AreaMonsters()), (QStringList{"Fallen (fallen1)", "Skeleton"}));

    // The second "Den of Evil" edits its own row.
    ASSERT_EQ(Areas(*dlg),
              (QStringList{"Den of Evil (row 1)", "Blood Moor", "Den of Evil (row 3)"}));
    dlg->AreaBox()->setCurrentIndex(2);
    EXPECT_TRUE(Texts(*dlg->AreaMonsters()).isEmpty());
    dlg->OnAddMonster();
    EXPECT_EQ(Slots(levels, "M", 3, 2), (std::vector<std::string>{"0", "0"}));
    EXPECT_EQ(LevelsCell(levels, "Mtot", 3), "1");
    EXPECT_EQ(LevelsCell(levels, "Mtot", 1), "2");
}

TEST_F(MonsterLocationsDlgTest, OnlyAnAddRemoveOrTypedCountWrites) {
    const std::string before = levels.ToBytes();
    const std::string monstersBefore = monsters.ToBytes();
    auto dlg = Open();
    for (int i = dlg->AreaBox()->count() - 1; i >= 0; --i)
        dlg->AreaBox()->setCurrentIndex(i);
    EXPECT_EQ(dlg->MinBossesEdit()->text(), "1");
    EXPECT_EQ(levels.ToBytes(), before);

    // Cells the game reads as 0 are shown as 0 and stay as they are until the user types.
    LevelsTable().Add("Odd", {}, {}, "", "x7").LoadInto(levels);
    const std::string odd = levels.ToBytes();
    dlg = Open();
    EXPECT_EQ(dlg->MinBossesEdit()->text(), "0");
    EXPECT_EQ(dlg->MaxBossesEdit()->text(), "0");
    EXPECT_EQ(levels.ToBytes(), odd);
    dlg->MinBossesEdit()->selectAll();
    Type(*dlg->MinBossesEdit(), "4");
    EXPECT_EQ(LevelsCell(levels, "MonUMin", 1), "4");
    EXPECT_EQ(LevelsCell(levels, "MonUMax", 1), "x7");
    dlg->MaxBossesEdit()->clear();
    Type(*dlg->MaxBossesEdit(), "9a");
    EXPECT_EQ(LevelsCell(levels, "MonUMax", 1), "9");

    // No listable area: nothing shown, and no button or edit writes.
    LevelsTable().Add("Null").Add("").LoadInto(levels);
    const std::string empty = levels.ToBytes();
    dlg = Open();
    EXPECT_EQ(dlg->AreaBox()->count(), 0);
    Pick(*dlg->MonsterList()->List(), "Imp");
    dlg->OnAddMonster();
    dlg->OnAddBoss();
    Type(*dlg->MinBossesEdit(), "5");
    EXPECT_TRUE(Texts(*dlg->AreaMonsters()).isEmpty());
    EXPECT_EQ(levels.ToBytes(), empty);
    EXPECT_EQ(monsters.ToBytes(), monstersBefore);
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(MonsterLocationsDlgTest, TheExpansionsAreasAndMonstersComeWithItsFlag) {
    auto dlg = Open();
    EXPECT_EQ(Areas(*dlg),
              (QStringList{"Den of Evil (row 1)", "Blood Moor", "Den of Evil (row 3)"}));
    EXPECT_EQ(Texts(*dlg->MonsterList()->List()),
              (QStringList{"Fallen (fallen1)", "Fallen (fallen2)", "Imp", "Skeleton", "Zombie"}));
    EXPECT_EQ(dlg->MonsterList()->CurrentName(), "Fallen");

    dlg = Open(true);
    EXPECT_EQ(Areas(*dlg), (QStringList{"Den of Evil (row 1)", "Blood Moor", "Den of Evil (row 3)",
                                        "Harrogath"}));
    EXPECT_EQ(Texts(*dlg->MonsterList()->List()),
              (QStringList{"Fallen (fallen1)", "Fallen (fallen2)", "Imp", "Minion", "Skeleton",
                           "Zombie"}));
    dlg->AreaBox()->setCurrentIndex(3);
    Pick(*dlg->MonsterList()->List(), "Minion");
    dlg->OnAddMonster();
    EXPECT_EQ(LevelsCell(levels, "M1", 6), "7");
}

TEST_F(MonsterLocationsDlgTest, MissingInputsEndTheDialogWithAMessage) {
    const std::string tables = "Programming error, m_pMonTable or m_pLvlTable are null.";
    struct Case {
        bool monsters, levels, funcs;
        std::string message;
    };
    for (const Case& c : {Case{false, true, true, tables}, Case{true, false, true, tables},
                          Case{true, true, false, "Programming error, m_pFuncs is null."}}) {
        prompts.log.clear();
        CMonsterLocationsDlg dlg(prompts);
        dlg.m_pMonTable = c.monsters ? &monsters : nullptr;
        dlg.m_pLvlTable = c.levels ? &levels : nullptr;
        dlg.m_pFuncs = c.funcs ? &funcs : nullptr;
        EXPECT_EQ(dlg.exec(), 0);
        EXPECT_EQ(prompts.Messages(), std::vector<std::string>{c.message});
    }
}

} // namespace
