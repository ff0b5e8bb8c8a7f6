// The Global menu's two dialogs through the main window: what OK and Cancel leave in the data
// set and in the settings file.
#include "app/ModEngineDlg.h"
#include "app/TableGrids.h"
#include "editors/CellEdit.h"
#include "platform/ProfileFile.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"
#include "TempFolder.h"

#include <QPushButton>

#include <gtest/gtest.h>

namespace {

class GlobalMenuMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        window = std::make_unique<CModEngineDlg>(prompts);
        LoadRows(window->m_data.m_MonStats, {{"Class", "namco", "MinHP", "MinHP(N)", "MinHP(H)",
                                              "MaxHP", "MaxHP(N)", "MaxHP(H)"},
                                             {"a1", "A1", "10", "10", "10", "10", "10", "10"}});
        LoadRows(
            window->m_data.m_DifficultyLevels,
            {{"Name", "ResistPenalty"}, {"Normal", "0"}, {"Nightmare", "-40"}, {"Hell", "-100"}});
    }

    // Runs the menu command, types `text` into the edit named `field`, then presses `closeWith`.
    void Run(const std::string& command, const QString& field, const QString& text,
             const QString& closeWith) {
        WhenDialogOpens([=](QDialog& dialog) {
            for (CCellEdit* edit : dialog.findChildren<CCellEdit*>())
                if (edit->accessibleName() == field)
                    edit->setText(text);
            for (QPushButton* button : dialog.findChildren<QPushButton*>())
                if (button->text() == closeWith)
                    button->click();
        });
        ASSERT_TRUE(window->OnEditorCommand(command));
    }

    CTempFolder work{true};
    CScriptedPrompts prompts;
    std::unique_ptr<CModEngineDlg> window;
};

TEST_F(GlobalMenuMainWindowTest, GlobalSettingsOkMarksModifiedAndCancelChangesNothing) {
    Run("Difficulty...", "Mulitply monsters health by", "2", "Cancel");
    EXPECT_EQ(window->m_data.m_MonStats.GetCell(2, 1), "10");
    EXPECT_FALSE(window->m_data.m_bModified);
    EXPECT_EQ(CProfileFile::ReadString(window->SettingsPath(), "Global", "HealthMultiplier", "-"),
              "-");

    Run("Difficulty...", "Mulitply monsters health by", "2", "OK");
    EXPECT_EQ(window->m_data.m_MonStats.GetCell(2, 1), "20");
    EXPECT_TRUE(window->m_data.m_bModified);
    EXPECT_EQ(CProfileFile::ReadString(window->SettingsPath(), "Global", "HealthMultiplier", "-"),
              "2");
    // The multiplication is one step that Edit > Undo takes back.
    window->Grids().UndoStack().undo();
    EXPECT_EQ(window->m_data.m_MonStats.GetCell(2, 1), "10");
    window->Grids().UndoStack().redo();

    // OK counts as a change even when nothing changed.
    window->m_data.m_bModified = false;
    Run("Difficulty...", "Mulitply monsters health by", "1", "OK");
    EXPECT_EQ(window->m_data.m_MonStats.GetCell(2, 1), "20");
    EXPECT_TRUE(window->m_data.m_bModified);
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(GlobalMenuMainWindowTest, DifficultyOkKeepsTheTypedValueAndCancelPutsTheTableBack) {
    const TableRows before = CellsOf(window->m_data.m_DifficultyLevels);
    Run("Resistances and Penalties...", "Resistances penalty (Hell)", "-60", "Cancel");
    EXPECT_EQ(CellsOf(window->m_data.m_DifficultyLevels), before);
    EXPECT_FALSE(window->m_data.m_bModified);

    Run("Resistances and Penalties...", "Resistances penalty (Hell)", "-60", "OK");
    EXPECT_EQ(window->m_data.m_DifficultyLevels.GetCell(1, 3), "-60");
    EXPECT_TRUE(window->m_data.m_bModified);
    EXPECT_TRUE(prompts.log.empty());
}

} // namespace
