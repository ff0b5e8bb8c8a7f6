#include "model/TableRevert.h"
#include "table/TxtTable.h"

#include <QUndoStack>

#include <gtest/gtest.h>

namespace {

TEST(TableRevert, PutsGameRowsBackWhereTheyStoodAndUndoes) {
    struct Case {
        const char* what;
        const char* game;
        const char* mod;
        int32_t putBack; // the game's row to put back; 0 reverts the whole table
        const char* after;
    };
    const Case cases[] = {
        {"short row", "k\ta\tb\r\nx\t1\t2\r\ny\r\nz\t3\t4\r\n", "k\ta\tb\r\nx\t1\t2\r\nz\t3\t4\r\n",
         2, "k\ta\tb\r\nx\t1\t2\r\ny\r\nz\t3\t4\r\n"},
        {"first row", "k\r\na\r\nb\r\n", "k\r\nb\r\n", 1, "k\r\na\r\nb\r\n"},
        {"after a moved predecessor", "k\r\na\r\nb\r\nc\r\n", "k\r\nc\r\na\r\n", 2,
         "k\r\nc\r\na\r\nb\r\n"},
        {"table", "k\ta\r\nx\t1\r\ny\t2\r\nx\t3\r\nz\t4\r\n",
         "k\ta\r\nnew\t0\r\nx\t1\r\nx\t9\r\nw\t5\r\nz\t4\r\n", 0,
         "k\ta\r\nx\t1\r\ny\t2\r\nx\t3\r\nz\t4\r\n"},
        {"table of neighbouring removed rows", "k\r\na\r\nb\r\nc\r\nd\r\ne\r\n", "k\r\nd\r\na\r\n",
         0, "k\r\nd\r\ne\r\na\r\nb\r\nc\r\n"},
        // The row comes back in the mod's columns, without the empty cells at its end.
        {"other columns", "k\ta\tb\r\nx\t1\t2\r\ny\t3\t\r\n", "k\tb\r\nx\t2\r\n", 2,
         "k\tb\r\nx\t2\r\ny\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTxtTable game, mod;
        ASSERT_TRUE(game.LoadFromBytes(c.game));
        ASSERT_TRUE(mod.LoadFromBytes(c.mod));
        QUndoStack undo;
        CTableRevert revert(mod, game, nullptr, undo, "t.txt");
        EXPECT_TRUE(c.putBack > 0 ? revert.PutBackRow(c.putBack) : revert.RevertTable());
        EXPECT_EQ(mod.ToBytes(), c.after);
        EXPECT_EQ(undo.count(), 1);
        undo.undo();
        EXPECT_EQ(mod.ToBytes(), c.mod);
    }
}

} // namespace
