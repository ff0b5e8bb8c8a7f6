#include "app/ModEngineDlg.h"
#include "platform/ProfileFile.h"

#include "MainWindowFixture.h"

#include <filesystem>

namespace {

namespace fs = std::filesystem;

class ModFolderTest : public MainWindowTest {
protected:
    // The game's extracted tables: the nine but MonItemPercent, and the classic realm's copies of
    // two of them under base/, which differ from the expansion's in a row and a column.
    void WriteGameTables() {
        const std::string excel = game.File("tables/data/global/excel");
        fs::create_directories(excel + "/base");
        fs::create_directories(game.File("mods"));
        for (CGameDataSet::TableId id : CGameDataSet::kDeclarationOrder)
            if (id != CGameDataSet::TableId::MonItemPercent)
                WriteTextFile(excel + "/" + CGameDataSet::FileName(id),
                              "name\tvalue\r\nfirst\t1\r\nsecond\t2\r\n");
        WriteTextFile(excel + "/monstats.txt", kMonsters);
        WriteTextFile(excel + "/base/monstats.txt", kClassicMonsters);
        WriteTextFile(excel + "/UniqueItems.txt", kUniques);
        WriteTextFile(excel + "/base/UniqueItems.txt", kUniques);
        CProfileFile::WriteString(work.File("Tarvane.ini"), "Resurrected", "TablesFolder",
                                  game.File("tables"));
    }

    // The files of the mod's .mpq folder, by their path in it.
    std::vector<std::string> ModFiles() const {
        std::vector<std::string> files;
        const fs::path root = game.File("mods/mymod/mymod.mpq");
        for (const auto& entry : fs::recursive_directory_iterator(root))
            if (entry.is_regular_file())
                files.push_back(fs::relative(entry.path(), root).generic_string());
        std::sort(files.begin(), files.end());
        return files;
    }

    static constexpr const char* kMonsters =
        "Id\thcIdx\tMinGrp\t*hcIdx\r\nzombie\t0\t2\tnote\r\nskeleton\t1\t3\t\r\n";
    static constexpr const char* kClassicMonsters =
        "Id\thcIdx\tMinGrp\r\nskeleton\t1\t3\r\nzombie\t0\t2\r\n";
    static constexpr const char* kUniques = "index\tlvl\r\nThe Gnasher\t5\r\nAxe\t7\r\n";
    CTempFolder game;
};

// A new mod folder, a monster and a unique item changed and saved: the mod folder holds exactly
// the two tables and their classic copies, each the game's bytes but for the changed cell, found
// by key in the classic copy; opened again, the tables hold the changes.
TEST_F(ModFolderTest, ANewModSavesTheChangedTablesInBothRealms) {
    WriteGameTables();
    auto dlg = MakeWindow();
    prompts.AnswerSaveFile(game.File("mods/mymod"));
    FindItem(*dlg, "File", "New Mod Folder...")->trigger();
    EXPECT_EQ(ReadTextFile(game.File("mods/mymod/mymod.mpq/modinfo.json")),
              "{\"name\": \"mymod\", \"savepath\": \"mymod/\"}");
    EXPECT_EQ(dlg->windowTitle(), "mymod (mod folder) - Morsk's Tarvane Diablo II");

    ASSERT_TRUE(dlg->m_data.m_MonStats.SetCell(2, 1, "4")); // zombie's MinGrp
    ASSERT_TRUE(dlg->m_data.m_UniqueItems.SetCell(1, 2, "9"));
    dlg->m_data.m_bModified = true;
    dlg->OnFileSave();
    EXPECT_FALSE(dlg->m_data.m_bModified);
    EXPECT_EQ(ModFiles(),
              (std::vector<std::string>{"data/global/excel/UniqueItems.txt",
                                        "data/global/excel/base/UniqueItems.txt",
                                        "data/global/excel/base/monstats.txt",
                                        "data/global/excel/monstats.txt", "modinfo.json"}));
    const std::string excel = game.File("mods/mymod/mymod.mpq/data/global/excel/");
    EXPECT_EQ(ReadTextFile(excel + "monstats.txt"),
              "Id\thcIdx\tMinGrp\t*hcIdx\r\nzombie\t0\t4\tnote\r\nskeleton\t1\t3\t\r\n");
    EXPECT_EQ(ReadTextFile(excel + "base/monstats.txt"),
              "Id\thcIdx\tMinGrp\r\nskeleton\t1\t3\r\nzombie\t0\t4\r\n");
    const std::string uniques = "index\tlvl\r\nThe Gnasher\t5\r\nAxe\t9\r\n";
    EXPECT_EQ(ReadTextFile(excel + "UniqueItems.txt"), uniques);
    EXPECT_EQ(ReadTextFile(excel + "base/UniqueItems.txt"), uniques);

    auto again = MakeWindow();
    ASSERT_TRUE(again->OpenArchive(game.File("mods/mymod")));
    EXPECT_EQ(again->m_data.m_MonStats.GetCell(2, 1), "4");
    EXPECT_EQ(again->m_data.m_UniqueItems.GetCell(1, 2), "9");
    EXPECT_FALSE(FindItem(*again, "File", "Backup")->isEnabled());
}

} // namespace
