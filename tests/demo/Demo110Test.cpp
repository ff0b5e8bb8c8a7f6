// The second demo game, `make run DEMO=110`: the same kind of game folder made from tables in the
// columns of game versions 1.10 to 1.14d. It opens like the first, the editors take its tables
// for the newer layout, and every editor command opens on them without a warning.

#include "app/EditorCommand.h"
#include "app/ModEngineDlg.h"
#include "editors/TableLayout.h"

#include "DemoWindowFixture.h"

#include <QDialog>
#include <QListWidget>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace {

using TableId = CGameDataSet::TableId;

class Demo110Test : public DemoWindowTest {
protected:
    Demo110Test() : DemoWindowTest(std::string(TARVANE_DEMO_SOURCE) + "/tables-110") {}
};

TEST_F(Demo110Test, OpensWithTablesOfTheNewerLayout) {
    OpenDemo();
    const std::string notes = dlg->NotesText();
    EXPECT_EQ(notes.substr(notes.rfind('\n') + 1), "MPQ Archive has been opened.");
    EXPECT_TRUE(dlg->m_data.m_bExpansion);
    // Patch 1.10 reshaped these three; the others read the same in both layouts.
    const std::set<TableId> reshaped = {TableId::MonStats, TableId::Levels, TableId::UniqueItems};
    for (TableId id : CGameDataSet::kDeclarationOrder)
        EXPECT_EQ(DetectTableLayout(dlg->m_data.Table(id), id),
                  reshaped.count(id) ? TableLayout::V110 : TableLayout::Either)
            << CGameDataSet::FileName(id);
}

TEST_F(Demo110Test, EveryEditorOpensWithoutAWarningOrAMissingColumn) {
    OpenDemo();
    const size_t notesBefore = dlg->NotesText().size();
    // The editors with a list of entries.
    const std::set<std::string> listed = {"Editor...", "Locations...", "Armour...", "Weapons...",
                                          "Uniques..."};
    for (const CEditorCommand& command : CEditorCommand::Table()) {
        if (!command.makeDialog)
            continue;
        const std::string caption = QString(command.caption).remove('&').toStdString();
        bool opened = false;
        int entries = 0;
        WhenDialogOpens([&](QDialog& dialog) {
            opened = true;
            for (const QListWidget* list : dialog.findChildren<QListWidget*>())
                entries = std::max(entries, list->count());
            dialog.reject();
        });
        dlg->OnEditorCommand(caption);
        EXPECT_TRUE(opened) << caption;
        EXPECT_TRUE(!listed.count(caption) || entries > 0) << caption << " lists nothing";
    }
    EXPECT_TRUE(prompts.Messages().empty()) << prompts.Messages().front();
    EXPECT_EQ(dlg->NotesText().substr(notesBefore), "");
}

} // namespace
