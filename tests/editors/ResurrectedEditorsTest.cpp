// Every editor on Diablo II: Resurrected tables written here, opened from its menu: it lists and
// shows, and one field changed and applied changes that one cell alone, comments included.

#include "app/ModEngineDlg.h"
#include "editors/MonsterLocationsDlg.h"

#include "LayoutTables.h"
#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using TableId = CGameDataSet::TableId;
using Fields = std::vector<std::pair<QString, QString>>;

QWidget* Named(QDialog& dlg, const QString& name) {
    for (QWidget* widget : dlg.findChildren<QWidget*>()) {
        auto* button = qobject_cast<QAbstractButton*>(widget);
        if (widget->accessibleName() == name || (button && button->text() == name))
            return widget;
    }
    return nullptr;
}

// An edit's text, a box's "on" or "off"; "disabled" or "missing" for any.
QString State(QWidget* widget) {
    if (!widget || widget->isHidden())
        return "missing";
    if (!widget->isEnabled())
        return "disabled";
    if (auto* box = qobject_cast<QCheckBox*>(widget))
        return box->isChecked() ? "on" : "off";
    auto* edit = qobject_cast<QLineEdit*>(widget);
    return edit ? edit->text() : "enabled";
}

struct Case {
    const char* caption;
    std::vector<std::pair<TableId, std::string>> tables;
    Fields shown;  // "" names the editor's first entry
    Fields typed;  // text typed into edits; a box named is clicked
    TableId table; // the one cell that changes
    const char* header;
    int32_t row;
    const char* text;
};

