#include "app/AllTablesCommands.h"
#include "app/ModEngineDlg.h"
#include "editors/FrozenColumnTable.h"
#include "editors/TableGridDlg.h"
#include "editors/TablesDlg.h"
#include "platform/ProfileFile.h"

#include "MainWindowFixture.h"
#include "MpqFixture.h"

#include <QTreeWidget>

namespace {

class AllTablesTest : public MainWindowTest {
protected:
    CTempFolder game;
};

// A table only the game's archive holds is found by its name, edited in its grid and saved into
// the opened archive: the saved table differs from the game's in that one cell, byte for byte
// (LF line ends, a short row and no final line end included). The Tables window and the notes
// count the change against the game's copy.
TEST_F(AllTablesTest, ATableOfTheGameIsFoundEditedAndSavedByteForByte) {
    const std::string cube = "description\tenabled\tinput 1\nRing\t1\n \tx\t\xE9\t\tsurplus";
    ArchiveFiles nine;
    for (CGameDataSet::TableId id : CGameDataSet::kDeclarationOrder)
        nine.emplace_back(CGameDataSet::ArchivePath(id), "name\r\nbase\r\n");
    ArchiveFiles gameFiles = nine;
    gameFiles.emplace_back("Data\\Global\\Excel\\CubeMain.txt", cube);
    ASSERT_TRUE(MakeArchive(game.File("d2data.mpq"), gameFiles));
    ASSERT_TRUE(MakeArchive(game.File("mod.mpq"), nine));
    CProfileFile::WriteString(work.File("Tarvane.ini"), "Diablo II", "Folder", game.Path());
    auto dlg = MakeWindow();
    ASSERT_TRUE(dlg->OpenArchive(game.File("mod.mpq")));

    auto linesOfTables = [&] {
        QStringList lines;
        WhenDialogOpens([&](QDialog& open) {
            const QTreeWidget* list = dynamic_cast<CTablesDlg&>(open).List();
            for (int i = 0; i < list->topLevelItemCount(); ++i)
                if (list->topLevelItem(i)->text(0) == "CubeMain.txt")
                    lines << list->topLevelItem(i)->text(1) << list->topLevelItem(i)->text(2);
            open.reject();
        });
        FindItem(*dlg, "Misc", "Tables...")->trigger();
        return lines;
    };
    EXPECT_EQ(linesOfTables(), (QStringList{"a game archive", "none"}));

    WhenDialogOpens([](QDialog& open) {
        QAbstractItemModel* model = dynamic_cast<CTableGridDlg&>(open).View()->model();
        EXPECT_TRUE(model->setData(model->index(0, 1), "0"));
        open.reject();
    });
    dlg->AllTables().OpenGrid("cubemain.txt", 1, 1, dlg.get());
    EXPECT_TRUE(dlg->m_data.m_bModified);
    EXPECT_EQ(linesOfTables(), (QStringList{"a game archive", "1 cell"}));

    dlg->OnFileSave();
    EXPECT_EQ(ReadArchived(game.File("mod.mpq"), "Data\\Global\\Excel\\CubeMain.txt"),
              "description\tenabled\tinput 1\nRing\t0\n \tx\t\xE9\t\tsurplus");
    EXPECT_NE(dlg->NotesText().find("\n1 table differs from the game's: 1 cell, 0 rows added\r\n"),
              std::string::npos);
    // Saved into the opened archive, the table is this archive's now.
    EXPECT_EQ(linesOfTables(), (QStringList{"this archive", "1 cell"}));
}

} // namespace
