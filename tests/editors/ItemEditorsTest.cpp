#include "editors/ArmourDlg.h"
#include "editors/ModFuncs.h"
#include "editors/MonsterEditorDlg.h"
#include "editors/UniqueItemDlg.h"
#include "editors/WeaponDlg.h"
#include "table/TxtTable.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"
#include "TempFolder.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>
#include <utility>

namespace {

using Captions = std::vector<std::pair<std::string, std::string>>;

// Every edit of each dialog as a user reads it, top to bottom, with the column it edits.
// Spelled out here rather than taken from the program, so that a wrong binding shows.
const Captions kArmourFields = {
    {"Minimum defense", "minac"},
    {"Maximum defense", "maxac"},
    {"Absorbs damage of", "absorbs"},
    {"Weight", "speed"},
    {"Minimum required strength", "reqstr"},
    {"Durability", "durability"},
    {"Number of sockets", "gemsockets"},
    {"Minimum smite damage", "mindam"},
    {"Maximum smite damage", "maxdam"},
    {"Blocking %", "block"},
};
const Captions kWeaponFields = {
    {"One handed damage (Min)", "mindam"},
    {"One handed damage (Max)", "maxdam"},
    {"Two handed damage (Min)", "2handmindam"},
    {"Two handed damage (Max)", "2handmaxdam"},
    {"Missile damage (Min)", "minmisdam"},
    {"Missile damage (Max)", "maxmisdam"},
    {"Range", "rangeadder"},
    {"Speed", "speed"},
    {"Durability", "durability"},
    {"Required strength", "reqstr"},
    {"Required dexterity", "reqdex"},
};

// An item table: "name" and "code" first, then the given columns in reverse order, the
// picture's columns and "hasinv"; every other cell of an added row holds a number unique to it.
class ItemTable {
public:
    explicit ItemTable(const Captions& fields, std::vector<std::string> extra = {}) {
        m_rows.push_back({"name", "code"});
        for (auto it = fields.rbegin(); it != fields.rend(); ++it)
            m_rows[0].push_back(it->second);
        for (const char* header : {"invfile", "invwidth", "invheight", "hasinv", "2Handed"})
            m_rows[0].push_back(header);
        for (std::string& header : extra)
            m_rows[0].push_back(std::move(header));
    }
    ItemTable& Add(const std::string& name) {
        const size_t row = m_rows.size();
        m_rows.push_back({name, "c" + std::to_string(row)});
        for (size_t col = 2; col < m_rows[0].size(); ++col)
            m_rows.back().push_back(std::to_string(row * 100 + col));
        // As the game's items with sockets have it, so that writing them back changes nothing.
        return Set("hasinv", "1");
    }
    ItemTable& Set(const std::string& header, const std::string& text) {
        for (size_t col = 0; col < m_rows[0].size(); ++col)
            if (m_rows[0][col] == header)
                m_rows.back()[col] = text;
        return *this;
    }
    void LoadInto(CTxtTable& table) const { LoadRows(table, m_rows); }

private:
    TableRows m_rows;
};

std::string Cell(const CTxtTable& table, const std::string& header, int32_t row) {
    return table.GetCell(table.FindColumn(header, 0), row);
}

QLineEdit* Edit(QDialog& dlg, const std::string& name) {
    for (QLineEdit* edit : dlg.findChildren<QLineEdit*>())
        if (edit->accessibleName() == QString::fromStdString(name))
            return edit;
    ADD_FAILURE() << "no edit named " << name;
    static QLineEdit none;
    return &none;
}

QStringList Listed(QListWidget* list) {
    QStringList names;
    for (int i = 0; i < list->count(); ++i)
        names << list->item(i)->text();
    return names;
}

void Select(QListWidget* list, const QString& name, int occurrence = 0) {
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->text() == name && occurrence-- == 0) {
            list->setCurrentRow(i);
            return;
        }
    ADD_FAILURE() << "not listed: " << name.toStdString();
}

QCheckBox* TwoHandedBox(CWeaponDlg& dlg) {
    for (QCheckBox* box : dlg.findChildren<QCheckBox*>())
        if (box->text() == "Weapon is two handed")
            return box;
    ADD_FAILURE() << "no two-handed box";
    static QCheckBox none;
    return &none;
}

class ItemEditorsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }

    std::unique_ptr<CArmourDlg> OpenArmour(bool expansion = false) {
        auto dlg = std::make_unique<CArmourDlg>(prompts);
        dlg->m_pArmourTable = &table;
        dlg->m_pFuncs = &funcs;
        dlg->m_bExpansion = expansion;
        EXPECT_TRUE(dlg->OnInitDialog());
        return dlg;
    }
    std::unique_ptr<CWeaponDlg> OpenWeapon(bool expansion = false) {
        auto dlg = std::make_unique<CWeaponDlg>(prompts);
        dlg->m_pWeaponTable = &table;
        dlg->m_pFuncs = &funcs;
        dlg->m_bExpansion = expansion;
        EXPECT_TRUE(dlg->OnInitDialog());
        return dlg;
    }

    CScriptedPrompts prompts;
    CTxtTable table;
    CModFuncs funcs;
};

// Both editors show each field under its caption in reading order and write each typed value
// into its own column, and only there.
TEST_F(ItemEditorsTest, EveryFieldIsShownInOrderAndAppliedToItsColumn) {
    for (const bool weapon : {false, true}) {
        const Captions& fields = weapon ? kWeaponFields : kArmourFields;
        ItemTable(fields).Add("Alpha").Add("Beta").LoadInto(table);
        std::unique_ptr<CEditorDlg> dlg;
        if (weapon)
            dlg = OpenWeapon();
        else
            dlg = OpenArmour();
        EXPECT_EQ(dlg->windowTitle(), weapon ? "Weapon Editor" : "Armour Editor");
        QStringList names;
        for (QLineEdit* edit : dlg->findChildren<QLineEdit*>())
            names << edit->accessibleName();
        names.removeFirst(); // the list's filter
        QStringList expected;
        for (const auto& field : fields)
            expected << QString::fromStdString(field.first);
        EXPECT_EQ(names, expected);

        Select(dlg->EntryList()->List(), "Beta");
        const TableRows before = CellsOf(table);
        for (const auto& [caption, header] : fields)
            EXPECT_EQ(Edit(*dlg, caption)->text().toStdString(), Cell(table, header, 2)) << caption;
        int value = 7;
        for (const auto& field : fields)
            Edit(*dlg, field.first)->setText(QString::number(value++));
        dlg->OnApply();

        TableRows expectedCells = before;
        value = 7;
        for (const auto& field : fields)
            expectedCells[2][static_cast<size_t>(table.FindColumn(field.second, 0))] =
                std::to_string(value++);
        EXPECT_EQ(CellsOf(table), expectedCells) << (weapon ? "weapon" : "armour");
    }
}

TEST_F(ItemEditorsTest, ListsSortedItemsUpToTheExpansionRowUnlessTheFlagIsSet) {
    ItemTable(kArmourFields)
        .Add("beta")
        .Add("Alpha")
        .Add("expansion")
        .Add("Gamma")
        .Add("Delta")
        .LoadInto(table);
    EXPECT_EQ(Listed(OpenArmour(false)->ItemList()), QStringList({"Alpha", "beta"}));
    EXPECT_EQ(Listed(OpenArmour(true)->ItemList()),
              QStringList({"Alpha", "beta", "Delta", "Gamma"}));
    EXPECT_EQ(Listed(OpenWeapon(false)->ItemList()), QStringList({"Alpha", "beta"}));
    EXPECT_EQ(Listed(OpenWeapon(true)->ItemList()),
              QStringList({"Alpha", "beta", "Delta", "Gamma"}));
}

TEST_F(ItemEditorsTest, SameNamedItemsEachShowAndChangeTheirOwnRow) {
    ItemTable(kArmourFields).Add("Cap").Add("Cap").LoadInto(table);
    auto dlg = OpenArmour();
    ASSERT_EQ(Listed(dlg->ItemList()), QStringList({"Cap (c1)", "Cap (c2)"}));
    const TableRows before = CellsOf(table);
    Select(dlg->ItemList(), "Cap (c2)");
    const int32_t shown = dlg->EntryList()->CurrentRow();
    EXPECT_EQ(Edit(*dlg, "Durability")->text().toStdString(), Cell(table, "durability", shown));
    Edit(*dlg, "Durability")->setText("5");
    dlg->OnApply();
    TableRows expected = before;
    expected[static_cast<size_t>(shown)][static_cast<size_t>(table.FindColumn("durability", 0))] =
        "5";
    EXPECT_EQ(CellsOf(table), expected);
}

