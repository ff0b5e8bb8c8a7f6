// Every editor on Diablo II: Resurrected tables written here, opened from its menu as the user
// does: it lists the entries, shows one, and one field changed and applied changes that one cell
// alone. Comment columns ("*...") and every other table stay as they were.

#include "editors/ArmourDlg.h"
#include "editors/CellEdit.h"
#include "editors/DifficultyDlg.h"
#include "editors/GlobalSettingsDlg.h"
#include "editors/ItemPictureFrame.h"
#include "editors/MonsterEditorDlg.h"
#include "editors/MonsterLocationsDlg.h"
#include "editors/UniqueItemDlg.h"
#include "editors/WeaponDlg.h"

#include "app/ModEngineDlg.h"

#include "LayoutTables.h"
#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"
#include "TempFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

namespace {

using TableId = CGameDataSet::TableId;

QStringList Listed(const QListWidget& list) {
    QStringList texts;
    for (int i = 0; i < list.count(); ++i)
        texts << list.item(i)->text();
    return texts;
}

QLineEdit* Edit(QDialog& dlg, const QString& name) {
    for (QLineEdit* edit : dlg.findChildren<QLineEdit*>())
        if (edit->accessibleName() == name)
            return edit;
    ADD_FAILURE() << "no edit named " << name.toStdString();
    static QLineEdit none;
    return &none;
}

// What the armour and weapon editors say of Resurrected's pictures.
void ExpectNoDc6Pictures(CItemPictureFrame& frame) {
    EXPECT_TRUE(frame.ShowsResurrectedItems());
    EXPECT_FALSE(frame.GraphicButton()->isEnabled());
    EXPECT_EQ(frame.GraphicButton()->toolTip(), CItemPictureFrame::kNoImportTip);
}

struct Change {
    TableId table;
    std::string header;
    int32_t row;
    std::string text;
    bool operator==(const Change&) const = default;
};

struct Case {
    const char* caption;
    std::vector<std::pair<TableId, TableRows>> tables;
    // Checks the list and the entry shown, changes one field and closes with OK.
    std::function<void(QDialog&)> drive;
    Change expected;
};

const TableRows kMonsters = {{"Id", "*hcIdx", "NameStr", "A1TH", "ToBlock", "TreasureClassChamp"},
                             {"zombie1", "7", "Zombie", "5", "10", "Act 1 Champ A"}};

TableRows Areas() {
    // "Den of Evil" has more monster types than the classic game's 10 slots; z11 is in use.
    TableRows rows = {{"Name", "*StringName", "NumMon"}, {"Null"}, {"Den of Evil", "Den", "3"}};
    for (int i = 1; i <= 25; ++i)
        for (const char* kind : {"mon", "nmon", "umon"}) {
            rows[0].push_back(kind + std::to_string(i));
            rows[2].push_back(i <= 10 && kind == std::string("mon") ? "z" + std::to_string(i) : "");
        }
    rows[2][4] = "z11"; // nmon1
    rows[0].insert(rows[0].end(), {"MonUMin", "MonUMax", "MonUMin(N)", "MonUMax(N)", "MonUMin(H)",
                                   "MonUMax(H)", "MonLvlEx"});
    rows[1].resize(rows[0].size());
    rows[2].resize(rows[0].size());
    return rows;
}

TableRows ClassicMonsters() {
    TableRows rows = {{"Id", "NameStr", "isSpawn", "A1TH"}};
    for (int i = 1; i <= 11; ++i)
        rows.push_back({"z" + std::to_string(i), "Z", "1", "5"});
    return rows;
}

class ResurrectedEditorsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }

    // Opens the command's dialog from its menu and has `drive` work it inside its modal loop.
    void Run(CModEngineDlg& dlg, const Case& c) {
        QTimer timer;
        timer.setInterval(0);
        QObject::connect(&timer, &QTimer::timeout, [&] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                timer.stop();
                c.drive(*dialog);
                if (dialog->isVisible())
                    dialog->reject();
            }
        });
        timer.start();
        EXPECT_TRUE(dlg.OnEditorCommand(c.caption));
    }

    static std::vector<Change> Changes(const std::vector<TableRows>& before,
                                       const CModEngineDlg& dlg) {
        std::vector<Change> changes;
        for (size_t t = 0; t < before.size(); ++t) {
            const TableId id = CGameDataSet::kDeclarationOrder[t];
            const TableRows after = CellsOf(dlg.m_data.Table(id));
            for (size_t r = 0; r < after.size(); ++r)
                for (size_t col = 0; col < after[r].size(); ++col)
                    if (r >= before[t].size() || col >= before[t][r].size() ||
                        before[t][r][col] != after[r][col])
                        changes.push_back(
                            {id, after[0][col], static_cast<int32_t>(r), after[r][col]});
        }
        return changes;
    }

    CTempFolder work{true};
    CScriptedPrompts prompts;
};

