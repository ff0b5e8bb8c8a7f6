#include "app/EditorCommand.h"
#include "app/ModEngineDlg.h"

#include "LayoutTables.h"
#include "MainWindowFixture.h"

#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using TableId = CGameDataSet::TableId;

class EditorLayoutTest : public MainWindowTest {
protected:
    void LoadLayout(CModEngineDlg& dlg, TableLayout layout) {
        for (TableId id : CGameDataSet::kDeclarationOrder)
            ASSERT_TRUE(dlg.m_data.Table(id).LoadFromBytes(LayoutTableText(id, layout)));
    }

    // Runs the command; a dialog that opens after all is closed at once and reported.
    bool Run(CModEngineDlg& dlg, const CEditorCommand& command) {
        bool opened = false;
        QTimer guard;
        guard.setInterval(0);
        QObject::connect(&guard, &QTimer::timeout, [&opened] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                opened = true;
                dialog->reject();
            }
        });
        guard.start();
        EXPECT_TRUE(dlg.OnEditorCommand(QString(command.caption).remove('&').toStdString()));
        return opened;
    }

    static std::string LastNote(const CModEngineDlg& dlg) {
        std::string notes = dlg.NotesText();
        while (!notes.empty() && notes.back() == '\n')
            notes.pop_back();
        return notes.substr(notes.rfind('\n') + 1);
    }
};

// A table of neither layout keeps every editor that depends on it closed: the user is told
// which table, and nothing is written or marked modified.
TEST_F(EditorLayoutTest, ATableOfNeitherLayoutKeepsItsEditorsClosed) {
    auto dlg = MakeWindow();
    for (const CEditorCommand& command : CEditorCommand::Table()) {
        for (TableId id : command.layoutTables) {
            LoadLayout(*dlg, TableLayout::V110);
            const std::string neither = "key\tvalue\r\nrow\tcell\r\n";
            ASSERT_TRUE(dlg->m_data.Table(id).LoadFromBytes(neither));
            dlg->m_data.m_bModified = false;
            prompts.log.clear();

            EXPECT_FALSE(Run(*dlg, command)) << command.caption;

            const std::string warning =
                CGameDataSet::FileName(id) +
                " does not have a column layout this editor knows (Diablo II 1.07–1.09 or "
                "1.10–1.14d). The editor was not opened; nothing was changed.";
            EXPECT_EQ(prompts.Messages(), std::vector<std::string>{warning}) << command.caption;
            EXPECT_EQ(LastNote(*dlg), warning);
            EXPECT_EQ(dlg->m_data.Table(id).ToBytes(), neither);
            EXPECT_FALSE(dlg->m_data.m_bModified);
        }
    }
}

TEST_F(EditorLayoutTest, LocationsNeedBothTablesInOneLayoutAndMissingColumnsAreNoted) {
    auto dlg = MakeWindow();
    const CEditorCommand* locations = nullptr;
    const CEditorCommand* monsters = nullptr;
    for (const CEditorCommand& command : CEditorCommand::Table()) {
        const QString caption = QString(command.caption).remove('&');
        if (caption == "Locations...")
            locations = &command;
        if (QString(command.menu).remove('&') == "Monsters" && caption == "Editor...")
            monsters = &command;
    }
    ASSERT_TRUE(locations && monsters);

    LoadLayout(*dlg, TableLayout::V109);
    ASSERT_TRUE(
        dlg->m_data.m_Levels.LoadFromBytes(LayoutTableText(TableId::Levels, TableLayout::V110)));
    EXPECT_FALSE(Run(*dlg, *locations));
    ASSERT_EQ(prompts.Messages().size(), 1u);
    EXPECT_EQ(prompts.Messages().front(),
              "Levels.txt and monstats.txt have the column layouts of different game versions "
              "(one of Diablo II 1.07–1.09, the other of 1.10–1.14d), so this editor cannot use "
              "them together. The editor was not opened; nothing was changed.");

    // A known layout with columns missing opens; the notes name what it lacks, once.
    prompts.log.clear();
    ASSERT_TRUE(dlg->m_data.m_MonStats.LoadFromBytes("Class\tnamco\tAC\r\nrow\tzombie\t5\r\n"));
    const size_t before = dlg->NotesText().size();
    EXPECT_TRUE(Run(*dlg, *monsters));
    EXPECT_TRUE(prompts.Messages().empty());
    const std::string added = dlg->NotesText().substr(before);
    EXPECT_NE(added.find("monstats.txt has no column \"Spawned\", \"ToBlock\", \"MinGrp\""),
              std::string::npos)
        << added;
    EXPECT_EQ(added.find("\"AC\""), std::string::npos) << added;
    EXPECT_EQ(added.find("has no column", added.find("has no column") + 1), std::string::npos);
}

} // namespace
