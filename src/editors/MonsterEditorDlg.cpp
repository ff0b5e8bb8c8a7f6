#include "editors/MonsterEditorDlg.h"

#include "editors/CellEdit.h"
#include "editors/CellText.h"
#include "editors/ModFuncs.h"
#include "platform/AsciiText.h"
#include "platform/UserPrompts.h"
#include "table/TxtTable.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

CMonsterEditorDlg::CMonsterEditorDlg(CUserPrompts& prompts, QWidget* parent)
    : CEditorDlg(prompts, "MonsterEditor", parent) {
    setWindowTitle(kTitle);

    MakeEntryList("Monster List");
    auto* fields = new QWidget(this);

    auto makeEdit = [this, fields](size_t field, const QString& name) {
        // Every field takes digits only from the user; what it shows from the table may differ.
        auto* edit = new CCellEdit(fields, true);
        edit->setAccessibleName(name);
        edit->setToolTip(kMonsterRecordHeaders[field]);
        m_edits[field] = edit;
        return edit;
    };
    auto makeLabel = [fields](const QString& caption, QWidget* buddy) {
        auto* label = new QLabel(caption, fields);
        label->setBuddy(buddy);
        return label;
    };

    auto* top = new QGridLayout;
    QLineEdit* spawned = makeEdit(MonsterRecord::Spawned, "Spawned");
    top->addWidget(makeLabel("Spawned", spawned), 0, 0);
    top->addWidget(spawned, 0, 1);
    // Never shown: it only carries an "Unused" class from showing to the next Apply.
    m_checkUnused = new QCheckBox("Monster is unused", fields);
    m_checkUnused->setVisible(false);
    top->addWidget(m_checkUnused, 0, 2, 1, 2);
    QLineEdit* block = makeEdit(MonsterRecord::ToBlock, "Blocking %");
    top->addWidget(makeLabel("Blocking %", block), 1, 0);
    top->addWidget(block, 1, 1);
    top->addWidget(new QLabel("Appears in groups of", fields), 2, 0, 1, 4);
    QLineEdit* minGroup = makeEdit(MonsterRecord::MinGrp, "Minimum");
    QLineEdit* maxGroup = makeEdit(MonsterRecord::MaxGrp, "Maximum");
    minGroup->setAccessibleDescription("Appears in groups of");
    maxGroup->setAccessibleDescription("Appears in groups of");
    top->addWidget(makeLabel("Minimum", minGroup), 3, 0);
    top->addWidget(minGroup, 3, 1);
    top->addWidget(makeLabel("Maximum", maxGroup), 3, 2);
    top->addWidget(maxGroup, 3, 3);

    auto* grid = new QGridLayout;
    for (size_t d = 0; d < kMonsterGridColumns.size(); ++d)
        grid->addWidget(new QLabel(kMonsterGridColumns[d], fields), 0, static_cast<int>(d) + 1,
                        Qt::AlignHCenter);
    int line = 1;
    for (const MonsterGridRow& gridRow : kMonsterGridRows) {
        const QString caption = gridRow.caption;
        QLabel* label = nullptr;
        for (size_t d = 0; d < kMonsterGridColumns.size(); ++d) {
            QLineEdit* edit =
                makeEdit(gridRow.firstField + d, caption + " (" + kMonsterGridColumns[d] + ")");
            if (!label)
                label = makeLabel(caption, edit);
            grid->addWidget(edit, line, static_cast<int>(d) + 1);
        }
        grid->addWidget(label, line, 0);
        ++line;
    }

    auto* right = new QVBoxLayout(fields);
    right->addLayout(top);
    right->addLayout(grid);
    right->addStretch();
    SetUpLayout(fields);
}

QListWidget* CMonsterEditorDlg::MonsterList() const {
    return EntryList()->List();
}

bool CMonsterEditorDlg::OnInitDialog() {
    if (!m_pMonTable) {
        m_prompts.ShowMessage("Programming error, m_pMonTable is null.");
        return false;
    }
    if (!m_pFuncs) {
        m_prompts.ShowMessage("Programming error, m_pFuncs is null.");
        return false;
    }

    // Each edit names the column it edits, which differs between the layouts.
    const auto& headers = MonsterRecordHeaders(m_layout);
    for (size_t k = MonsterRecord::Spawned; k < MonsterRecord::kFieldCount; ++k)
        m_edits[k]->setToolTip(headers[k]);

    std::vector<std::string> names;
    std::vector<int32_t> rows;
    m_pFuncs->GetMonsterNames(names, *m_pMonTable, &rows, m_layout);

    // The base game's monsters come first; the expansion's follow its "Expansion" row.
    struct Entry {
        std::string name;
        int32_t row;
    };
    std::vector<Entry> entries;
    for (size_t i = 0; i < names.size(); ++i) {
        if (EqualsIgnoringAsciiCase(names[i], "Expansion")) {
            if (!m_bExpansion)
                break;
            continue;
        }
        entries.push_back({std::move(names[i]), rows[i]});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        return LessIgnoringAsciiCase(a.name, b.name);
    });

    // Each entry keeps its own row, so two monsters of the same name are each shown and
    // written as themselves; the game's key (the class, or the newer layout's Id) tells them
    // apart and is what the editor remembers.
    const int32_t classCol = m_pMonTable->FindColumn(MonsterKeyHeaders::For(m_layout).apart, 0);
    std::vector<CFilterList::Entry> listed;
    listed.reserve(entries.size());
    for (const Entry& entry : entries)
        listed.push_back({CellToText(entry.name), entry.row,
                          CellToText(m_pMonTable->GetCell(classCol, entry.row))});
    ShowEntries(listed);
    return true;
}

void CMonsterEditorDlg::ShowRow(int32_t row) {
    MonsterRecord record;
    if (row >= 0 && m_pMonTable && m_pFuncs)
        m_pFuncs->ReadMonsterRecord(row, record, *m_pMonTable, m_layout);
    for (size_t k = MonsterRecord::Spawned; k < MonsterRecord::kFieldCount; ++k)
        m_edits[k]->setText(CellToText(record.fields[k]));
    m_shownRecord = record;
    m_checkUnused->setChecked(
        EqualsIgnoringAsciiCase(m_shownRecord.fields[MonsterRecord::Class], "Unused"));
}

bool CMonsterEditorDlg::HasUnappliedChanges() const {
    for (size_t k = MonsterRecord::Spawned; k < MonsterRecord::kFieldCount; ++k)
        if (m_edits[k]->text() != CellToText(m_shownRecord.fields[k]))
            return true;
    return false;
}

void CMonsterEditorDlg::OnApply() {
    const int32_t row = ShownRow();
    if (row < 0 || !m_pMonTable || !m_pFuncs)
        return;
    MonsterRecord record = m_shownRecord;
    // The class is the game's key for the monster: it goes back as it was read. The newer
    // layout's "NameStr" in its place is not written at all, "unused" or not.
    if (m_checkUnused->isChecked())
        record.fields[MonsterRecord::Class] = "unused";
    if (!CCellEdit::CellsOf(m_edits, record.fields, m_prompts))
        return;
    // What was written is what the edits now show unchanged.
    if (m_pFuncs->WriteMonsterRecord(row, record, *m_pMonTable, m_layout).Report(m_prompts))
        m_shownRecord = record;
}
