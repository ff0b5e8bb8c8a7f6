// Global > Difficulty... on the demo game that `make run` starts on: health x 2, OK, save with
// the game's compile run, and every monster's hit points in the archive are doubled.

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
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

// The archive's monster table, read through a file as the program reads tables.
bool LoadArchivedMonsters(CTxtTable& table, const std::string& archive, const std::string& file) {
    std::optional<std::string> monstats =
        ReadArchived(archive, "Data\\Global\\Excel\\monstats.txt");
    if (!monstats)
        return false;
    WriteTextFile(file, *monstats);
    return table.Load(file);
}

TEST_F(DemoWindowTest, DoubledHealthReachesTheArchive) {
    CTxtTable before;
    ASSERT_TRUE(LoadArchivedMonsters(before, archive, demo.File("before.txt")));

    OpenDemo();
    ASSERT_TRUE(dlg->m_data.m_MonStats.IsLoaded());

    bool typed = false;
    WhenDialogOpens([&](QDialog& dialog) {
        for (QLineEdit* edit : dialog.findChildren<QLineEdit*>())
            if (edit->accessibleName() == "Mulitply monsters health by") {
                edit->setText("2");
                typed = true;
            }
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == "OK")
                button->click();
    });
    ASSERT_TRUE(dlg->OnEditorCommand("Difficulty..."));
    ASSERT_TRUE(typed);

    prompts.AnswerOkCancel(true); // run the game to compile the tables
    dlg->OnFileSave();

    CTxtTable after;
    ASSERT_TRUE(LoadArchivedMonsters(after, archive, demo.File("after.txt")));
    ASSERT_EQ(after.Rows(), before.Rows());
    const int32_t beforeCol = before.FindColumn("MinHP", 0);
    const int32_t afterCol = after.FindColumn("MinHP", 0);
    ASSERT_GE(beforeCol, 0);
    ASSERT_GE(afterCol, 0);
    int doubled = 0;
    for (int32_t row = 1; row < before.Rows(); ++row) {
        const std::string old = before.GetCell(beforeCol, row);
        const bool number = !old.empty() && (std::isdigit(static_cast<unsigned char>(old[0])));
        EXPECT_EQ(after.GetCell(afterCol, row), number ? std::to_string(std::stoll(old) * 2) : old)
            << "row " << row;
        doubled += number;
    }
    EXPECT_GT(doubled, 1);
}

} // namespace
