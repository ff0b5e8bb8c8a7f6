// The monster editor on the tables of both game layouts: 1.07–1.09 ("Class", "namco") and
// 1.10–1.14d ("Id", "NameStr", renamed statistics).
#include "MonsterEditorFixture.h"

namespace {

// The newer name of an older statistic column; the suffix "(N)" or "(H)" stays.
std::string NewerHeader(const std::string& header) {
    // Only the Normal hit points changed case: the game spells the others "MinHP(N)".
    if (header == "MinHP" || header == "MaxHP")
        return "m" + header.substr(1);
    static const std::pair<std::string, std::string> renamed[] = {
        {"Spawned", "isSpawn"},    {"A1ToHit", "A1TH"},      {"A2ToHit", "A2TH"},
        {"DamageResist", "ResDm"}, {"MagicResist", "ResMa"}, {"FireResist", "ResFi"},
        {"LightResist", "ResLi"},  {"ColdResist", "ResCo"},  {"PoisonResist", "ResPo"}};
    for (const auto& [older, newer] : renamed)
        if (header.rfind(older, 0) == 0)
            return newer + header.substr(older.size());
    return header;
}

class MonsterEditorLayoutsTest : public MonsterEditorTest,
                                 public ::testing::WithParamInterface<TableLayout> {
protected:
    bool Newer() const { return GetParam() == TableLayout::V110; }
    std::string Header(const std::string& older) const {
        return Newer() ? NewerHeader(older) : older;
    }

    // Each row: the key and the name ("Class" and "namco", or "Id" and "NameStr"), a filler,
    // then every statistic holding a number unique to its row and column.
    void Load(const TableRows& monsters) {
        TableRows rows = {{Newer() ? "Id" : "Class", Newer() ? "NameStr" : "namco", "Level"}};
        for (const auto& field : FieldColumns())
            rows[0].push_back(Header(field.second));
        for (const auto& monster : monsters) {
            rows.push_back({monster[0], monster[1], "lvl"});
            for (size_t col = 3; col < rows[0].size(); ++col)
                rows.back().push_back(std::to_string(rows.size() * 1000 + col));
        }
        LoadRows(table, rows);
    }

    // Expects every edit to show its cell of `row` in this layout.
    void ExpectShowsRow(CMonsterEditorDlg& dlg, int32_t row) {
        for (const auto& [name, header] : FieldColumns())
            EXPECT_EQ(Edit(dlg, name)->text().toLatin1().toStdString(),
                      Cell(table, Header(header), row))
                << name;
    }

    std::unique_ptr<CMonsterEditorDlg> OpenIn(bool expansion = false) {
        auto dlg = std::make_unique<CMonsterEditorDlg>(prompts);
        dlg->m_pMonTable = &table;
        dlg->m_pFuncs = &funcs;
        dlg->m_bExpansion = expansion;
        dlg->m_layout = GetParam();
        dlg->m_strSettingsPath = settings;
        EXPECT_TRUE(dlg->OnInitDialog());
        return dlg;
    }

    CTempFolder folder;
    std::string settings = folder.File("Tarvane.ini");
};

INSTANTIATE_TEST_SUITE_P(BothLayouts, MonsterEditorLayoutsTest,
                         ::testing::Values(TableLayout::V109, TableLayout::V110),
                         [](const auto& info) {
                             return info.param == TableLayout::V110 ? "Newer" : "Older";
                         });

TEST_P(MonsterEditorLayoutsTest, ListsEachMonsterByItsLayoutsRulesWithItsOwnRow) {
    // Key and name of each row; the newer layout names a monster by its string-table key,
    // which many share, and its key is doubled in the game's own table.
    Load({{"z1", "Zed"},
          {"Null", "Nobody"},
          {"", "Keyless"},
          {"box1", ""},
          {"dummy", "Dummy"},
          {"unused", "unused"},
          {"lancer", "Lancer"},
          {"lancer", "Lancer"},
          {"Expansion", Newer() ? "" : "Expansion"},
          {"baal", "Baal"}});
    auto dlg = OpenIn(false);
    if (Newer())
        EXPECT_EQ(Listed(*dlg),
                  (QStringList{"lancer (Lancer) (row 7)", "lancer (Lancer) (row 8)", "z1 (Zed)"}));
    else
        EXPECT_EQ(Listed(*dlg), (QStringList{"Lancer (row 7)", "Lancer (row 8)", "Nobody", "Zed"}));
    EXPECT_EQ(dlg->MonsterList()->item(0)->toolTip(), "lancer, row 7");
    EXPECT_EQ(dlg->MonsterList()->item(1)->toolTip(), "lancer, row 8");
    ExpectShowsRow(*dlg, 7);
    Select(*dlg, Listed(*dlg)[1]);
    ExpectShowsRow(*dlg, 8);

    dlg = OpenIn(true);
    EXPECT_EQ(Listed(*dlg).size(), Newer() ? 4 : 5);
    EXPECT_TRUE(Listed(*dlg).contains(Newer() ? "baal (Baal)" : "Baal"));

    // The monster shown last is shown again, in either layout.
    const QString zed = Newer() ? "z1 (Zed)" : "Zed";
    Select(*dlg, zed);
    dlg->show();
    dlg->OnOK();
    EXPECT_EQ(CProfileFile::ReadString(settings, "Tarvane", "MonsterEditorSelected", ""), "z1");
    EXPECT_EQ(OpenIn()->MonsterList()->currentItem()->text(), zed);
    EXPECT_TRUE(prompts.log.empty());
}

TEST_P(MonsterEditorLayoutsTest, ApplyWritesTheTypedFieldsAndNoOtherByte) {
    Load({{"a1", "Alpha"}, {"b1", "Beta"}});
    table.SetCell(table.FindColumn(Header("FireResist(H)"), 0), 2, "-25");
    auto dlg = OpenIn();
    Select(*dlg, Newer() ? "b1 (Beta)" : "Beta");
    ExpectShowsRow(*dlg, 2);
    EXPECT_EQ(Edit(*dlg, "Resist fire (Hell)")->text(), "-25");
    EXPECT_EQ(Edit(*dlg, "Spawned")->toolTip().toStdString(), Header("Spawned"));

    CTxtTable expected;
    ASSERT_TRUE(expected.LoadFromBytes(table.ToBytes()));
    const std::pair<const char*, const char*> typed[] = {{"Spawned", "Spawned"},
                                                         {"Base min health (Normal)", "MinHP"},
                                                         {"To hit Attack 2 (Hell)", "A2ToHit(H)"}};
    for (const auto& [edit, header] : typed) {
        Edit(*dlg, edit)->setText("7");
        expected.SetCell(expected.FindColumn(Header(header), 0), 2, "7");
    }
    // The hidden box marks an older monster unused; the newer name is a string-table key and
    // never written.
    dlg->findChild<QCheckBox*>()->setChecked(true);
    if (!Newer())
        expected.SetCell(0, 2, "unused");
    dlg->OnApply();
    EXPECT_EQ(table.ToBytes(), expected.ToBytes());
}

} // namespace