// Items with sockets need "hasinv" set; "0" alone means none and leaves it as it was.
TEST_F(ItemEditorsTest, ArmourSocketsSetHasinvUnlessExactlyZero) {
    struct Case {
        const char* sockets;
        const char* hasinv;
    };
    for (const Case& c : {Case{"0", "7"}, Case{"2", "1"}, Case{"", "1"}, Case{"00", "1"}}) {
        ItemTable(kArmourFields)
            .Add("Cap")
            .Set("hasinv", "7")
            .Set("gemsockets", "3")
            .LoadInto(table);
        auto dlg = OpenArmour();
        Edit(*dlg, "Number of sockets")->setText(c.sockets);
        dlg->OnApply();
        EXPECT_EQ(Cell(table, "gemsockets", 1), c.sockets);
        EXPECT_EQ(Cell(table, "hasinv", 1), c.hasinv) << "sockets '" << c.sockets << "'";
    }
}

TEST_F(ItemEditorsTest, WeaponSpeedIsWeaponspeedenumWhenTheTableHasIt) {
    for (const bool both : {true, false}) {
        Captions fields = kWeaponFields;
        ItemTable(fields,
                  both ? std::vector<std::string>{"weaponspeedenum"} : std::vector<std::string>{})
            .Add("Axe")
            .Set("speed", "10")
            .Set("weaponspeedenum", "20")
            .LoadInto(table);
        auto dlg = OpenWeapon();
        EXPECT_EQ(Edit(*dlg, "Speed")->text(), both ? "20" : "10");
        Edit(*dlg, "Speed")->setText("33");
        dlg->OnApply();
        EXPECT_EQ(Cell(table, "speed", 1), both ? "10" : "33");
        EXPECT_EQ(Cell(table, "weaponspeedenum", 1), both ? "33" : "");
    }
}

// The box shows exactly "1" as two-handed; a cell the user did not toggle goes back as read,
// since the game reads "01" or " 1" as two-handed too.
TEST_F(ItemEditorsTest, TwoHandedCellIsWrittenAsReadUnlessTheBoxIsToggled) {
    struct Case {
        const char* cell;
        bool shown;
        bool toggle;
        const char* written;
    };
    for (const Case& c :
         {Case{"1", true, false, "1"}, Case{"1", true, true, "0"}, Case{"0", false, true, "1"},
          Case{"01", false, false, "01"}, Case{" 1", false, false, " 1"},
          Case{"", false, false, ""}, Case{"01", false, true, "1"}}) {
        ItemTable(kWeaponFields).Add("Axe").Set("2Handed", c.cell).LoadInto(table);
        auto dlg = OpenWeapon();
        QCheckBox* box = TwoHandedBox(*dlg);
        EXPECT_EQ(box->isChecked(), c.shown) << "'" << c.cell << "'";
        if (c.toggle)
            box->click();
        dlg->OnApply();
        EXPECT_EQ(Cell(table, "2Handed", 1), c.written)
            << "'" << c.cell << "'" << (c.toggle ? " toggled" : "");
    }
}

