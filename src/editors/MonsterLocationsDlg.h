#pragma once

#include "editors/EditorDlg.h"
#include "editors/FilterList.h"
#include "editors/TableLayout.h"

#include <cstdint>
#include <string>
#include <vector>

class CCellEdit;
class CModFuncs;
class CTxtTable;
class CUserPrompts;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;

// Monsters > Locations...: which monster types appear in each area of the levels table, which
// can be its bosses, and how many bosses it holds. Every Add, Remove and typed boss count goes
// into the tables at once; OK only closes, and the main window undoes a Cancel on the levels
// table. A first use of a monster sets its "Spawned" cell in the monster table.
// Tables of game versions 1.10 to 1.14d keep their own monster types and boss counts for each
// difficulty; a drop-down then chooses which of them are shown.
class CMonsterLocationsDlg : public CEditorDlg {
    Q_OBJECT
public:
    static constexpr const char* kTitle = "Monster area locations";

    // The columns read and written in the table of `id` of that layout.
    static std::vector<std::string> NeededHeaders(CGameDataSet::TableId id, TableLayout layout);

    explicit CMonsterLocationsDlg(CUserPrompts& prompts, QWidget* parent = nullptr);

    // Inputs, set before exec(); not owned.
    CTxtTable* m_pMonTable = nullptr;
    CTxtTable* m_pLvlTable = nullptr;
    CModFuncs* m_pFuncs = nullptr;
    // The expansion's areas and monsters follow the tables' "Expansion" rows.
    bool m_bExpansion = false;
    // The column layout of both tables.
    TableLayout m_layout = TableLayout::V109;

    // Handlers, public so that tests can drive the dialog without a modal loop.
    // Fills the lists and shows the first area; false (after the message) when an input is
    // missing.
    bool OnInitDialog() override;
    void OnApply() override {}
    void OnAreaChange();
    void OnDifficultyChange();
    void OnAddMonster();
    void OnRemoveMonster();
    void OnAddBoss();
    void OnRemoveBoss();

    // Remembers the shown area for the next run, as the other editors remember their entry.
    void done(int result) override;

    QComboBox* AreaBox() const { return m_comboArea; }
    // Normal, Nightmare, Hell; shown for the newer layout only.
    QComboBox* DifficultyBox() const { return m_comboDifficulty; }
    QLabel* MonstersCaption() const { return m_monsters.caption; }
    QLabel* BossesNote() const { return m_labelBossesNote; }
    CFilterList* MonsterList() const { return m_pMonsters; }
    QListWidget* AreaMonsters() const { return m_listMonsters; }
    QListWidget* AreaBosses() const { return m_listBosses; }
    CCellEdit* MinBossesEdit() const { return m_editMin; }
    CCellEdit* MaxBossesEdit() const { return m_editMax; }

protected:
    // Nothing waits to be applied: every change is written as it is made.
    bool HasUnappliedChanges() const override { return false; }
    void ShowRow(int32_t) override {}

private:
    // One of the two slot lists of an area: what it shows and every type it stores, hidden
    // ones too, as the table holds them: monster rows in the older layout, Ids in the newer.
    struct SlotList {
        QListWidget* list = nullptr;
        QLabel* caption = nullptr;
        QPushButton* add = nullptr;
        QPushButton* remove = nullptr;
        std::vector<std::string> stored;
        bool bosses = false;
    };

    bool IsNewLayout() const { return HasColumnsOf110(m_layout); }
    // The difficulty shown: 0 Normal, 1 Nightmare, 2 Hell; always Normal in the older layout.
    int Difficulty() const;
    // The slots of a list in the newer layout for the difficulty shown.
    const char* SlotPrefix(const SlotList& kind) const;
    void ShowDifficulty();
    void KeepLayoutAcrossDifficulties();
    // The areas of the levels table in table order, each named as the list shows it.
    std::vector<CFilterList::Entry> AreaEntries() const;
    // What a slot list shows for a monster of this row and name.
    QString SlotText(int32_t row, const QString& name) const;
    void LoadArea();
    void ShowCounts(bool shown);
    QString EntryTip(int32_t row) const;
    void ShowSlots(SlotList& kind);
    void Add(SlotList& kind);
    void Remove(SlotList& kind);
    bool WriteSlots(const SlotList& kind);

    QComboBox* m_comboArea = nullptr;
    QComboBox* m_comboDifficulty = nullptr;
    QLabel* m_labelDifficulty = nullptr;
    QLabel* m_labelBossesNote = nullptr;
    CFilterList* m_pMonsters = nullptr;
    QListWidget* m_listMonsters = nullptr;
    QListWidget* m_listBosses = nullptr;
    CCellEdit* m_editMin = nullptr;
    CCellEdit* m_editMax = nullptr;

    // The levels-table row of the area shown; -1 when there is none.
    int32_t m_nArea = -1;
    SlotList m_monsters;
    SlotList m_bosses;
};
