#include "editors/MonsterLocationsDlg.h"

#include "editors/CellEdit.h"
#include "editors/CellText.h"
#include "editors/FilterList.h"
#include "editors/LevelSlotList.h"
#include "editors/ModFuncs.h"
#include "editors/MonsterRecord.h"
#include "platform/AsciiText.h"
#include "platform/ProfileFile.h"
#include "platform/UserPrompts.h"
#include "table/TxtTable.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kRowRole = Qt::UserRole;
// What the area stores for the entry, which Remove takes away.
constexpr int kStoredRole = Qt::UserRole + 1;
// The settings key of the area shown last, by its levels-table row.
constexpr const char* kSection = "Tarvane";
constexpr const char* kAreaKey = "MonsterLocationsArea";

enum DifficultyIndex { kNormal, kNightmare, kHell };

constexpr const char* kMonstersCaption = "Monster types appearing in area";

// The caption of the monster types of a difficulty: Nightmare and Hell say they share them.
QString MonsterTypesCaption(int difficulty) {
    switch (difficulty) {
    case kNightmare:
        return QString(kMonstersCaption) + " (shared with Hell)";
    case kHell:
        return QString(kMonstersCaption) + " (shared with Nightmare)";
    default:
        return kMonstersCaption;
    }
}

constexpr const char* kBossesNote =
    "Nightmare and Hell take champions and uniques from the monster list";

std::string TooManyTypes(int32_t limit) {
    return "You cannot have more than " + std::to_string(limit) +
           " different types per area. You must remove some from the list before adding any "
           "more.";
}

constexpr const char* kUnusedMonster =
    "] is not currently used in any area of the game.\nThis may not work, or fail to appear.";
constexpr const char* kSetSpawned =
    "\nYou may also need to set spawned to 1 in the monster editor for this monster";

bool NameLess(const QString& a, const QString& b) {
    return LessIgnoringAsciiCase(TextToCell(a).value_or(""), TextToCell(b).value_or(""));
}

// Puts an entry carrying its monster row and stored text into a list sorted by name, after its
// equals. The tooltip tells same-named monsters apart, as the monster list does.
void InsertSorted(QListWidget& list, const QString& name, int32_t row, const QString& tip,
                  const std::string& stored) {
    int at = 0;
    while (at < list.count() && !NameLess(name, list.item(at)->text()))
        ++at;
    auto* item = new QListWidgetItem(name);
    item->setData(kRowRole, row);
    item->setData(kStoredRole, CellToText(stored));
    item->setToolTip(tip);
    list.insertItem(at, item);
}

} // namespace

std::vector<std::string> CMonsterLocationsDlg::NeededHeaders(CGameDataSet::TableId id,
                                                             TableLayout layout) {
    const bool v110 = HasColumnsOf110(layout);
    if (id == CGameDataSet::TableId::MonStats) {
        if (v110)
            return {"Id", "NameStr", "isSpawn"};
        return {"namco", "Class", "Spawned"};
    }
    if (id != CGameDataSet::TableId::Levels)
        return {};
    if (!v110)
        return {LevelsHeaders::kName,         LevelsHeaders::kFirstMonster,
                LevelsHeaders::kMonsterCount, LevelsHeaders::kFirstBoss,
                LevelsHeaders::kBossCount,    LevelsHeaders::kMinBosses,
                LevelsHeaders::kMaxBosses};
    std::vector<std::string> headers = {LevelsHeadersV110::kName};
    for (const char* kind : CLevelSlotList::kKinds)
        headers.push_back(std::string(kind) + "1");
    for (size_t d = 0; d < LevelsHeadersV110::kMinBosses.size(); ++d) {
        headers.push_back(LevelsHeadersV110::kMinBosses[d]);
        headers.push_back(LevelsHeadersV110::kMaxBosses[d]);
    }
    return headers;
}

