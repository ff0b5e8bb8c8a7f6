// The unique item editor on tables of both column layouts made here, and the "uniq.cfg"
// installed with the program.

#include "editors/ModFuncs.h"
#include "editors/UniqueConfig.h"
#include "editors/UniqueItemDlg.h"
#include "platform/FileSystem.h"
#include "table/TxtTable.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"
#include "TempFolder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <set>
#include <tuple>

namespace {

// A table of either layout with a filler column at each end; row r's property k has the code
// "c<k>", the parameter "<r>p<k>", the minimum "<r>-<k>" and the maximum "<r>+<k>".
TableRows Uniques(TableLayout layout, const std::vector<std::string>& names) {
    const bool newer = layout == TableLayout::V110;
    const int count = newer ? 12 : 10;
    TableRows rows{{newer ? "index" : "name", "lvl"}};
    for (int k = 1; k <= count; ++k) {
        const std::string n = std::to_string(k);
        if (newer)
            rows[0].insert(rows[0].end(), {"prop" + n, "par" + n, "min" + n, "max" + n});
        else
            rows[0].insert(rows[0].end(), {"ItemMod" + n + "Code", "ItemMod" + n + "Param",
                                           "ItemMod" + n + "Min", "ItemMod" + n + "Max"});
    }
    rows[0].push_back("*eol");
    for (size_t r = 1; r <= names.size(); ++r) {
        const std::string at = std::to_string(r);
        rows.push_back({names[r - 1], "1"});
        for (int k = 1; k <= count; ++k) {
            const std::string n = std::to_string(k);
            rows.back().insert(rows.back().end(),
                               {"c" + n, at + "p" + n, at + "-" + n, at + "+" + n});
        }
        rows.back().push_back("0");
    }
    return rows;
}

class UniqueItemLayoutsTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }

    // Opens the editor as the menu does, without its modal loop.
    void Open(TableLayout layout, const std::vector<std::string>& names) {
        LoadRows(table, Uniques(layout, names));
        std::string config;
        for (int k = 1; k <= 12; ++k)
            config += "c" + std::to_string(k) + " - Property " + std::to_string(k) + "\n";
        WriteTextFile(work.File("uniq.cfg"), config);
        dlg = std::make_unique<CUniqueItemDlg>(prompts);
        dlg->m_pUniqueTable = &table;
        dlg->m_pFuncs = &funcs;
        dlg->m_bExpansion = expansion;
        dlg->m_strWorkingFolder = work.Path();
        dlg->m_layout = layout;
        ASSERT_TRUE(dlg->OnInitDialog());
    }

    std::vector<std::string> Listed() const {
        std::vector<std::string> names;
        for (int i = 0; i < dlg->ItemList()->count(); ++i)
            names.push_back(dlg->ItemList()->item(i)->text().toStdString());
        return names;
    }

    // How many property rows, and how many parameter edits, the dialog shows.
    std::pair<int, int> ShownRows() const {
        int rows = 0, parameters = 0;
        for (size_t k = 0; k < UniqueItemRecord::kProperties; ++k) {
            rows += dlg->PropertyCombo(k)->isVisibleTo(dlg.get()) ? 1 : 0;
            parameters += dlg->ParameterEdit(k)->isVisibleTo(dlg.get()) ? 1 : 0;
        }
        return {rows, parameters};
    }

    CTempFolder work;
    CTxtTable table;
    CModFuncs funcs;
    CScriptedPrompts prompts;
    bool expansion = true;
    std::unique_ptr<CUniqueItemDlg> dlg;
};

TEST_F(UniqueItemLayoutsTest, NewerTableListsByIndexSkippingBlankRowsEachEntryWithItsRow) {
    const std::vector<std::string> names{"Facet", "", "Facet", "Expansion", "Azure"};
    expansion = false;
    Open(TableLayout::V110, names);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"Facet (row 1)", "Facet (row 3)"}));

    expansion = true;
    Open(TableLayout::V110, names);
    EXPECT_EQ(Listed(), (std::vector<std::string>{"Azure", "Facet (row 1)", "Facet (row 3)"}));
    dlg->ItemList()->setCurrentRow(2);
    EXPECT_EQ(dlg->ParameterEdit(0)->text(), "3p1");
}

TEST_F(UniqueItemLayoutsTest, ShowsThePropertiesAndParametersTheLayoutHas) {
    for (auto [layout, rows, parameters] :
         {std::tuple(TableLayout::V110, 12, 12), std::tuple(TableLayout::V109, 10, 0)}) {
        Open(layout, {"Facet"});
        EXPECT_EQ(ShownRows(), std::make_pair(rows, parameters));
        for (size_t k = 0; k < static_cast<size_t>(rows); ++k) {
            const QString n = QString::number(k + 1);
            EXPECT_EQ(dlg->PropertyCombo(k)->currentText(), "Property " + n + " [c" + n + "]");
            EXPECT_EQ(dlg->ParameterEdit(k)->text(), parameters ? "1p" + n : "");
            EXPECT_EQ(dlg->MinimumEdit(k)->text(), "1-" + n);
            EXPECT_EQ(dlg->MaximumEdit(k)->text(), "1+" + n);
        }
    }
}

TEST_F(UniqueItemLayoutsTest, ApplyChangesExactlyTheCellOfTheFieldChanged) {
    struct Case {
        TableLayout layout;
        std::function<void(CUniqueItemDlg&)> change;
        const char* header;
        const char* written;
    };
    const Case cases[] = {
        {TableLayout::V110, [](auto& d) { d.ParameterEdit(11)->setText("Fist of the Heavens"); },
         "par12", "Fist of the Heavens"},
        {TableLayout::V110, [](auto& d) { d.PropertyCombo(10)->setCurrentIndex(1); }, "prop11",
         "c1"},
        {TableLayout::V110, [](auto& d) { d.MaximumEdit(0)->setText("9"); }, "max1", "9"},
        {TableLayout::V109, [](auto& d) { d.MinimumEdit(9)->setText("-4"); }, "ItemMod10Min", "-4"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        Open(c.layout, {"Facet", "Facet"});
        dlg->ItemList()->setCurrentRow(1);
        CTxtTable expected;
        ASSERT_TRUE(expected.LoadFromBytes(table.ToBytes()));
        ASSERT_TRUE(expected.SetCell(expected.FindColumn(c.header, 0), 2, c.written));
        c.change(*dlg);
        dlg->OnApply();
        EXPECT_EQ(table.ToBytes(), expected.ToBytes());
    }
}

TEST(InstalledUniqueConfigTest, ReadsEveryLineAndDescribesNoTwoCodesAlike) {
    const std::string path = CUniqueItemDlg::FindInstalledConfig();
    std::string text;
    ASSERT_TRUE(ReadWholeFile(path, text, 1 << 20)) << path;
    const UniqueConfig config = UniqueConfig::Parse(text);
    // No line left out, and no empty line ending the reading early.
    EXPECT_EQ(config.skippedLines, 0u);
    EXPECT_EQ(config.entries.size(),
              static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
    std::set<QString> descriptions;
    for (const UniqueConfig::Entry& entry : config.entries)
        EXPECT_TRUE(descriptions.insert(QString::fromLatin1(entry.description).toLower()).second)
            << entry.description;
}

} // namespace