TEST_F(ResurrectedEditorsTest, EachEditorListsShowsAndAppliesOneCell) {
    const Case cases[] = {
        {"Editor...",
         {{TableId::MonStats, kMonsters}},
         [](QDialog& d) {
             auto& dlg = dynamic_cast<CMonsterEditorDlg&>(d);
             EXPECT_EQ(Listed(*dlg.MonsterList()), QStringList{"zombie1 (Zombie)"});
             EXPECT_EQ(Edit(dlg, "Blocking %")->text(), "10");
             Edit(dlg, "Blocking %")->setText("15");
             dlg.OnApply();
             dlg.OnOK();
         },
         {TableId::MonStats, "ToBlock", 1, "15"}},
        // A classic 1.10 monster table goes with Resurrected's levels.
        {"Locations...",
         {{TableId::Levels, Areas()}, {TableId::MonStats, ClassicMonsters()}},
         [](QDialog& d) {
             auto& dlg = dynamic_cast<CMonsterLocationsDlg&>(d);
             EXPECT_EQ(dlg.AreaMonsters()->count(), 10);
             QListWidget& monsters = *dlg.MonsterList()->List();
             for (int i = 0; i < monsters.count(); ++i)
                 if (monsters.item(i)->text().startsWith("z11 "))
                     monsters.setCurrentRow(i);
             dlg.OnAddMonster();
             dlg.OnOK();
         },
         {TableId::Levels, "mon11", 2, "z11"}},
        {"Uniques...",
         {{TableId::UniqueItems,
           {{"index", "*ID", "firstLadderSeason", "lastLadderSeason", "spawnable", "disabled",
             "prop1", "par1", "min1", "max1"},
            {"Bone Break", "7", "2", "2", "1", "", "dmg%", "", "5", "10"}}}},
         [](QDialog& d) {
             auto& dlg = dynamic_cast<CUniqueItemDlg&>(d);
             EXPECT_EQ(Listed(*dlg.ItemList()), QStringList{"Bone Break"});
             EXPECT_EQ(dlg.FirstLadderSeasonEdit()->text(), "2");
             EXPECT_TRUE(dlg.RandomDropBox()->isChecked());
             EXPECT_TRUE(dlg.AnyDropBox()->isChecked());
             dlg.AnyDropBox()->setChecked(false);
             dlg.OnApply();
             dlg.OnOK();
         },
         {TableId::UniqueItems, "disabled", 1, "1"}},
        {"Armour...",
         {{TableId::Armor,
           {{"name", "code", "minac", "maxac", "invfile", "*quivered", "Transmogrify"},
            {"Quilted Armor", "qui", "8", "11", "invqlt", "0", "0"}}}},
         [](QDialog& d) {
             auto& dlg = dynamic_cast<CArmourDlg&>(d);
             EXPECT_EQ(Listed(*dlg.ItemList()), QStringList{"Quilted Armor"});
             EXPECT_FALSE(Edit(dlg, "Absorbs damage of")->isEnabled());
             ExpectNoDc6Pictures(*dlg.PictureFrame());
             Edit(dlg, "Minimum defense")->setText("9");
             dlg.OnApply();
             dlg.OnOK();
         },
         {TableId::Armor, "minac", 1, "9"}},
        {"Weapons...",
         {{TableId::Weapons,
           {{"name", "code", "mindam", "maxdam", "invfile", "*comment", "Transmogrify"},
            {"Hand Axe", "hax", "3", "6", "invhax", "axe", "0"}}}},
         [](QDialog& d) {
             auto& dlg = dynamic_cast<CWeaponDlg&>(d);
             EXPECT_EQ(Listed(*dlg.ItemList()), QStringList{"Hand Axe"});
             ExpectNoDc6Pictures(*dlg.PictureFrame());
             Edit(dlg, "One handed damage (Min)")->setText("4");
             dlg.OnApply();
             dlg.OnOK();
         },
         {TableId::Weapons, "mindam", 1, "4"}},
        {"Resistances and Penalties...",
         {{TableId::DifficultyLevels,
           {{"Name", "ResistPenalty", "ResistPenaltyNonExpansion"},
            {"Normal", "0", "0"},
            {"Nightmare", "-40", "-20"},
            {"Hell", "-100", "-50"}}}},
         [](QDialog& d) {
             auto& dlg = dynamic_cast<CDifficultyDlg&>(d);
             using R = DifficultyRecord;
             EXPECT_EQ(dlg.FieldEdit(R::Field(2, 2))->text(), "-100");
             CCellEdit* classic = dlg.FieldEdit(R::Field(R::kNonExpansionResistColumn, 2));
             EXPECT_TRUE(classic->isVisibleTo(&dlg));
             EXPECT_EQ(classic->text(), "-50");
             classic->setText("-60");
             dlg.OnOK();
         },
         {TableId::DifficultyLevels, "ResistPenaltyNonExpansion", 3, "-60"}},
        // No MonItemPercent in Resurrected: more drops lower the treasure classes' NoDrop.
        {"Difficulty...",
         {{TableId::MonStats, kMonsters},
          {TableId::MonItemPercent, {{"Id", "TreasureClassPercent"}, {"0", "20"}}},
          {TableId::TreasureClassEx, {{"Treasure Class", "NoDrop"}, {"Act 1 H2H A", "100"}}}},
         [](QDialog& d) {
             auto& dlg = dynamic_cast<CGlobalSettingsDlg&>(d);
             EXPECT_FALSE(dlg.OptionBox(CGlobalSettingsDlg::AutoMap)->isEnabled());
             dlg.AmountEdit(CGlobalSettingsDlg::HealthMultiplier)->setText("2");
             dlg.OptionBox(CGlobalSettingsDlg::IncreaseDrops)->setChecked(true);
             dlg.OnOK();
         },
         {TableId::TreasureClassEx, "NoDrop", 1, "60"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        auto dlg = std::make_unique<CModEngineDlg>(prompts);
        for (TableId id : CGameDataSet::kDeclarationOrder)
            ASSERT_TRUE(
                dlg->m_data.Table(id).LoadFromBytes(LayoutTableText(id, TableLayout::V110)));
        for (const auto& [id, rows] : c.tables)
            LoadRows(dlg->m_data.Table(id), rows);
        std::vector<TableRows> before;
        for (TableId id : CGameDataSet::kDeclarationOrder)
            before.push_back(CellsOf(dlg->m_data.Table(id)));
        prompts.log.clear();

        Run(*dlg, c);

        EXPECT_EQ(Changes(before, *dlg), std::vector<Change>{c.expected});
        EXPECT_TRUE(prompts.Messages().empty()) << prompts.Messages().front();
    }
}

} // namespace