CMonsterLocationsDlg::CMonsterLocationsDlg(CUserPrompts& prompts, QWidget* parent)
    : CEditorDlg(prompts, "MonsterLocations", parent) {
    setWindowTitle(kTitle);
    m_monsters.bosses = false;
    m_bosses.bosses = true;

    auto* fields = new QWidget(this);
    m_comboArea = new QComboBox(fields);
    m_comboArea->setAccessibleName("Area");
    auto* areaLabel = new QLabel("Area", fields);
    areaLabel->setBuddy(m_comboArea);
    connect(m_comboArea, &QComboBox::currentIndexChanged, this,
            &CMonsterLocationsDlg::OnAreaChange);
    m_comboDifficulty = new QComboBox(fields);
    m_comboDifficulty->setAccessibleName("Difficulty");
    m_comboDifficulty->addItems({"Normal", "Nightmare", "Hell"});
    m_labelDifficulty = new QLabel("Difficulty", fields);
    m_labelDifficulty->setBuddy(m_comboDifficulty);
    connect(m_comboDifficulty, &QComboBox::currentIndexChanged, this,
            &CMonsterLocationsDlg::OnDifficultyChange);

    m_pMonsters = new CFilterList("Monster list", fields);

    auto makeSlots = [fields](const QString& caption, QListWidget*& list, auto add, auto remove,
                              CMonsterLocationsDlg* self, SlotList& kind) {
        list = new QListWidget(fields);
        list->setAccessibleName(caption);
        auto* label = new QLabel(caption, fields);
        label->setBuddy(list);
        auto* addButton = new QPushButton("Add >>", fields);
        auto* removeButton = new QPushButton("Remove >>", fields);
        kind.caption = label;
        kind.add = addButton;
        kind.remove = removeButton;
        addButton->setAccessibleName("Add >> " + caption);
        removeButton->setAccessibleName("Remove >> " + caption);
        // Enter belongs to OK, not to the last button clicked.
        addButton->setAutoDefault(false);
        removeButton->setAutoDefault(false);
        connect(addButton, &QPushButton::clicked, self, add);
        connect(removeButton, &QPushButton::clicked, self, remove);
        auto* buttons = new QVBoxLayout;
        buttons->addStretch();
        buttons->addWidget(addButton);
        buttons->addWidget(removeButton);
        buttons->addStretch();
        auto* column = new QVBoxLayout;
        column->addWidget(label);
        column->addWidget(list);
        auto* row = new QHBoxLayout;
        row->addLayout(buttons);
        row->addLayout(column, 1);
        return row;
    };

    m_editMax = new CCellEdit(fields, true);
    m_editMin = new CCellEdit(fields, true);
    m_editMax->setAccessibleName("Maximum number of bosses in area");
    m_editMin->setAccessibleName("Minimum number of bosses in area");
    // Only what the user types is stored: the numbers shown on loading an area change nothing.
    // The newer layout keeps one pair of counts per difficulty.
    // The edits refuse text no cell can hold as it is typed: none reaches the table.
    using SetBosses = bool (CModFuncs::*)(const std::string&, int32_t, CTxtTable&) const;
    auto storeCount = [this](QLineEdit* edit, const std::array<const char*, 3>& headers,
                             SetBosses setOldLayout) {
        connect(edit, &QLineEdit::textEdited, this, [=, this](const QString& text) {
            const std::optional<std::string> cell = TextToCell(text);
            if (!cell || m_nArea <= 0 || !m_pLvlTable)
                return;
            if (IsNewLayout())
                m_pLvlTable->SetCell(m_pLvlTable->FindColumn(headers[Difficulty()], 0), m_nArea,
                                     *cell);
            else if (m_pFuncs)
                (m_pFuncs->*setOldLayout)(*cell, m_nArea, *m_pLvlTable);
        });
    };
    storeCount(m_editMin, LevelsHeadersV110::kMinBosses, &CModFuncs::SetMinBosses);
    storeCount(m_editMax, LevelsHeadersV110::kMaxBosses, &CModFuncs::SetMaxBosses);
    auto* counts = new QGridLayout;
    auto* maxLabel = new QLabel("Maximum number of bosses in area", fields);
    auto* minLabel = new QLabel("Minimum number of bosses in area", fields);
    maxLabel->setBuddy(m_editMax);
    minLabel->setBuddy(m_editMin);
    counts->addWidget(maxLabel, 0, 0);
    counts->addWidget(m_editMax, 0, 1);
    counts->addWidget(minLabel, 1, 0);
    counts->addWidget(m_editMin, 1, 1);

    auto* right = new QVBoxLayout;
    right->addLayout(makeSlots(kMonstersCaption, m_listMonsters,
                               &CMonsterLocationsDlg::OnAddMonster,
                               &CMonsterLocationsDlg::OnRemoveMonster, this, m_monsters),
                     1);
    right->addLayout(makeSlots("Monster types that can be bosses in the area", m_listBosses,
                               &CMonsterLocationsDlg::OnAddBoss,
                               &CMonsterLocationsDlg::OnRemoveBoss, this, m_bosses),
                     1);
    m_labelBossesNote = new QLabel(kBossesNote, fields);
    m_labelBossesNote->setWordWrap(true);
    m_labelBossesNote->hide();
    right->addWidget(m_labelBossesNote);
    right->addLayout(counts);
    m_monsters.list = m_listMonsters;
    m_bosses.list = m_listBosses;

    auto* area = new QHBoxLayout;
    area->addWidget(areaLabel);
    area->addWidget(m_comboArea, 1);
    area->addWidget(m_labelDifficulty);
    area->addWidget(m_comboDifficulty);
    auto* columns = new QHBoxLayout;
    columns->addWidget(m_pMonsters, 1);
    columns->addLayout(right, 1);
    auto* layout = new QVBoxLayout(fields);
    layout->addLayout(area);
    layout->addLayout(columns, 1);
    SetUpLayout(fields);

    // Every change is written as it is made: there is nothing to apply.
    for (QPushButton* button : findChildren<QPushButton*>())
        if (button->text() == "Apply")
            button->hide();
}

