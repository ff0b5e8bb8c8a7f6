#include "app/AllTablesCommands.h"
#include "app/TableGrids.h"
#include "editors/FrozenColumnTable.h"
#include "editors/ProblemsPane.h"
#include "editors/TableGridDlg.h"
#include "platform/ProfileFile.h"

#include "MainWindowFixture.h"
#include "MpqFixture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTreeWidget>

namespace {

// The Problems pane follows the opened mod: found on open, gone after the edit that mends it,
// back after its undo; File > Save notes how many there are and saves all the same. A disabled
// recipe is not checked.
TEST_F(MainWindowTest, TheProblemsPaneFollowsEditsAndTheSaveNotesTheCount) {
    CTempFolder game;
    ArchiveFiles nine;
    for (CGameDataSet::TableId id : CGameDataSet::kDeclarationOrder)
        nine.emplace_back(CGameDataSet::ArchivePath(id), "name\r\nbase\r\n");
    ArchiveFiles gameFiles = nine;
    gameFiles.emplace_back("Data\\Global\\Excel\\CubeMain.txt",
                           "description\tenabled\tinput 1\r\nRing\t1\r\nOld\t0\r\n");
    ASSERT_TRUE(MakeArchive(game.File("d2data.mpq"), gameFiles));
    ASSERT_TRUE(MakeArchive(game.File("mod.mpq"), nine));
    CProfileFile::WriteString(work.File("Tarvane.ini"), "Diablo II", "Folder", game.Path());
    auto dlg = MakeWindow();
    ASSERT_TRUE(dlg->OpenArchive(game.File("mod.mpq")));
    CProblemsPane* pane = dlg->findChild<CProblemsPane*>();
    ASSERT_NE(pane, nullptr);
    auto shown = [&] {
        QCoreApplication::processEvents();
        QStringList lines{pane->Caption()->text()};
        for (int i = 0; i < pane->List()->topLevelItemCount(); ++i)
            if (pane->List()->topLevelItem(i)->text(0) == "CubeMain.txt")
                lines << pane->List()->topLevelItem(i)->text(1) + ": " +
                             pane->List()->topLevelItem(i)->text(4);
        return lines;
    };
    const QStringList found{"&Problems: 1", "Ring: the row has 2 cells and the header 3."};
    EXPECT_EQ(shown(), found);

    WhenDialogOpens([](QDialog& open) {
        QAbstractItemModel* model = dynamic_cast<CTableGridDlg&>(open).View()->model();
        EXPECT_TRUE(model->setData(model->index(0, 2), "r01"));
        open.reject();
    });
    dlg->AllTables().OpenGrid("CubeMain.txt", 2, 1, dlg.get());
    EXPECT_EQ(shown(), QStringList{"&Problems: none"});
    dlg->Grids().UndoStack().undo();
    EXPECT_EQ(shown(), found);

    dlg->OnFileSave();
    EXPECT_NE(dlg->NotesText().find("\r\n1 problem found (see Problems)\r\n"), std::string::npos);
    EXPECT_FALSE(dlg->m_data.m_bModified);
}

} // namespace
