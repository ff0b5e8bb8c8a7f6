#include "editors/MonsterLocationsDlg.h"

#include "editors/CellEdit.h"
#include "editors/FilterList.h"
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
// The settings key of the area shown last, by its levels-table row.
constexpr const char* kSection = "Tarvane";
constexpr const char* kAreaKey = "MonsterLocationsArea";

constexpr const char* kTooManyTypes = "You cannot have more than 25 different types per area. You "
                                      "must remove some from the list before adding any more.";
constexpr const char* kUnusedMonster =
    "] is not currently used in any area of the game.\nThis may not work, or fail to appear.";
constexpr const char* kSetSpawned =
    "\nYou may also need to set spawned to 1 in the monster editor for this monster";

// Cells are bytes of no known code page: Latin-1 maps each byte to one character and back.
QString FromCell(std::string_view cell) {
    return QString::fromLatin1(cell.data(), static_cast<qsizetype>(cell.size()));
}

std::string ToCell(const QString& text) {
    QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

bool NameLess(const QString& a, const QString& b) {
    return LessIgnoringAsciiCase(ToCell(a), ToCell(b));
}

// Puts an entry carrying its monster row into a list sorted by name, after its equals. The
// tooltip names the monster's class and row, which tell same-named monsters apart, as the
// monster list does.
void InsertSorted(QListWidget& list, const QString& name, int32_t row, const CTxtTable& monsters) {
    int at = 0;
    while (at < list.count() && !NameLess(name, list.item(at)->text()))
        ++at;
    auto* item = new QListWidgetItem(name);
    item->setData(kRowRole, row);
    const int32_t classCol = monsters.FindColumn(kMonsterRecordHeaders[MonsterRecord::Class], 0);
    item->setToolTip(FromCell(monsters.CellView(classCol, row)) + ", row " + QString::number(row));
    list.insertItem(at, item);
}

} // namespace

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

    m_pMonsters = new CFilterList("Monster list", fields);

    auto makeSlots = [fields](const QString& caption, QListWidget*& list, auto add, auto remove,
                              CMonsterLocationsDlg* self) {
        list = new QListWidget(fields);
        list->setAccessibleName(caption);
        auto* label = new QLabel(caption, fields);
        label->setBuddy(list);
        auto* addButton = new QPushButton("Add >>", fields);
        auto* removeButton = new QPushButton("Remove >>", fields);
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
    connect(m_editMin, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_pFuncs && m_pLvlTable)
            m_pFuncs->SetMinBosses(ToCell(text), m_nArea, *m_pLvlTable);
    });
    connect(m_editMax, &QLineEdit::textEdited, this, [this](const QString& text) {
        if (m_pFuncs && m_pLvlTable)
            m_pFuncs->SetMaxBosses(ToCell(text), m_nArea, *m_pLvlTable);
    });
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
    right->addLayout(makeSlots("Monster types appearing in area", m_listMonsters,
                               &CMonsterLocationsDlg::OnAddMonster,
                               &CMonsterLocationsDlg::OnRemoveMonster, this),
                     1);
    right->addLayout(makeSlots("Monster types that can be bosses in the area", m_listBosses,
                               &CMonsterLocationsDlg::OnAddBoss,
                               &CMonsterLocationsDlg::OnRemoveBoss, this),
                     1);
    right->addLayout(counts);
    m_monsters.list = m_listMonsters;
    m_bosses.list = m_listBosses;

    auto* area = new QHBoxLayout;
    area->addWidget(areaLabel);
    area->addWidget(m_comboArea, 1);
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
        const int32_t nameCol = m_pLvlTable->FindColumn(LevelsHeaders::kName, 0);
        for (int32_t row = 1; nameCol >= 0 && row < m_pLvlTable->Rows(); ++row) {
            const std::string_view name = m_pLvlTable->CellView(nameCol, row);
            if (name == "Expansion") {
                if (!m_bExpansion)
                    break;
                continue;
            }
            if (name.empty() || name == "Null")
                continue;
            m_comboArea->addItem(FromCell(name), row);
        }
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
    m_pFuncs->GetMonsterNames(names, *m_pMonTable, &rows);
    std::vector<CFilterList::Entry> entries;
    const int32_t classCol =
        m_pMonTable->FindColumn(kMonsterRecordHeaders[MonsterRecord::Class], 0);
    for (size_t i = 0; i < names.size(); ++i) {
        if (EqualsIgnoringAsciiCase(names[i], "Expansion")) {
            if (!m_bExpansion)
                break;
            continue;
        }
        entries.push_back(
            {FromCell(names[i]), rows[i], FromCell(m_pMonTable->CellView(classCol, rows[i]))});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const CFilterList::Entry& a, const CFilterList::Entry& b) {
                         return NameLess(a.name, b.name);
                     });
    m_pMonsters->SetEntries(entries);
    m_pMonsters->SelectFirst();

    LoadArea();
    return true;
}

