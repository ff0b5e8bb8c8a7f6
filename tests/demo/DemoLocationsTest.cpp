// One change of the area locations on the demo game that `make run` starts on: add a monster
// type to an area, OK, save with the game's compile run, and find it in the archive's levels
// table in the area's next slot with the count raised.

#include "app/ModEngineDlg.h"

#include "DemoWindowFixture.h"
#include "editors/FilterList.h"
#include "editors/MonsterLocationsDlg.h"
#include "table/TxtTable.h"

#include "MachineChecks.h"
#include "MpqFixture.h"
#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"

#include <QComboBox>
#include <QDialog>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

namespace {

int32_t CellInt(const CTxtTable& table, const std::string& header, int32_t row) {
    return std::stoi(table.GetCell(table.FindColumn(header, 0), row));
}

TEST_F(DemoWindowTest, AddAMonsterToAnAreaAndSave) {

    OpenDemo();
    ASSERT_TRUE(dlg->m_data.m_Levels.IsLoaded());

    std::string areaName;
    int32_t area = -1;
    int32_t monster = -1;
    int32_t countBefore = -1;
    WhenDialogOpens([&](QDialog& dialog) {
        auto* locations = qobject_cast<CMonsterLocationsDlg*>(&dialog);
        ASSERT_NE(locations, nullptr);
        ASSERT_GT(locations->AreaBox()->count(), 1);
        locations->AreaBox()->setCurrentIndex(1);
        area = locations->AreaBox()->currentData().toInt();
        areaName = locations->AreaBox()->currentText().toStdString();
        countBefore = CellInt(dlg->m_data.m_Levels, "Mtot", area);
        ASSERT_GT(locations->MonsterList()->List()->count(), 1);
        locations->MonsterList()->List()->setCurrentRow(1);
        monster = locations->MonsterList()->CurrentRow();
        locations->OnAddMonster();
        for (QPushButton* button : dialog.findChildren<QPushButton*>())
            if (button->text() == "OK")
                button->click();
    });
    dlg->OnEditorCommand("Locations...");
    ASSERT_GT(area, 0);
    ASSERT_GT(monster, 0);
    ASSERT_LT(countBefore, 25);
    EXPECT_TRUE(dlg->m_data.m_bModified);

    prompts.AnswerOkCancel(true); // run the game to compile the tables
    dlg->OnFileSave();
    std::string notes = dlg->NotesText();
    EXPECT_EQ(notes.substr(notes.rfind('\n') + 1), "Diablo II has been updated.");
    EXPECT_FALSE(dlg->m_data.m_bModified);

    std::optional<std::string> levels = ReadArchived(archive, "Data\\Global\\Excel\\Levels.txt");
    ASSERT_TRUE(levels.has_value());
    CTxtTable saved;
    ASSERT_TRUE(saved.LoadFromBytes(*levels));
    ASSERT_EQ(saved.FindRow(areaName, 0), area);
    EXPECT_EQ(CellInt(saved, "Mtot", area), countBefore + 1);
    EXPECT_EQ(CellInt(saved, "M" + std::to_string(countBefore + 1), area), monster - 1);
}

} // namespace