bool CMonsterLocationsDlg::OnInitDialog() {
    if (!m_pMonTable || !m_pLvlTable) {
        m_prompts.ShowMessage("Programming error, m_pMonTable or m_pLvlTable are null.");
        return false;
    }
    if (!m_pFuncs) {
        m_prompts.ShowMessage("Programming error, m_pFuncs is null.");
        return false;
    }

    // Areas in table order; the expansion's follow its "Expansion" row.
    {
        const QSignalBlocker blocker(m_comboArea);
        m_comboArea->clear();
        const std::vector<CFilterList::Entry> areas = AreaEntries();
        const std::vector<QString> labels = CFilterList::Labels(areas);
        for (size_t i = 0; i < areas.size(); ++i)
            m_comboArea->addItem(labels[i], areas[i].row);
        int shown = m_comboArea->count() > 0 ? 0 : -1;
        if (!m_strSettingsPath.empty()) {
            const std::string last =
                CProfileFile::ReadString(m_strSettingsPath, kSection, kAreaKey, "");
            if (!last.empty())
                shown = std::max(shown, m_comboArea->findData(LeadingInteger(last)));
        }
        m_comboArea->setCurrentIndex(shown);
    }

    std::vector<std::string> names;
    std::vector<int32_t> rows;
    m_pFuncs->GetMonsterNames(names, *m_pMonTable, &rows, m_layout);
    std::vector<CFilterList::Entry> entries;
    const int32_t keyCol = m_pMonTable->FindColumn(MonsterKeyHeaders::For(m_layout).apart, 0);
    for (size_t i = 0; i < names.size(); ++i) {
        if (EqualsIgnoringAsciiCase(names[i], "Expansion")) {
            if (!m_bExpansion)
                break;
            continue;
        }
        entries.push_back(
            {CellToText(names[i]), rows[i], CellToText(m_pMonTable->CellView(keyCol, rows[i]))});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const CFilterList::Entry& a, const CFilterList::Entry& b) {
                         return NameLess(a.name, b.name);
                     });
    m_pMonsters->SetEntries(entries);
    m_pMonsters->SelectFirst();

    m_labelDifficulty->setVisible(IsNewLayout());
    m_comboDifficulty->setVisible(IsNewLayout());
    KeepLayoutAcrossDifficulties();
    ShowDifficulty();
    LoadArea();
    return true;
}

