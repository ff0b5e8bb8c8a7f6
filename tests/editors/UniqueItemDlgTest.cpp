// The unique item editor over a small unique items table and a "uniq.cfg" in a temporary
// working folder: the lines it takes from the file, the codes it writes back, the items it
// lists, and the messages that keep it from opening.

#include "editors/UniqueItemDlg.h"
#include "editors/ModFuncs.h"
#include "editors/UniqueConfig.h"
#include "platform/NoteLog.h"
#include "table/TxtTable.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"
#include "TempFolder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <filesystem>

namespace {

struct Notes : CNoteLog {
    std::vector<std::string> lines;
    void AppendNote(const std::string& text) override { lines.push_back(text); }
};

// The table's columns in an order of their own, with a filler between them; row r's
// property k holds "<r>-<k>" as minimum and "<r>+<k>" as maximum.
TableRows UniqueRows(const std::vector<std::pair<std::string, std::vector<std::string>>>& items) {
    TableRows rows{{"name", "lvl"}};
    for (size_t k = 10; k >= 1; --k) {
        const std::string n = std::to_string(k);
        rows[0].insert(rows[0].end(), {"ItemMod" + n + "Max", "ItemMod" + n + "Code",
                                       "ItemMod" + n + "Param", "ItemMod" + n + "Min"});
    }
    for (size_t r = 0; r < items.size(); ++r) {
        std::vector<std::string> row{items[r].first, "1"};
        for (size_t k = 10; k >= 1; --k) {
            const std::string code = k <= items[r].second.size() ? items[r].second[k - 1] : "";
            const std::string at = std::to_string(r + 1);
            const std::string n = std::to_string(k);
            row.insert(row.end(), {at + "+" + n, code, "", at + "-" + n});
        }
        rows.push_back(row);
    }
    return rows;
}

std::string Cell(const CTxtTable& table, const std::string& header, int32_t row) {
    return table.GetCell(table.FindColumn(header, 0), row);
}

const char* const kConfig = "ac def Defense\n"
                            "hp life Life\n"
                            "str attr Strength\n"
                            "res-fire res Resist fire\n"
                            "fire-res res Resist fire\n";

class UniqueItemDlgTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }

    // Opens the editor as the menu does, without its modal loop; false when it would not open.
    bool Open(const TableRows& rows, const std::string& config = kConfig) {
        LoadRows(table, rows);
        if (!config.empty())
            WriteTextFile(work.File("uniq.cfg"), config);
        dlg = std::make_unique<CUniqueItemDlg>(prompts);
        dlg->m_pUniqueTable = &table;
        dlg->m_pFuncs = &funcs;
        dlg->m_bExpansion = expansion;
        dlg->m_strWorkingFolder = work.Path();
        dlg->m_strInstalledConfig = installed;
        dlg->m_pNotes = &notes;
        return dlg->OnInitDialog();
    }

    void Select(const QString& name, int nth = 0) {
        QListWidget* list = dlg->ItemList();
        for (int i = 0; i < list->count(); ++i)
            if (list->item(i)->text() == name && nth-- == 0) {
                list->setCurrentRow(i);
                return;
            }
        FAIL() << "no item " << name.toStdString();
    }

    std::vector<std::string> ListedNames() const {
        std::vector<std::string> names;
        for (int i = 0; i < dlg->ItemList()->count(); ++i)
            names.push_back(dlg->ItemList()->item(i)->text().toStdString());
        return names;
    }

    CTempFolder work;
    CTxtTable table;
    CModFuncs funcs;
    CScriptedPrompts prompts;
    Notes notes;
    bool expansion = true;
    std::string installed;
    std::unique_ptr<CUniqueItemDlg> dlg;
};