TEST(ResurrectedEditorsTest, EachEditorListsShowsAndAppliesOneCell) {
    EnsureQApplication();
    CTempFolder work{true};
    CScriptedPrompts prompts;
    const std::string monsters = "Id\t*hcIdx\tNameStr\tA1TH\tToBlock\tTreasureClassChamp\r\n"
                                 "zombie1\t7\tZombie\t5\t10\tAct 1 Champ A\r\n";
    const QString anyDrop = "Can drop at all (also from treasure classes)";
    const QString classic = "Resistances penalty (classic characters) (Hell)";
    // clang-format off
    const Case cases[] = {
        {"Editor...", {{TableId::MonStats, monsters}}, {{"", "zombie1 (Zombie)"},
         {"Blocking %", "10"}}, {{"Blocking %", "15"}}, TableId::MonStats, "ToBlock", 1, "15"},
        // A classic 1.10 monster table goes with Resurrected's levels.
        {"Locations...", {{TableId::Levels, "Name\tMonLvlEx\tmon1\tmon2\tnmon1\tumon1\r\nNull\r\n"
             "Den of Evil\t\tz1\t\tz2\r\n"}, {TableId::MonStats, "Id\tNameStr\tisSpawn\tA1TH\r\n"
             "z1\tZ\t1\t5\r\nz2\tZ\t1\t5\r\n"}}, {}, {}, TableId::Levels, "mon2", 2, "z2"},
        {"Uniques...", {{TableId::UniqueItems, "index\t*ID\tfirstLadderSeason\tspawnable\t"
             "disabled\tprop1\tpar1\tmin1\tmax1\r\nBone Break\t7\t2\t1\t\tdmg%\t\t5\t10\r\n"}},
         {{"", "Bone Break"}, {"First ladder season", "2"}, {"Can drop as a random unique", "on"},
         {anyDrop, "on"}}, {{anyDrop, ""}}, TableId::UniqueItems, "disabled", 1, "1"},
        {"Armour...", {{TableId::Armor, "name\tcode\tminac\tinvfile\t*quivered\tTransmogrify\r\n"
             "Quilted Armor\tqui\t8\tinvqlt\t0\t0\r\n"}}, {{"", "Quilted Armor"},
         {"Absorbs damage of", "disabled"}, {"Graphic...", "disabled"}},
         {{"Minimum defense", "9"}}, TableId::Armor, "minac", 1, "9"},
        {"Weapons...", {{TableId::Weapons, "name\tcode\tmindam\tinvfile\t*comment\tTransmogrify\r\n"
             "Hand Axe\thax\t3\tinvhax\taxe\t0\r\n"}}, {{"", "Hand Axe"},
         {"One handed damage (Min)", "3"}, {"Graphic...", "disabled"}},
         {{"One handed damage (Min)", "4"}}, TableId::Weapons, "mindam", 1, "4"},
        {"Resistances and Penalties...", {{TableId::DifficultyLevels, "Name\tResistPenalty\t"
             "ResistPenaltyNonExpansion\r\nNormal\t0\t0\r\nNightmare\t-40\t-20\r\nHell\t-100\t-50\r\n"}},
         {{"Resistances penalty (Hell)", "-100"}, {classic, "-50"}}, {{classic, "-60"}},
         TableId::DifficultyLevels, "ResistPenaltyNonExpansion", 3, "-60"},
        // No MonItemPercent in Resurrected: more drops lower the treasure classes' NoDrop.
        {"Difficulty...", {{TableId::MonStats, monsters},
             {TableId::MonItemPercent, "Id\tTreasureClassPercent\r\n0\t20\r\n"},
             {TableId::TreasureClassEx, "Treasure Class\tNoDrop\r\nAct 1 H2H A\t100\r\n"}},
         {{"Monsters appear on automap", "disabled"}}, {{"Mulitply monsters health by", "2"},
         {"Increase item drop rate", ""}}, TableId::TreasureClassEx, "NoDrop", 1, "60"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        CModEngineDlg window(prompts);
        std::vector<std::string> expected;
        for (TableId id : CGameDataSet::kDeclarationOrder) {
            CTxtTable& table = window.m_data.Table(id);
            ASSERT_TRUE(table.LoadFromBytes(LayoutTableText(id, TableLayout::V110)));
            for (const auto& [written, text] : c.tables)
                if (written == id) {
                    ASSERT_TRUE(table.LoadFromBytes(text));
                }
            CTxtTable changed;
            ASSERT_TRUE(changed.LoadFromBytes(table.ToBytes()));
            if (id == c.table) {
                EXPECT_TRUE(changed.SetCell(changed.FindColumn(c.header, 0), c.row, c.text));
            }
            expected.push_back(changed.ToBytes());
        }
        // The dialog is worked inside its modal loop, as the user works it.
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            auto* dlg = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dlg)
                return;
            timer.stop();
            for (const auto& [name, state] : c.shown)
                EXPECT_EQ(name.isEmpty() ? dlg->findChild<QListWidget*>()->item(0)->text()
                                         : State(Named(*dlg, name)),
                          state);
            for (const auto& [name, text] : c.typed)
                if (auto* edit = qobject_cast<QLineEdit*>(Named(*dlg, name)))
                    edit->setText(text);
                else
                    qobject_cast<QCheckBox*>(Named(*dlg, name))->click();
            if (auto* locations = qobject_cast<CMonsterLocationsDlg*>(dlg)) {
                locations->MonsterList()->List()->setCurrentRow(1); // z2
                locations->OnAddMonster();
            }
            for (const char* button : {"Apply", "OK"})
                if (auto* press = qobject_cast<QAbstractButton*>(Named(*dlg, button)))
                    press->click();
            if (dlg->isVisible())
                dlg->reject();
        });
        timer.start(0);
        EXPECT_TRUE(window.OnEditorCommand(c.caption));

        for (size_t t = 0; t < expected.size(); ++t)
            EXPECT_EQ(window.m_data.Table(CGameDataSet::kDeclarationOrder[t]).ToBytes(),
                      expected[t]);
        EXPECT_TRUE(prompts.Messages().empty()) << prompts.Messages().front();
        prompts.log.clear();
    }
}

} // namespace