std::vector<CFilterList::Entry> CMonsterLocationsDlg::AreaEntries() const {
    // The newer tables name each area for the player too ("Blood Moor"), shown beside the
    // game's own name.
    const int32_t nameCol = m_pLvlTable->FindColumn(LevelsHeaders::kName, 0);
    const int32_t shownCol = m_pLvlTable->FindColumn(LevelsHeadersV110::kDisplayName, 0);
    std::vector<CFilterList::Entry> areas;
    for (int32_t row = 1; nameCol >= 0 && row < m_pLvlTable->Rows(); ++row) {
        const std::string_view name = m_pLvlTable->CellView(nameCol, row);
        if (name == "Expansion") {
            if (!m_bExpansion)
                break;
            continue;
        }
        if (name.empty() || name == "Null")
            continue;
        QString text = CellToText(name);
        const std::string_view shown = shownCol >= 0 ? m_pLvlTable->CellView(shownCol, row) : "";
        if (!shown.empty() && shown != name)
            text += " (" + CellToText(shown) + ")";
        areas.push_back({text, row, QString()});
    }
    return areas;
}

void CMonsterLocationsDlg::OnAreaChange() {
    LoadArea();
}

void CMonsterLocationsDlg::OnDifficultyChange() {
    ShowDifficulty();
    LoadArea();
}

int CMonsterLocationsDlg::Difficulty() const {
    return IsNewLayout() ? std::clamp(m_comboDifficulty->currentIndex(), 0, 2) : kNormal;
}

const char* CMonsterLocationsDlg::SlotPrefix(const SlotList& kind) const {
    if (kind.bosses)
        return CLevelSlotList::kBosses;
    return Difficulty() == kNormal ? CLevelSlotList::kMonsters : CLevelSlotList::kNightmareMonsters;
}

void CMonsterLocationsDlg::ShowDifficulty() {
    // Nightmare and Hell share one monster list and have no boss list of their own.
    const bool bosses = Difficulty() == kNormal;
    m_monsters.caption->setText(MonsterTypesCaption(Difficulty()));
    for (QWidget* widget :
         {static_cast<QWidget*>(m_bosses.list), static_cast<QWidget*>(m_bosses.add),
          static_cast<QWidget*>(m_bosses.remove)})
        widget->setEnabled(bosses);
    m_labelBossesNote->setVisible(!bosses);
}

void CMonsterLocationsDlg::KeepLayoutAcrossDifficulties() {
    // The note and the longest caption keep their room whatever the difficulty shows, so that
    // a change of difficulty never moves or shrinks the lists and the boss counts.
    QSizePolicy note = m_labelBossesNote->sizePolicy();
    note.setRetainSizeWhenHidden(IsNewLayout());
    m_labelBossesNote->setSizePolicy(note);
    int widest = 0;
    for (int difficulty : {kNormal, kNightmare, kHell})
        widest = std::max(widest, m_monsters.caption->fontMetrics().horizontalAdvance(
                                      MonsterTypesCaption(difficulty)));
    m_monsters.caption->setMinimumWidth(IsNewLayout() ? widest : 0);
}

