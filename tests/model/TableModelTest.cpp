#include "model/TableModel.h"
#include "model/CellsCommand.h"
#include "model/TableBlock.h"
#include "table/TxtTable.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"

#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

// Three data rows under a header; row 3 is ragged (fewer cells than the header).
constexpr const char* kTable = "name\tlevel\tspeed\r\nzombie\t1\t\xE9t\xE9\r\nskeleton\t2\t5\r\n"
                               "bat\r\n";

class TableModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        ASSERT_TRUE(table.LoadFromBytes(kTable));
    }
    std::string Bytes() const { return table.ToBytes(); }

    CTxtTable table;
    QUndoStack undo;
    CScriptedPrompts prompts;
    CTableModel model{table, undo, prompts};
};

TEST_F(TableModelTest, EditStoresBytesOrRefusesWithAMessage) {
    struct Case {
        QString typed;
        std::string cell;    // the cell afterwards
        size_t undoSteps;    // on the stack afterwards
        const char* message; // the start of the message shown, if any
    };
    const Case cases[] = {
        {QStringLiteral("a\u4E00"), "1", 0, "The character U+4E00 cannot go into a table cell"},
        {QStringLiteral("a\tb"), "1", 0, "A table cell cannot hold a tab or a line break"},
        {QStringLiteral("1"), "1", 0, nullptr},
        {QStringLiteral("caf\u00E9"), "caf\xE9", 1, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        undo.clear();
        table.SetCell(1, 1, "1");
        prompts.log.clear();
        model.setData(model.IndexOf(1, 1), c.typed);
        EXPECT_EQ(table.CellView(1, 1), c.cell);
        EXPECT_EQ(static_cast<size_t>(undo.count()), c.undoSteps);
        ASSERT_EQ(prompts.Messages().size(), c.message ? 1u : 0u);
        if (c.message) {
            EXPECT_EQ(prompts.Messages()[0].rfind(c.message, 0), 0u) << prompts.Messages()[0];
        }
    }
    EXPECT_EQ(undo.text(0), "Edit level, row 1");
    EXPECT_EQ(model.data(model.IndexOf(2, 1)).toString(), QStringLiteral("\u00E9t\u00E9"));
    EXPECT_EQ(model.headerData(1, Qt::Vertical).toString(), "2");
}

TEST_F(TableModelTest, PasteFitsOrIsRefusedWhole) {
    struct Case {
        QString clipboard;
        int32_t col, tableRow;
        const char* after; // the table afterwards
        const char* message;
    };
    const Case cases[] = {
        {"a\tb\nc\td\n", 1, 1, "name\tlevel\tspeed\r\nzombie\ta\tb\r\nskeleton\tc\td\r\nbat\r\n",
         nullptr},
        {"a\r\nc\r\n", 0, 2, "name\tlevel\tspeed\r\nzombie\t1\t\xE9t\xE9\r\na\t2\t5\r\nc\r\n",
         nullptr},
        {"a\tb\tc\n", 1, 1, nullptr,
         "The block is 1 row × 3 columns; from row 1, column 2 there is room for 3 rows × 2 "
         "columns. Nothing was pasted."},
        {"a\nb\nc\n", 0, 2, nullptr,
         "The block is 3 rows × 1 column; from row 2, column 1 there is room for 2 rows × 3 "
         "columns. Nothing was pasted."},
        {QStringLiteral("a\n\u4E00\n"), 0, 1, nullptr,
         "The character U+4E00 cannot go into a table cell: the tables hold Latin-1 text only."},
    };
    const std::string original = Bytes();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clipboard.toStdString());
        ASSERT_TRUE(table.LoadFromBytes(original));
        undo.clear();
        prompts.log.clear();
        EXPECT_EQ(PasteBlock(model, model.IndexOf(c.col, c.tableRow), c.clipboard), !c.message);
        EXPECT_EQ(Bytes(), c.after ? c.after : original);
        EXPECT_EQ(prompts.Messages(),
                  c.message ? std::vector<std::string>{c.message} : std::vector<std::string>{});
        EXPECT_EQ(undo.count(), c.message ? 0 : 1);
    }
    EXPECT_EQ(CopyBlock(table, 1, 1, 2, 2), QStringLiteral("1\t\u00E9t\u00E9\n2\t5\n"));
}

TEST_F(TableModelTest, UndoAndRedoGiveBackEveryByte) {
    int changed = 0;
    QObject::connect(&model, &CTableModel::tableChanged, [&] { ++changed; });
    std::pair<QModelIndex, QModelIndex> repainted;
    QObject::connect(&model, &CTableModel::dataChanged,
                     [&](const QModelIndex& from, const QModelIndex& to) {
                         repainted = {from, to};
                     });
    const std::string original = Bytes();
    model.setData(model.IndexOf(0, 1), QStringLiteral("z\u00FF"));
    PasteBlock(model, model.IndexOf(1, 2), "7\t8\n");
    FillDown(model, model.IndexOf(0, 1), model.IndexOf(2, 3));
    const std::string edited = Bytes();
    EXPECT_EQ(edited, "name\tlevel\tspeed\r\nz\xFF\t1\t\xE9t\xE9\r\nz\xFF\t1\t\xE9t\xE9\r\n"
                      "z\xFF\t1\t\xE9t\xE9\r\n");
    EXPECT_EQ(undo.text(2), "Fill down 6 cells");
    EXPECT_EQ(repainted, std::make_pair(model.IndexOf(0, 2), model.IndexOf(2, 3)));
    for (int i = 0; i < 3; ++i)
        undo.undo();
    EXPECT_EQ(Bytes(), original);
    for (int i = 0; i < 3; ++i)
        undo.redo();
    EXPECT_EQ(Bytes(), edited);
    EXPECT_EQ(changed, 9);

    // A dialog's change made with no grid in sight becomes one undo step all the same.
    CTxtTable before;
    ASSERT_TRUE(before.LoadFromBytes(edited));
    table.SetCell(2, 3, "x");
    EXPECT_FALSE(CCellsCommand::FromDifference(table, nullptr, table, "Apply"));
    undo.push(CCellsCommand::FromDifference(table, &model.Changes(), before, "Apply").release());
    EXPECT_EQ(table.CellView(2, 3), "x");
    undo.undo();
    EXPECT_EQ(Bytes(), edited);
}

} // namespace