TEST_F(ItemEditorsTest, MissingInputsAreReportedAndEndTheRunWithResultZero) {
    ItemTable(kArmourFields).Add("Cap").LoadInto(table);
    struct Case {
        bool weapon;
        bool withTable;
        const char* message;
    };
    for (const Case& c : {Case{false, false, "Programming error, m_pArmourTable is null."},
                          Case{false, true, "Programming error, m_pFuncs is null."},
                          Case{true, false, "Programming error, m_pWeaponTable is null."},
                          Case{true, true, "Programming error, m_pFuncs is null."}}) {
        CScriptedPrompts local;
        std::unique_ptr<CEditorDlg> dlg;
        if (c.weapon) {
            auto weapon = std::make_unique<CWeaponDlg>(local);
            weapon->m_pWeaponTable = c.withTable ? &table : nullptr;
            dlg = std::move(weapon);
        } else {
            auto armour = std::make_unique<CArmourDlg>(local);
            armour->m_pArmourTable = c.withTable ? &table : nullptr;
            armour->m_pFuncs = c.withTable ? nullptr : &funcs;
            dlg = std::move(armour);
        }
        QTimer::singleShot(0, dlg.get(), [&dlg] { dlg->accept(); });
        EXPECT_EQ(dlg->exec(), 0);
        EXPECT_EQ(local.Messages(), std::vector<std::string>{c.message});
    }
}

// Every editor with an entry list, over "Ashen Plate" in rows 1 and 3 (keys "aa1", "aa3") and
// "Quilted Armor" in row 2: a repeated name shows the key that tells its entries apart (else the
// row); the form names its entry; a filter hiding it asks about typed changes and shows the first
// entry left, or nothing; Enter in the filter never closes the editor.
TEST_F(ItemEditorsTest, EveryListReadsApartAndNamesAndKeepsItsShownEntry) {
    CTempFolder work;
    WriteTextFile(work.File("uniq.cfg"), "ac x Defense\n");
    CArmourDlg armour(prompts);
    CWeaponDlg weapon(prompts);
    CMonsterEditorDlg monster(prompts);
    CUniqueItemDlg unique(prompts);
    armour.m_pArmourTable = weapon.m_pWeaponTable = monster.m_pMonTable = unique.m_pUniqueTable =
        &table;
    armour.m_pFuncs = weapon.m_pFuncs = monster.m_pFuncs = unique.m_pFuncs = &funcs;
    unique.m_strWorkingFolder = work.Path();
    const std::tuple<CEditorDlg*, std::vector<std::string>, const char*> editors[] = {
        {&armour, {"name", "code", "durability"}, "Durability"},
        {&weapon, {"name", "code", "durability"}, "Durability"},
        {&monster, {"namco", "Class", "Spawned"}, "Spawned"},
        {&unique, {"name", "ItemMod1Max", "ItemMod1Min"}, "Minimum 1"},
    };
    for (const auto& [dlg, headers, caption] : editors) {
        SCOPED_TRACE(dlg->windowTitle().toStdString());
        LoadRows(table, {headers,
                         {"Ashen Plate", "aa1", "11"},
                         {"Quilted Armor", "qa2", "12"},
                         {"Ashen Plate", "aa3", "13"}});
        prompts.log.clear();
        ASSERT_TRUE(dlg->OnInitDialog());
        const bool keyed = dlg != &unique;
        EXPECT_EQ(
            Listed(dlg->EntryList()->List()),
            (QStringList{keyed ? "Ashen Plate (aa1)" : "Ashen Plate (row 1)",
                         keyed ? "Ashen Plate (aa3)" : "Ashen Plate (row 3)", "Quilted Armor"}));
        dlg->show();
        QLineEdit* filter = dlg->EntryList()->Filter();
        QLineEdit* field = Edit(*dlg, caption);
        EXPECT_EQ(dlg->EditingLine()->text(), "Editing: Ashen Plate, row 1");
        field->setText("77");
        prompts.AnswerThreeWay(CUserPrompts::Answer::First);
        filter->setText("quilt");
        QApplication::processEvents();
        EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::ThreeWay),
                  std::vector<std::string>{"Apply your changes to Ashen Plate? [Yes/No/Cancel]"});
        EXPECT_EQ(table.GetCell(2, 1), "77");
        EXPECT_EQ(dlg->EditingLine()->text(), "Editing: Quilted Armor, row 2");
        EXPECT_EQ(field->text(), "12");
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(filter, &enter);
        EXPECT_TRUE(dlg->isVisible());
        filter->setText("none");
        EXPECT_EQ(dlg->EditingLine()->text(), "Editing: nothing (no entry is listed)");
        EXPECT_EQ(field->text(), "");
        EXPECT_FALSE(field->isEnabled());
        filter->clear();
    }
}

} // namespace