void CMonsterLocationsDlg::LoadArea() {
    m_nArea = m_comboArea->currentIndex() >= 0 ? m_comboArea->currentData().toInt() : -1;
    // No area to show: nothing is read, and nothing can be written.
    const bool shown = m_nArea > 0 && m_pFuncs && m_pLvlTable && m_pMonTable;
    m_monsters.stored.clear();
    m_bosses.stored.clear();
    if (shown && IsNewLayout()) {
        CLevelSlotList(SlotPrefix(m_monsters)).Get(m_nArea, m_monsters.stored, *m_pLvlTable);
        if (Difficulty() == kNormal)
            CLevelSlotList(SlotPrefix(m_bosses)).Get(m_nArea, m_bosses.stored, *m_pLvlTable);
    } else if (shown) {
        m_pFuncs->GetAreaMonsters(m_nArea, m_monsters.stored, *m_pLvlTable);
        m_pFuncs->GetAreaBosses(m_nArea, m_bosses.stored, *m_pLvlTable);
    }
    ShowSlots(m_monsters);
    ShowSlots(m_bosses);
    ShowCounts(shown);
}

void CMonsterLocationsDlg::ShowCounts(bool shown) {
    // setText() is not the user's typing: showing the counts stores nothing.
    if (!IsNewLayout()) {
        m_editMin->setText(shown ? QString::number(m_pFuncs->GetMinBosses(m_nArea, *m_pLvlTable))
                                 : QString());
        m_editMax->setText(shown ? QString::number(m_pFuncs->GetMaxBosses(m_nArea, *m_pLvlTable))
                                 : QString());
        return;
    }
    const auto show = [this, shown](CCellEdit& edit, const char* header) {
        const int32_t col = shown ? m_pLvlTable->FindColumn(header, 0) : -1;
        // A missing column is shown empty and cannot be typed into; an empty cell stays empty.
        edit.setEnabled(!shown || col >= 0);
        const std::string_view cell = col >= 0 ? m_pLvlTable->CellView(col, m_nArea) : "";
        edit.setText(cell.empty() ? QString() : QString::number(LeadingInteger(cell)));
    };
    show(*m_editMin, LevelsHeadersV110::kMinBosses[Difficulty()]);
    show(*m_editMax, LevelsHeadersV110::kMaxBosses[Difficulty()]);
}

QString CMonsterLocationsDlg::EntryTip(int32_t row) const {
    if (IsNewLayout() && (row <= 0 || row >= m_pMonTable->Rows()))
        return "not in the monster table";
    const int32_t keyCol = m_pMonTable->FindColumn(MonsterKeyHeaders::For(m_layout).apart, 0);
    return CellToText(m_pMonTable->CellView(keyCol, row)) + ", row " + QString::number(row);
}

QString CMonsterLocationsDlg::SlotText(int32_t row, const QString& name) const {
    // As the monster list shows it, so that same-named types read apart here too.
    const QString listed = m_pMonsters->LabelOfRow(row);
    return listed.isEmpty() ? name : listed;
}

void CMonsterLocationsDlg::ShowSlots(SlotList& kind) {
    kind.list->clear();
    std::vector<std::string> names;
    std::string name;
    for (const std::string& stored : kind.stored) {
        // Hidden ("dummy", "unused") types give no name: they stay stored, unseen.
        if (IsNewLayout()) {
            int32_t row = -1;
            if (m_pFuncs->MonsterIdToName(stored, name, row, *m_pMonTable))
                InsertSorted(*kind.list, SlotText(row, CellToText(name)), row, EntryTip(row),
                             stored);
            continue;
        }
        m_pFuncs->RowsToNames({stored}, names, *m_pMonTable);
        const int32_t row = LeadingInteger(stored);
        if (!names.empty())
            InsertSorted(*kind.list, SlotText(row, CellToText(names.front())), row, EntryTip(row),
                         stored);
    }
}

void CMonsterLocationsDlg::OnAddMonster() {
    Add(m_monsters);
}

void CMonsterLocationsDlg::OnAddBoss() {
    Add(m_bosses);
}

void CMonsterLocationsDlg::OnRemoveMonster() {
    Remove(m_monsters);
}

void CMonsterLocationsDlg::OnRemoveBoss() {
    Remove(m_bosses);
}