TEST(UniqueConfigTest, ReadsWholeLinesAsPairs) {
    struct Case {
        const char* name;
        std::string text;
        std::vector<std::pair<std::string, std::string>> pairs;
        size_t skipped;
    };
    const Case cases[] = {
        {"four words", "w1 w2 w3 w4\n", {{"w1", "w3 w4"}}, 0},
        {"one blank", "w1 w2\r\n", {{"w1", "w1 w2"}}, 0},
        {"no blank leaves the line out and keeps later pairs",
         "ac x Defense\nLonely\nhp x Life\n",
         {{"ac", "Defense"}, {"hp", "Life"}},
         1},
        {"no code or no description", " x Nothing\nac x \nhp x Life", {{"hp", "Life"}}, 2},
        {"empty line ends the reading", "ac x Defense\r\n\r\nhp x Life\n", {{"ac", "Defense"}}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        UniqueConfig config = UniqueConfig::Parse(c.text);
        std::vector<std::pair<std::string, std::string>> pairs;
        for (const auto& entry : config.entries)
            pairs.push_back({entry.code, entry.description});
        EXPECT_EQ(pairs, c.pairs);
        EXPECT_EQ(config.skippedLines, c.skipped);
    }
}

TEST_F(UniqueItemDlgTest, OpeningNeedsTheTableAndAReadableConfig) {
    dlg = std::make_unique<CUniqueItemDlg>(prompts);
    dlg->m_pFuncs = &funcs;
    EXPECT_FALSE(dlg->OnInitDialog());

    EXPECT_FALSE(Open(UniqueRows({{"A", {}}}), ""));

    std::filesystem::create_directory(work.File("uniq.cfg"));
    EXPECT_FALSE(Open(UniqueRows({{"A", {}}}), ""));

    EXPECT_EQ(prompts.Messages(),
              (std::vector<std::string>{"Programming error, m_pUniqueTable is null.",
                                        "Unique items config file (uniq.cfg) is missing.",
                                        "Unable to open uniques file, please try again."}));
}

TEST_F(UniqueItemDlgTest, WorkingFolderConfigComesBeforeTheInstalledOne) {
    CTempFolder share;
    installed = share.File("uniq.cfg");
    WriteTextFile(installed, "ac x Installed defense\n");
    ASSERT_TRUE(Open(UniqueRows({{"A", {"ac"}}}), ""));
    EXPECT_EQ(dlg->PropertyCombo(0)->currentText(), "Installed defense [ac]");

    ASSERT_TRUE(Open(UniqueRows({{"A", {"ac"}}}), "ac x Own defense\nbroken\n"));
    EXPECT_EQ(dlg->PropertyCombo(0)->currentText(), "Own defense [ac]");
    ASSERT_EQ(notes.lines.size(), 1u);
    EXPECT_NE(notes.lines[0].find("1 line(s)"), std::string::npos) << notes.lines[0];
    EXPECT_TRUE(prompts.Messages().empty());
}

TEST_F(UniqueItemDlgTest, ListsItemsByTheExpansionRuleEachWithItsRow) {
    const TableRows rows =
        UniqueRows({{"Zeal", {}}, {"twin", {}}, {"Twin", {}}, {"EXPANSION", {}}, {"Alder", {}}});
    expansion = false;
    ASSERT_TRUE(Open(rows));
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"twin", "Twin", "Zeal"}));

    expansion = true;
    ASSERT_TRUE(Open(rows));
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"Alder", "twin", "Twin", "Zeal"}));

    // The second item of the name is changed on its own row; the first keeps its cells.
    Select("Twin");
    EXPECT_EQ(dlg->MinimumEdit(0)->text(), "3-1");
    dlg->MinimumEdit(0)->setText("abc");
    dlg->OnApply();
    EXPECT_EQ(Cell(table, "ItemMod1Min", 3), "abc");
    EXPECT_EQ(Cell(table, "ItemMod1Min", 2), "2-1");
}

TEST_F(UniqueItemDlgTest, ApplyWritesBackEveryCodeAsReadUnlessChosenAnew) {
    // Row 3 names a code the file lacks, row 5 none; "res-fire" and "fire-res" share their
    // description.
    ASSERT_TRUE(Open(UniqueRows({{"Ring", {"ac", "fire-res", "Odd", "res-fire", "", "HP"}}})));
    const TableRows before = CellsOf(table);

    EXPECT_EQ(dlg->PropertyCombo(2)->currentText(), "Odd");
    EXPECT_EQ(dlg->PropertyCombo(4)->currentText(), "");
    EXPECT_EQ(dlg->PropertyCombo(5)->currentText(), "Life [hp]");
    for (size_t k = 0; k < UniqueItemRecord::kProperties; ++k)
        EXPECT_GE(dlg->PropertyCombo(k)->findText("Odd"), 0) << "row " << k + 1;

    dlg->OnApply();
    EXPECT_EQ(CellsOf(table), before);

    // A new choice writes the code of the very entry chosen.
    QComboBox* combo = dlg->PropertyCombo(4);
    int second = -1;
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i) == "Resist fire [fire-res]")
            second = i;
    ASSERT_GE(second, 0);
    combo->setCurrentIndex(second);
    dlg->PropertyCombo(6)->setCurrentIndex(dlg->PropertyCombo(6)->findText("Odd"));
    dlg->OnApply();
    EXPECT_EQ(Cell(table, "ItemMod5Code", 1), "fire-res");
    EXPECT_EQ(Cell(table, "ItemMod7Code", 1), "Odd");
    EXPECT_EQ(Cell(table, "ItemMod2Code", 1), "fire-res");
    EXPECT_EQ(Cell(table, "ItemMod4Code", 1), "res-fire");
    EXPECT_EQ(Cell(table, "ItemMod6Code", 1), "HP");
}

// The empty entry on top of every row takes the property away with its values.
TEST_F(UniqueItemDlgTest, TheEmptyEntryRemovesAProperty) {
    ASSERT_TRUE(Open(UniqueRows({{"Ring", {"ac", "hp"}}})));
    TableRows expected = CellsOf(table);
    EXPECT_EQ(dlg->PropertyCombo(9)->itemText(0), "");
    dlg->PropertyCombo(1)->setCurrentIndex(0);
    dlg->OnApply();
    for (const char* header : {"ItemMod2Code", "ItemMod2Min", "ItemMod2Max"})
        expected[1][static_cast<size_t>(table.FindColumn(header, 0))].clear();
    EXPECT_EQ(CellsOf(table), expected);
    EXPECT_EQ(dlg->MaximumEdit(1)->text(), "");
}

} // namespace
