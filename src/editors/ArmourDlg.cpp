#include "editors/ArmourDlg.h"

#include "editors/CellEdit.h"
#include "editors/CellText.h"
#include "editors/ItemEntries.h"
#include "editors/ItemPictureFrame.h"
#include "editors/ModFuncs.h"
#include "platform/UserPrompts.h"
#include "table/TxtTable.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

struct ShownField {
    ArmourRecord::Field field;
    const char* caption;
};

// Top to bottom; the last three apply to shields only.
constexpr std::array<ShownField, 7> kGeneralFields = {{
    {ArmourRecord::MinAc, "Minimum defense"},
    {ArmourRecord::MaxAc, "Maximum defense"},
    {ArmourRecord::Absorbs, "Absorbs damage of"},
    {ArmourRecord::Speed, "Weight"},
    {ArmourRecord::ReqStr, "Minimum required strength"},
    {ArmourRecord::Durability, "Durability"},
    {ArmourRecord::GemSockets, "Number of sockets"},
}};
constexpr std::array<ShownField, 3> kShieldFields = {{
    {ArmourRecord::MinDam, "Minimum smite damage"},
    {ArmourRecord::MaxDam, "Maximum smite damage"},
    {ArmourRecord::Block, "Blocking %"},
}};

} // namespace

CArmourDlg::CArmourDlg(CUserPrompts& prompts, QWidget* parent)
    : CEditorDlg(prompts, "ArmourEditor", parent) {
    setWindowTitle(kTitle);

    MakeEntryList("Armour List");
    auto* fields = new QWidget(this);
    auto* grid = new QGridLayout;
    int line = 0;
    auto addField = [&](const ShownField& shown) {
        // Digits only from the user; what the table holds is shown as it is.
        auto* edit = new CCellEdit(fields, true);
        edit->setAccessibleName(shown.caption);
        edit->setToolTip(ArmourHeaders::kFields[shown.field]);
        m_edits[shown.field] = edit;
        auto* label = new QLabel(shown.caption, fields);
        label->setBuddy(edit);
        grid->addWidget(label, line, 0);
        grid->addWidget(edit, line, 1);
        ++line;
    };
    for (const ShownField& shown : kGeneralFields)
        addField(shown);
    grid->addWidget(new QLabel("Shields only:-", fields), line++, 0, 1, 2);
    for (const ShownField& shown : kShieldFields)
        addField(shown);

    m_pPicture = CItemPictureFrame::PlaceBeside(fields, grid, [this] { OnGraphic(); });
    SetUpLayout(fields);
}

QListWidget* CArmourDlg::ItemList() const {
    return EntryList()->List();
}

bool CArmourDlg::OnInitDialog() {
    if (!m_pArmourTable) {
        m_prompts.ShowMessage("Programming error, m_pArmourTable is null.");
        return false;
    }
    if (!m_pFuncs) {
        m_prompts.ShowMessage("Programming error, m_pFuncs is null.");
        return false;
    }
    // A field without its column (Resurrected's armour has no "absorbs") is off: nothing typed
    // there could be kept. The notes name the column.
    for (size_t k = 0; k < ArmourRecord::kFieldCount; ++k) {
        if (!m_edits[k])
            continue;
        const QString header = ArmourHeaders::kFields[k];
        const bool hasColumn = m_pArmourTable->FindColumn(ArmourHeaders::kFields[k], 0) >= 0;
        m_edits[k]->setEnabled(hasColumn);
        m_edits[k]->setToolTip(hasColumn ? header : header + ": the table has no such column");
    }
    m_pPicture->SetResurrectedItems(m_layout == TableLayout::D2R);
    // Each entry keeps its own row, so same-named items are each shown and changed as
    // themselves.
    ShowEntries(
        ItemEntries(*m_pArmourTable, ArmourHeaders::kName, ArmourHeaders::kCode, m_bExpansion));
    return true;
}

void CArmourDlg::ShowRow(int32_t row) {
    ArmourRecord record;
    if (row >= 0 && m_pArmourTable && m_pFuncs)
        m_pFuncs->ReadArmourRecord(row, record, *m_pArmourTable);
    for (size_t k = 0; k < ArmourRecord::kFieldCount; ++k)
        if (m_edits[k])
            m_edits[k]->setText(CellToText(record.fields[k]));
    m_shownRecord = record;
    m_pPicture->ShowItemPicture(record.fields[ArmourRecord::InvFile]);
}

bool CArmourDlg::HasUnappliedChanges() const {
    for (size_t k = 0; k < ArmourRecord::kFieldCount; ++k)
        if (m_edits[k] && m_edits[k]->text() != CellToText(m_shownRecord.fields[k]))
            return true;
    return false;
}

void CArmourDlg::OnApply() {
    const int32_t row = ShownRow();
    if (row < 0 || !m_pArmourTable || !m_pFuncs)
        return;
    // The picture's fields, not shown, go back as they were read.
    ArmourRecord record = m_shownRecord;
    if (!CCellEdit::CellsOf(m_edits, record.fields, m_prompts))
        return;
    if (m_pFuncs->WriteArmourRecord(row, record, *m_pArmourTable).Report(m_prompts))
        m_shownRecord = record;
}

void CArmourDlg::OnGraphic() {
    const int32_t row = ShownRow();
    if (row < 0 || !m_pArmourTable || !m_pFuncs)
        return;
    // The size and name as the table holds them now, whatever the edits show.
    ArmourRecord record;
    m_pFuncs->ReadArmourRecord(row, record, *m_pArmourTable);
    m_pPicture->ImportItemPicture(
        m_prompts, *m_pFuncs, TextToCell(EntryList()->CurrentName()).value_or(""),
        record.fields[ArmourRecord::InvFile], record.fields[ArmourRecord::InvWidth],
        record.fields[ArmourRecord::InvHeight]);
}