void CMonsterLocationsDlg::OnAreaChange() {
    LoadArea();
}

void CMonsterLocationsDlg::LoadArea() {
    m_nArea = m_comboArea->currentIndex() >= 0 ? m_comboArea->currentData().toInt() : -1;
    // No area to show: nothing is read, and nothing can be written.
    const bool shown = m_nArea > 0 && m_pFuncs && m_pLvlTable && m_pMonTable;
    m_monsters.rows.clear();
    m_bosses.rows.clear();
    if (shown) {
        m_pFuncs->GetAreaMonsters(m_nArea, m_monsters.rows, *m_pLvlTable);
        m_pFuncs->GetAreaBosses(m_nArea, m_bosses.rows, *m_pLvlTable);
    }
    ShowSlots(m_monsters);
    ShowSlots(m_bosses);
    // setText() is not the user's typing: showing the counts stores nothing.
    m_editMin->setText(shown ? QString::number(m_pFuncs->GetMinBosses(m_nArea, *m_pLvlTable))
                             : QString());
    m_editMax->setText(shown ? QString::number(m_pFuncs->GetMaxBosses(m_nArea, *m_pLvlTable))
                             : QString());
}

void CMonsterLocationsDlg::ShowSlots(SlotList& kind) {
    kind.list->clear();
    std::vector<std::string> names;
    for (const std::string& row : kind.rows) {
        // Hidden ("dummy", "unused") types give no name: they stay stored, unseen.
        m_pFuncs->RowsToNames({row}, names, *m_pMonTable);
        if (!names.empty())
            InsertSorted(*kind.list, FromCell(names.front()), LeadingInteger(row), *m_pMonTable);
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
    return kind.bosses ? m_pFuncs->SetAreaBosses(m_nArea, kind.rows, *m_pLvlTable)
                       : m_pFuncs->SetAreaMonsters(m_nArea, kind.rows, *m_pLvlTable);
}

void CMonsterLocationsDlg::Add(SlotList& kind) {
    if (m_nArea <= 0 || !m_pFuncs || !m_pLvlTable || !m_pMonTable)
        return;
    // The area has 25 kind of each kind, and hidden types take theirs too.
    if (kind.list->count() >= CModFuncs::kAreaSlots ||
        kind.rows.size() >= static_cast<size_t>(CModFuncs::kAreaSlots)) {
        m_prompts.ShowMessage(kTooManyTypes);
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

    std::vector<std::string> used;
    m_pFuncs->GetUsedMonsterRows(used, *m_pLvlTable);
    if (!IsRowInList(row, used)) {
        std::string message = "Warning [" + ToCell(name) + kUnusedMonster;
        if (kind.bosses)
            message += kSetSpawned;
        m_prompts.ShowMessage(message);
        m_pMonTable->SetCellInt(
            m_pMonTable->FindColumn(kMonsterRecordHeaders[MonsterRecord::Spawned], 0), row, 1);
    }

    kind.rows.push_back(std::to_string(row));
    WriteSlots(kind);
    InsertSorted(*kind.list, name, row, *m_pMonTable);
}

void CMonsterLocationsDlg::Remove(SlotList& kind) {
    QListWidgetItem* item = kind.list->currentItem();
    if (!item || m_nArea <= 0 || !m_pFuncs || !m_pLvlTable)
        return;
    // The entry's own row, not the first monster of its name.
    const std::string key = std::to_string(item->data(kRowRole).toInt());
    delete item;
    if (auto it = std::find(kind.rows.begin(), kind.rows.end(), key); it != kind.rows.end())
        kind.rows.erase(it);
    WriteSlots(kind);
}

void CMonsterLocationsDlg::done(int result) {
    // A convenience only: a settings file that cannot be written costs just that.
    if (!m_strSettingsPath.empty() && m_nArea > 0)
        CProfileFile::WriteString(m_strSettingsPath, kSection, kAreaKey, std::to_string(m_nArea));
    CEditorDlg::done(result);
}
