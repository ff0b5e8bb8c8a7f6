// Monsters > Locations... through the main window: what OK and Cancel leave in the data set.
#include "app/ModEngineDlg.h"
#include "editors/FilterList.h"

#include "MonsterLocationsFixture.h"
#include "TempFolder.h"

#include <QPushButton>

namespace {

class MonsterLocationsMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        window = std::make_unique<CModEngineDlg>(prompts);
        LoadRows(window->m_data.m_MonStats,
                 {{"Class", "namco", "Spawned"}, {"a1", "Alpha", "1"}, {"b1", "Beta", "0"}});
        LevelsTable().Add("Camp", {0}).Add("Camp").LoadInto(window->m_data.m_Levels);
    }

    // Runs the dialog, adds Beta to the camp's monsters, then presses `closeWith`.
    void RunLocations(const QString& closeWith) {
        WhenDialogOpens([=](QDialog& dialog) {
            auto* locations = qobject_cast<CMonsterLocationsDlg*>(&dialog);
            ASSERT_NE(locations, nullptr);
            EXPECT_EQ(locations->windowTitle(), "Monster area locations");
            locations->MonsterList()->SelectRow(2);
            for (QPushButton* button : dialog.findChildren<QPushButton*>())
                if (button->accessibleName() == "Add >> Monster types appearing in area")
                    button->click();
            for (QPushButton* button : dialog.findChildren<QPushButton*>())
                if (button->text() == closeWith)
                    button->click();
        });
        window->OnEditorCommand("Locations...");
    }

    CTempFolder work{true};
    CScriptedPrompts prompts;
    std::unique_ptr<CModEngineDlg> window;
};

TEST_F(MonsterLocationsMainWindowTest, OkKeepsTheAreasAndCancelPutsOnlyTheLevelsTableBack) {
    const std::string levels = window->m_data.m_Levels.ToBytes();
    RunLocations("Cancel");
    EXPECT_EQ(prompts.Messages().size(), 1u); // Beta's first use
    EXPECT_EQ(window->m_data.m_Levels.ToBytes(), levels);
    EXPECT_EQ(LevelsCell(window->m_data.m_MonStats, "Spawned", 2), "1");
    EXPECT_FALSE(window->m_data.m_bModified);

    RunLocations("OK");
    EXPECT_EQ(Slots(window->m_data.m_Levels, "M", 1, 3), (std::vector<std::string>{"0", "1", "0"}));
    EXPECT_EQ(LevelsCell(window->m_data.m_Levels, "Mtot", 1), "2");
    EXPECT_TRUE(window->m_data.m_bModified);
}

TEST_F(MonsterLocationsMainWindowTest, TheDialogOpensOnTheAreaShownInTheLastRun) {
    for (int area : {1, -1}) {
        int opened = -2;
        WhenDialogOpens([&opened, area](QDialog& dialog) {
            auto& locations = static_cast<CMonsterLocationsDlg&>(dialog);
            opened = locations.AreaBox()->currentIndex();
            if (area >= 0)
                locations.AreaBox()->setCurrentIndex(area);
            dialog.reject();
        });
        window->OnEditorCommand("Locations...");
        EXPECT_EQ(opened, area < 0 ? 1 : 0);
    }
}

} // namespace
