// The program's own "uniq.cfg" and one change of a unique item on the demo game that `make run`
// starts on: a property minimum changed, applied and saved reaches the archive's unique items
// table, and nothing else there changes.

#include "app/ModEngineDlg.h"

#include "DemoWindowFixture.h"
#include "editors/UniqueConfig.h"
#include "editors/UniqueItemDlg.h"
#include "table/TxtTable.h"

#include "MpqFixture.h"
#include "QtTestApp.h"
#include "TempFolder.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace {

std::string Lower(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return text;
}

TEST(OwnUniqueConfigTest, DescribesEveryPropertyOnceAndEveryDemoCode) {
    const std::string source = TARVANE_DEMO_SOURCE;
    const UniqueConfig config = UniqueConfig::Parse(ReadTextFile(source + "/uniq.cfg"));
    EXPECT_EQ(config.skippedLines, 0u);
    // Every code of the game's property table, the separator row left out.
    EXPECT_EQ(config.entries.size(), 268u);

    std::set<std::string> codes, descriptions;
    std::map<std::string, std::string> described;
    for (const UniqueConfig::Entry& entry : config.entries) {
        EXPECT_TRUE(codes.insert(Lower(entry.code)).second) << "code twice: " << entry.code;
        EXPECT_TRUE(descriptions.insert(Lower(entry.description)).second)
            << "description twice: " << entry.description;
        described[entry.code] = Lower(entry.description);
        // Per level, the game reads the parameter only.
        EXPECT_TRUE(entry.code.find("/lvl") == std::string::npos ||
                    described[entry.code].find(": parameter") != std::string::npos ||
                    described[entry.code].find("does nothing") != std::string::npos)
            << entry.code;
    }
    // What the game does with the value and where it goes, where a plain reading misleads.
    for (const auto& [code, says] : std::map<std::string, std::string>{
             {"dur", "points (not a percent)"},
             {"dmg/lvl", "highest damage (not the lowest) per character level: parameter"},
             {"dmg/time", "highest damage (not the lowest)"},
             {"color", "colour of the item's light"}})
        EXPECT_NE(described[code].find(says), std::string::npos) << code;

    CTxtTable uniques;
    ASSERT_TRUE(uniques.LoadFromBytes(ReadTextFile(source + "/tables/UniqueItems.txt")));
    size_t used = 0;
    for (int k = 1; k <= 10; ++k) {
        const int32_t col = uniques.FindColumn("ItemMod" + std::to_string(k) + "Code", 0);
        ASSERT_GE(col, 0);
        for (int32_t row = 1; row < uniques.Rows(); ++row) {
            const std::string code = uniques.GetCell(col, row);
            if (code.empty())
                continue;
            ++used;
            EXPECT_TRUE(codes.count(Lower(code))) << "not described: " << code;
        }
    }
    EXPECT_GT(used, 0u);
}

TEST_F(DemoWindowTest, ChangeAUniqueItemMinimumAndSave) {
    OpenDemo();
    ASSERT_TRUE(dlg->m_data.m_UniqueItems.IsLoaded());
    CTxtTable before;
    ASSERT_TRUE(before.LoadFromBytes(dlg->m_data.m_UniqueItems.ToBytes()));

    std::string name;
    WhenDialogOpens([&](QDialog& dialog) {
        auto* uniques = qobject_cast<CUniqueItemDlg*>(&dialog);
        ASSERT_NE(uniques, nullptr);
        ASSERT_GT(uniques->ItemList()->count(), 1);
        uniques->ItemList()->setCurrentRow(1);
        name = uniques->ItemList()->currentItem()->text().toStdString();
        uniques->MinimumEdit(0)->setText("77");
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == "Apply")
                button->click();
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == "OK")
                button->click();
    });
    dlg->OnEditorCommand("Uniques...");
    ASSERT_FALSE(name.empty());
    EXPECT_TRUE(dlg->m_data.m_bModified);

    prompts.AnswerOkCancel(true); // run the game to compile the tables
    dlg->OnFileSave();
    EXPECT_FALSE(dlg->m_data.m_bModified);

    std::optional<std::string> bytes =
        ReadArchived(archive, "Data\\Global\\Excel\\UniqueItems.txt");
    ASSERT_TRUE(bytes.has_value());
    CTxtTable saved;
    ASSERT_TRUE(saved.LoadFromBytes(*bytes));
    const int32_t row = before.FindRow(name, 0);
    ASSERT_GT(row, 0);
    const int32_t col = before.FindColumn("ItemMod1Min", 0);
    ASSERT_GE(col, 0);
    ASSERT_NE(before.GetCell(col, row), "77");
    EXPECT_EQ(saved.GetCell(col, row), "77");
    saved.SetCell(col, row, before.GetCell(col, row));
    EXPECT_EQ(saved.ToBytes(), before.ToBytes());
}

} // namespace
