#include "editors/WeaponDlg.h"

#include "editors/CellEdit.h"
#include "editors/CellText.h"
#include "editors/ItemEntries.h"
#include "editors/ItemPictureFrame.h"
#include "editors/ModFuncs.h"
#include "platform/UserPrompts.h"
#include "table/TxtTable.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// The rows with a Min and a Max box, top to bottom.
struct RangeRow {
    const char* caption;
    WeaponRecord::Field min;
    WeaponRecord::Field max;
};
constexpr std::array<RangeRow, 3> kRangeRows = {{
    {"One handed damage", WeaponRecord::MinDam, WeaponRecord::MaxDam},
    {"Two handed damage", WeaponRecord::TwoHandMinDam, WeaponRecord::TwoHandMaxDam},
    {"Missile damage", WeaponRecord::MinMisDam, WeaponRecord::MaxMisDam},
}};

struct SingleRow {
    const char* caption;
    WeaponRecord::Field field;
};
constexpr std::array<SingleRow, 5> kSingleRows = {{
    {"Range", WeaponRecord::RangeAdder},
    {"Speed", WeaponRecord::Speed},
    {"Durability", WeaponRecord::Durability},
    {"Required strength", WeaponRecord::ReqStr},
    {"Required dexterity", WeaponRecord::ReqDex},
}};

} // namespace

CWeaponDlg::CWeaponDlg(CUserPrompts& prompts, QWidget* parent)
    : CEditorDlg(prompts, "WeaponEditor", parent) {
    setWindowTitle(kTitle);

    MakeEntryList("Weapon List");
    auto* fields = new QWidget(this);
    auto makeEdit = [this, fields](WeaponRecord::Field field, const QString& name) {
        // Digits only from the user; what the table holds is shown as it is.
        auto* edit = new CCellEdit(fields, true);
        edit->setAccessibleName(name);
        edit->setToolTip(WeaponHeaders::kFields[field]);
        m_edits[field] = edit;
        return edit;
    };

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel("Min", fields), 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel("Max", fields), 0, 2, Qt::AlignHCenter);
    int line = 1;
    for (const RangeRow& range : kRangeRows) {
        const QString caption = range.caption;
        QLineEdit* min = makeEdit(range.min, caption + " (Min)");
        QLineEdit* max = makeEdit(range.max, caption + " (Max)");
        auto* label = new QLabel(caption, fields);
        label->setBuddy(min);
        grid->addWidget(label, line, 0);
        grid->addWidget(min, line, 1);
        grid->addWidget(max, line, 2);
        ++line;
    }
    for (const SingleRow& single : kSingleRows) {
        QLineEdit* edit = makeEdit(single.field, single.caption);
        auto* label = new QLabel(single.caption, fields);
        label->setBuddy(edit);
        grid->addWidget(label, line, 0);
        grid->addWidget(edit, line, 1);
        ++line;
    }
    m_checkTwoHanded = new QCheckBox("Weapon is two handed", fields);
    m_checkTwoHanded->setToolTip(WeaponHeaders::kFields[WeaponRecord::TwoHanded]);
    grid->addWidget(m_checkTwoHanded, line, 0, 1, 3);

    m_pPicture = CItemPictureFrame::PlaceBeside(fields, grid, [this] { OnGraphic(); });
    SetUpLayout(fields);
}

QListWidget* CWeaponDlg::ItemList() const {
    return EntryList()->List();
}

bool CWeaponDlg::OnInitDialog() {
    if (!m_pWeaponTable) {
        m_prompts.ShowMessage("Programming error, m_pWeaponTable is null.");
        return false;
    }
    if (!m_pFuncs) {
        m_prompts.ShowMessage("Programming error, m_pFuncs is null.");
        return false;
    }
    m_pPicture->SetResurrectedItems(m_layout == TableLayout::D2R);
    // Each entry keeps its own row, so same-named weapons are each shown and changed as
    // themselves.
    ShowEntries(
        ItemEntries(*m_pWeaponTable, WeaponHeaders::kName, WeaponHeaders::kCode, m_bExpansion));
    return true;
}

bool CWeaponDlg::ShownTwoHanded() const {
    return m_shownRecord.fields[WeaponRecord::TwoHanded] == "1";
}

void CWeaponDlg::ShowRow(int32_t row) {
    WeaponRecord record;
    if (row >= 0 && m_pWeaponTable && m_pFuncs)
        m_pFuncs->ReadWeaponRecord(row, record, *m_pWeaponTable);
    m_shownRecord = record;
    for (size_t k = 0; k < WeaponRecord::kFieldCount; ++k)
        if (m_edits[k])
            m_edits[k]->setText(CellToText(record.fields[k]));
    m_checkTwoHanded->setChecked(ShownTwoHanded());
    m_pPicture->ShowItemPicture(record.fields[WeaponRecord::InvFile]);
}

bool CWeaponDlg::HasUnappliedChanges() const {
    if (m_checkTwoHanded->isChecked() != ShownTwoHanded())
        return true;
    for (size_t k = 0; k < WeaponRecord::kFieldCount; ++k)
        if (m_edits[k] && m_edits[k]->text() != CellToText(m_shownRecord.fields[k]))
            return true;
    return false;
}

void CWeaponDlg::OnApply() {
    const int32_t row = ShownRow();
    if (row < 0 || !m_pWeaponTable || !m_pFuncs)
        return;
    // The picture's fields, not shown, go back as they were read.
    WeaponRecord record = m_shownRecord;
    // A "2Handed" cell the box left alone goes back as read: the game may read "01" or " 1"
    // as two-handed although the box shows it clear.
    if (m_checkTwoHanded->isChecked() != ShownTwoHanded())
        record.fields[WeaponRecord::TwoHanded].assign(1, m_checkTwoHanded->isChecked() ? '1' : '0');
    if (!CCellEdit::CellsOf(m_edits, record.fields, m_prompts))
        return;
    if (m_pFuncs->WriteWeaponRecord(row, record, *m_pWeaponTable).Report(m_prompts))
        m_shownRecord = record;
}

void CWeaponDlg::OnGraphic() {
    const int32_t row = ShownRow();
    if (row < 0 || !m_pWeaponTable || !m_pFuncs)
        return;
    // The size and name as the table holds them now, whatever the edits show.
    WeaponRecord record;
    m_pFuncs->ReadWeaponRecord(row, record, *m_pWeaponTable);
    m_pPicture->ImportItemPicture(
        m_prompts, *m_pFuncs, TextToCell(EntryList()->CurrentName()).value_or(""),
        record.fields[WeaponRecord::InvFile], record.fields[WeaponRecord::InvWidth],
        record.fields[WeaponRecord::InvHeight]);
}
