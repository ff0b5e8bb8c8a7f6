// The whole road of one change on the demo game that `make run` starts on: open Patch_D2.mpq,
// change a monster's hit points in the monster editor, Apply, OK, save with the game's compile
// run, and find the new value and the compiled tables in the archive.

#include "app/ModEngineDlg.h"

#include "DemoWindowFixture.h"
#include "table/TxtTable.h"

#include "MachineChecks.h"
#include "MpqFixture.h"
#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"

#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

QLineEdit* FieldNamed(QDialog& dialog, const QString& name) {
    for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
        if (edit->accessibleName() == name)
            return edit;
    return nullptr;
}

QPushButton* ButtonNamed(QDialog& dialog, const QString& caption) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == caption)
            return button;
    return nullptr;
}

TEST_F(DemoWindowTest, OpenEditMonsterSaveWithCompileRun) {

    OpenDemo();
    ASSERT_EQ(dlg->NotesText(),
              "Please wait whilst data files are opened...\r\nMPQ Archive has been opened.");
    ASSERT_TRUE(dlg->m_data.m_bBinTables);

    std::string shown;
    WhenDialogOpens([&](QDialog& editor) {
        auto* list = editor.findChild<QListWidget*>();
        ASSERT_NE(list, nullptr);
        ASSERT_GT(list->count(), 1);
        list->setCurrentRow(1);
        shown = list->currentItem()->text().toLatin1().toStdString();
        QLineEdit* maxHp = FieldNamed(editor, "Base max health (Nightmare)");
        ASSERT_NE(maxHp, nullptr);
        maxHp->setText("4321");
        ButtonNamed(editor, "Apply")->click();
        ButtonNamed(editor, "OK")->click();
    });
    dlg->OnEditorCommand("Editor...");
    ASSERT_FALSE(shown.empty());
    EXPECT_TRUE(dlg->m_data.m_bModified);

    prompts.AnswerOkCancel(true); // run the game to compile the tables
    dlg->OnFileSave();
    EXPECT_EQ(prompts.Messages(),
              (std::vector<std::string>{"Click OK when Diablo II has run, and been shut down."}));
    std::string notes = dlg->NotesText();
    EXPECT_EQ(notes.substr(notes.rfind('\n') + 1), "Diablo II has been updated.");
    EXPECT_FALSE(dlg->m_data.m_bModified);

    // Reopen the archive: the monster's row holds the new value.
    std::optional<std::string> monstats =
        ReadArchived(archive, "Data\\Global\\Excel\\monstats.txt");
    ASSERT_TRUE(monstats.has_value());
    WriteTextFile(demo.File("saved.txt"), *monstats);
    CTxtTable saved;
    ASSERT_TRUE(saved.Load(demo.File("saved.txt")));
    int32_t row = saved.FindRow(shown, 1);
    ASSERT_GT(row, 0);
    EXPECT_EQ(saved.GetCell(saved.FindColumn("MaxHP(N)", 0), row), "4321");
    // The compiled tables of the stand-in game run went in through the overrides folder.
    for (const char* name : {"Monstats.bin", "Levels.bin", "armor.bin", "TreasureClassEx.bin"})
        EXPECT_TRUE(ReadArchived(archive, std::string("data\\global\\excel\\") + name).has_value())
            << name;
}

} // namespace
