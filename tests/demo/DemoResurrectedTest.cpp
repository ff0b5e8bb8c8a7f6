// The Resurrected demo, `make run DEMO=d2r`: a game folder of extracted tables and an empty mod
// folder. The mod opens on the game's tables, every editor takes them for Resurrected's layout,
// and a change saved goes into the mod folder with the classic realm's copy.

#include "app/ModEngineDlg.h"
#include "app/ModFolderCommands.h"
#include "editors/TableLayout.h"

#include "DemoWindowFixture.h"

#include <filesystem>

namespace {

using TableId = CGameDataSet::TableId;

class DemoResurrectedTest : public DemoWindowTest {
protected:
    void SetUp() override {
        EnsureQApplication();
        ASSERT_EQ(QProcess::execute(TARVANE_MAKE_DEMO_GAME,
                                    {TARVANE_DEMO_SOURCE, demo.Path().c_str(),
                                     TARVANE_DEMO_SOURCE "/tables-d2r", "resurrected"}),
                  0);
    }
};

TEST_F(DemoResurrectedTest, TheModOpensOnResurrectedTablesAndSavesIntoItsFolder) {
    work.emplace(demo.File("work"));
    dlg = std::make_unique<CModEngineDlg>(prompts);
    ASSERT_TRUE(dlg->ModFolder().Open(demo.File("game/mods/demo")));
    for (TableId id : {TableId::MonStats, TableId::Levels, TableId::UniqueItems, TableId::Armor,
                       TableId::Weapons, TableId::DifficultyLevels})
        EXPECT_EQ(DetectTableLayout(dlg->m_data.Table(id), id), TableLayout::D2R)
            << CGameDataSet::FileName(id);
    EXPECT_FALSE(dlg->m_data.m_MonItemPercent.IsLoaded());

    ASSERT_TRUE(dlg->m_data.m_MonStats.SetCell(2, 1, "x"));
    dlg->OnFileSave();
    const std::string excel = demo.File("game/mods/demo/demo.mpq/data/global/excel/");
    EXPECT_EQ(ReadTextFile(excel + "monstats.txt"), ReadTextFile(excel + "base/monstats.txt"));
    EXPECT_FALSE(std::filesystem::exists(excel + "Levels.txt"));
    EXPECT_TRUE(prompts.Messages().empty());
}

} // namespace
