// Every editor, opened from its menu on Resurrected tables written here, lists, shows, and one
// field changed and applied changes that one cell alone, comment columns included.

#include "app/ModEngineDlg.h"

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

QWidget* Named(QDialog& dlg, const QString& name) {
    for (QWidget* widget : dlg.findChildren<QWidget*>()) {
        auto* button = qobject_cast<QAbstractButton*>(widget);
        if (widget->accessibleName() == name || (button && button->text() == name))
            return widget;
    }
    return nullptr;
}

// An edit's text, a box's "on" or "off"; "disabled" for any, and for one missing or hidden.
QString State(QWidget* widget) {
    if (!widget || widget->isHidden() || !widget->isEnabled())
        return "disabled";
    if (auto* box = qobject_cast<QCheckBox*>(widget))
        return box->isChecked() ? "on" : "off";
    return widget->property("text").toString();
}

struct Case {
    const char* caption;
    std::vector<std::pair<TableId, std::string>> tables; // the last one has the changed cell
    // What fields show ("" names the first entry); what is typed (a button or box is clicked).
    std::vector<std::pair<QString, QString>> shown, typed;
    const char* header;
    int32_t row;
    const char* text;
};

// Checks what the dialog shows, changes its fields and presses Apply and OK.
void Work(QDialog* dlg, const Case& c) {
    ASSERT_TRUE(dlg);
    for (const auto& [name, state] : c.shown)
        EXPECT_EQ(name.isEmpty() ? dlg->findChild<QListWidget*>()->item(0)->text()
                                 : State(Named(*dlg, name)),
                  state);
    for (const auto& [name, text] : c.typed)
        if (auto* edit = qobject_cast<QLineEdit*>(Named(*dlg, name)))
            edit->setText(text);
        else
            qobject_cast<QAbstractButton*>(Named(*dlg, name))->click();
    for (const char* button : {"Apply", "OK"})
        if (auto* press = qobject_cast<QAbstractButton*>(Named(*dlg, button)))
            press->click();
    if (dlg->isVisible())
        dlg->reject();
}

TEST(ResurrectedEditorsTest, EachEditorListsShowsAndAppliesOneCell) {
    EnsureQApplication();
    CTempFolder work{true};
    const std::string monsters = "Id\t*hcIdx\tNameStr\tA1TH\tToBlock\r\nzombie1\t7\tZombie\t5\t10";
    const QString anyDrop = "Can drop at all (also from treasure classes)",
                  classic = "Resistances penalty (classic characters) (Hell)";
    // clang-format off
    const Case cases[] = {
        {"Editor...", {{TableId::MonStats, monsters}}, {{"", "zombie1 (Zombie)"},
         {"Blocking %", "10"}}, {{"Blocking %", "15"}}, "ToBlock", 1, "15"},
        // A classic 1.10 monster table goes with Resurrected's levels.
        {"Locations...", {{TableId::MonStats, "Id\tNameStr\tisSpawn\tA1TH\r\nz1\tZ\r\nz2\tZ\r\n"},
         {TableId::Levels, "Name\tMonLvlEx\tmon1\tmon2\tnmon1\tumon1\r\nNull\r\nDen\t\tz1\t\tz2"}},
         {}, {{"Monster list filter", "z2"}, {"Add >>", ""}}, "mon2", 2, "z2"},
        {"Uniques...", {{TableId::UniqueItems, "index\t*ID\tfirstLadderSeason\tspawnable\tdisabled"
         "\tprop1\tmin1\tmax1\r\nBone Break\t7\t2\t1"}}, {{"", "Bone Break"},
         {"First ladder season", "2"}, {"Can drop as a random unique", "on"}, {anyDrop, "on"}},
         {{anyDrop, ""}}, "disabled", 1, "1"},
        {"Armour...", {{TableId::Armor, "name\tcode\tminac\tinvfile\t*quivered\tTransmogrify\r\n"
         "Quilted Armor\tqui\t8\tinvqlt\t0\t0\r\n"}}, {{"", "Quilted Armor"},
         {"Absorbs damage of", "disabled"}, {"Graphic...", "disabled"}},
         {{"Minimum defense", "9"}}, "minac", 1, "9"},
        {"Weapons...", {{TableId::Weapons, "name\tcode\tmindam\tinvfile\t*comment\tTransmogrify\r\n"
         "Hand Axe\thax\t3\tinvhax\taxe\t0\r\n"}}, {{"", "Hand Axe"}, {"Graphic...", "disabled"}},
         {{"One handed damage (Min)", "4"}}, "mindam", 1, "4"},
        {"Resistances and Penalties...", {{TableId::DifficultyLevels, "Name\tResistPenalty\t"
         "ResistPenaltyNonExpansion\r\nNormal\r\nNightmare\r\nHell\t-100\t-50\r\n"}},
         {{"Resistances penalty (Hell)", "-100"}, {classic, "-50"}}, {{classic, "-60"}},
         "ResistPenaltyNonExpansion", 3, "-60"},
        // No MonItemPercent in Resurrected: more drops lower the treasure classes' NoDrop.
        {"Difficulty...", {{TableId::MonStats, monsters}, {TableId::MonItemPercent,
         "Id\tTreasureClassPercent\r\n0\t20\r\n"}, {TableId::TreasureClassEx,
         "Treasure Class\tNoDrop\r\nAct 1\t100\r\n"}}, {{"Monsters appear on automap", "disabled"}},
         {{"Mulitply monsters health by", "2"}, {"Increase item drop rate", ""}}, "NoDrop", 1,
         "60"},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        CScriptedPrompts prompts;
        CModEngineDlg window(prompts);
        for (const auto& [id, text] : c.tables)
            ASSERT_TRUE(window.m_data.Table(id).LoadFromBytes(text));
        auto allTables = [&window] {
            std::string bytes;
            for (TableId id : CGameDataSet::kDeclarationOrder)
                bytes += window.m_data.Table(id).ToBytes() + "\f";
            return bytes;
        };
        const std::string expected = allTables();
        CTxtTable& changed = window.m_data.Table(c.tables.back().first);
        const int32_t col = changed.FindColumn(c.header, 0);
        const std::string before = changed.GetCell(col, c.row);
        QTimer::singleShot(0, [&c] { Work(qobject_cast<QDialog*>(qApp->activeModalWidget()), c); });
        EXPECT_TRUE(window.OnEditorCommand(c.caption));
        QApplication::processEvents();

        EXPECT_EQ(changed.GetCell(col, c.row), c.text);
        changed.SetCell(col, c.row, before); // with that cell put back, all is as it was
        EXPECT_EQ(allTables(), expected);
        EXPECT_TRUE(prompts.Messages().empty()) << prompts.Messages().front();
    }
}

} // namespace