bool CMonsterLocationsDlg::WriteSlots(const SlotList& kind) {
    if (IsNewLayout())
        return CLevelSlotList(SlotPrefix(kind)).Set(m_nArea, kind.stored, *m_pLvlTable);
    return kind.bosses ? m_pFuncs->SetAreaBosses(m_nArea, kind.stored, *m_pLvlTable)
                       : m_pFuncs->SetAreaMonsters(m_nArea, kind.stored, *m_pLvlTable);
}

void CMonsterLocationsDlg::Add(SlotList& kind) {
    if (m_nArea <= 0 || !m_pFuncs || !m_pLvlTable || !m_pMonTable)
        return;
    // Nightmare and Hell have no boss slots of their own.
    if (kind.bosses && Difficulty() != kNormal)
        return;
    // An area has as many types of each kind as the table has slots (25 in the older layout),
    // and hidden types take theirs too.
    const int32_t limit = IsNewLayout() ? CLevelSlotList(SlotPrefix(kind)).Slots(*m_pLvlTable)
                                        : CModFuncs::kAreaSlots;
    if (kind.list->count() >= limit || kind.stored.size() >= static_cast<size_t>(limit)) {
        m_prompts.ShowMessage(TooManyTypes(limit));
        return;
    }
    // Only an entry the user can see is added: the filter may hide the current one.
    const QListWidgetItem* current = m_pMonsters->List()->currentItem();
    if (!current || current->isHidden())
        return;
    // The selected entry's own row: several monsters share a name.
    const int32_t row = m_pMonsters->CurrentRow();
    if (row <= 0 || row >= m_pMonTable->Rows())
        return;
    const QString name = m_pMonsters->CurrentName();

    // The older layout stores the monster's row, the newer one its Id.
    std::string stored;
    bool used = false;
    if (IsNewLayout()) {
        stored = m_pMonTable->GetCell(
            m_pMonTable->FindColumn(MonsterKeyHeaders::For(m_layout).key, 0), row);
        if (stored.empty())
            return;
        used = std::any_of(
            CLevelSlotList::kKinds.begin(), CLevelSlotList::kKinds.end(),
            [&](const char* prefix) { return CLevelSlotList(prefix).Holds(stored, *m_pLvlTable); });
    } else {
        std::vector<std::string> rows;
        m_pFuncs->GetUsedMonsterRows(rows, *m_pLvlTable);
        used = IsRowInList(row, rows);
        stored = std::to_string(row);
    }
    if (!used) {
        std::string message = "Warning [" + TextToCell(name).value_or("") + kUnusedMonster;
        if (kind.bosses)
            message += kSetSpawned;
        m_prompts.ShowMessage(message);
        m_pMonTable->SetCellInt(
            m_pMonTable->FindColumn(MonsterRecordHeaders(m_layout)[MonsterRecord::Spawned], 0), row,
            1);
    }

    kind.stored.push_back(stored);
    WriteSlots(kind);
    InsertSorted(*kind.list, SlotText(row, name), row, EntryTip(row), stored);
}

void CMonsterLocationsDlg::Remove(SlotList& kind) {
    QListWidgetItem* item = kind.list->currentItem();
    if (!item || m_nArea <= 0 || !m_pFuncs || !m_pLvlTable)
        return;
    // The entry's own row (or Id), not the first monster of its name.
    const std::string key = TextToCell(item->data(kStoredRole).toString()).value_or("");
    delete item;
    if (auto it =
            std::find_if(kind.stored.begin(), kind.stored.end(),
                         [&](const std::string& s) { return EqualsIgnoringAsciiCase(s, key); });
        it != kind.stored.end())
        kind.stored.erase(it);
    WriteSlots(kind);
}

void CMonsterLocationsDlg::done(int result) {
    // A convenience only: a settings file that cannot be written costs just that.
    if (!m_strSettingsPath.empty() && m_nArea > 0)
        CProfileFile::WriteString(m_strSettingsPath, kSection, kAreaKey, std::to_string(m_nArea));
    CEditorDlg::done(result);
}
