#include "editors/UniqueItemDlg.h"

#include "editors/CellEdit.h"
#include "editors/CellText.h"
#include "editors/ModFuncs.h"
#include "platform/AsciiText.h"
#include "platform/FileSystem.h"
#include "platform/NoteLog.h"
#include "platform/UserPrompts.h"
#include "table/TxtTable.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

namespace {

// Far larger than any description file; a bigger one is not read whole.
constexpr std::uint64_t kMaxConfigSize = 4 * 1024 * 1024;

// The game reads a drop cell as a number: anything but 0 is yes.
bool CellSaysYes(const std::optional<std::string>& cell) {
    return cell && LeadingInteger(*cell) != 0;
}

// A drop cell from its box: as shown while the box is as shown, else the cell of the box's
// state. Nothing without a column.
std::optional<std::string> DropCell(const QCheckBox& box, bool shownChecked,
                                    const std::optional<std::string>& shown,
                                    const char* checkedCell, const char* uncheckedCell) {
    if (!shown || box.isChecked() == shownChecked)
        return shown;
    return box.isChecked() ? checkedCell : uncheckedCell;
}

} // namespace

CUniqueItemDlg::CUniqueItemDlg(CUserPrompts& prompts, QWidget* parent)
    : CEditorDlg(prompts, "UniqueItemEditor", parent) {
    setWindowTitle(kTitle);

    MakeEntryList("Unique Item");
    auto* fields = new QWidget(this);
    auto* grid = new QGridLayout;
    m_parameterCaption = new QLabel("Parameter", fields);
    grid->addWidget(new QLabel("Description", fields), 0, 0, Qt::AlignHCenter);
    grid->addWidget(m_parameterCaption, 0, 1, Qt::AlignHCenter);
    grid->addWidget(new QLabel("Minimum", fields), 0, 2, Qt::AlignHCenter);
    grid->addWidget(new QLabel("Maximum", fields), 0, 3, Qt::AlignHCenter);
    for (size_t k = 0; k < UniqueItemRecord::kProperties; ++k) {
        const QString number = QString::number(k + 1);
        m_combos[k] = new QComboBox(fields);
        m_combos[k]->setEditable(false);
        m_combos[k]->setAccessibleName("Description " + number);
        m_combos[k]->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
        m_combos[k]->setMinimumContentsLength(28);
        // Choosing the empty entry takes the property away with its values.
        connect(m_combos[k], &QComboBox::activated, this, [this, k](int index) {
            if (m_combos[k]->itemData(index).toString().isEmpty())
                ClearPropertyRow(k);
        });
        // A parameter may be a skill's name as well as a number.
        m_parameters[k] = new CCellEdit(fields, false);
        m_parameters[k]->setAccessibleName("Parameter " + number);
        m_parameters[k]->setMinimumWidth(
            m_parameters[k]->fontMetrics().horizontalAdvance(QString(12, QLatin1Char('m'))));
        m_minimums[k] = new CCellEdit(fields, false);
        m_minimums[k]->setAccessibleName("Minimum " + number);
        m_maximums[k] = new CCellEdit(fields, false);
        m_maximums[k]->setAccessibleName("Maximum " + number);
        const int line = static_cast<int>(k) + 1;
        grid->addWidget(m_combos[k], line, 0);
        grid->addWidget(m_parameters[k], line, 1);
        grid->addWidget(m_minimums[k], line, 2);
        grid->addWidget(m_maximums[k], line, 3);
    }
    m_resurrectedFields = new QWidget(fields);
    auto* ladder = new QGridLayout(m_resurrectedFields);
    ladder->setContentsMargins(0, 0, 0, 0);
    m_firstLadderSeason = new CCellEdit(m_resurrectedFields, false);
    m_firstLadderSeason->setAccessibleName("First ladder season");
    m_firstLadderSeason->setToolTip(UniqueItemsHeaders::kFirstLadderSeason);
    m_lastLadderSeason = new CCellEdit(m_resurrectedFields, false);
    m_lastLadderSeason->setAccessibleName("Last ladder season");
    m_lastLadderSeason->setToolTip(UniqueItemsHeaders::kLastLadderSeason);
    m_randomDrop = new QCheckBox("Can drop as a random unique", m_resurrectedFields);
    m_anyDrop = new QCheckBox("Can drop at all (also from treasure classes)", m_resurrectedFields);
    ladder->addWidget(
        new QLabel("Drops in ladder seasons (empty: in every game)", m_resurrectedFields), 0, 0, 1,
        4);
    ladder->addWidget(new QLabel("From", m_resurrectedFields), 1, 0);
    ladder->addWidget(m_firstLadderSeason, 1, 1);
    ladder->addWidget(new QLabel("to", m_resurrectedFields), 1, 2);
    ladder->addWidget(m_lastLadderSeason, 1, 3);
    ladder->addWidget(m_randomDrop, 2, 0, 1, 4);
    ladder->addWidget(m_anyDrop, 3, 0, 1, 4);

    auto* column = new QVBoxLayout(fields);
    column->addLayout(grid);
    column->addWidget(m_resurrectedFields);
    column->addStretch();
    SetUpLayout(fields);
    ShowLayoutRows();
}

void CUniqueItemDlg::ShowLayoutRows() {
    const size_t count = UniqueItemsHeaders::Properties(m_layout);
    const bool parameters = HasColumnsOf110(m_layout);
    m_parameterCaption->setVisible(parameters);
    for (size_t k = 0; k < UniqueItemRecord::kProperties; ++k) {
        m_combos[k]->setVisible(k < count);
        m_parameters[k]->setVisible(k < count && parameters);
        m_minimums[k]->setVisible(k < count);
        m_maximums[k]->setVisible(k < count);
    }
    m_resurrectedFields->setVisible(m_layout == TableLayout::D2R);
}

QListWidget* CUniqueItemDlg::ItemList() const {
    return EntryList()->List();
}

bool CUniqueItemDlg::OnInitDialog() {
    if (!m_pUniqueTable) {
        m_prompts.ShowMessage("Programming error, m_pUniqueTable is null.");
        return false;
    }
    if (!m_pFuncs) {
        m_prompts.ShowMessage("Programming error, m_pFuncs is null.");
        return false;
    }
    std::string configPath = m_strWorkingFolder + "\\uniq.cfg";
    if (m_strWorkingFolder.empty() || !FileExists(configPath))
        configPath = m_strInstalledConfig;
    if (configPath.empty() || !FileExists(configPath)) {
        m_prompts.ShowMessage("Unique items config file (uniq.cfg) is missing.");
        return false;
    }
    std::string text;
    if (!ReadWholeFile(configPath, text, kMaxConfigSize)) {
        m_prompts.ShowMessage("Unable to open uniques file, please try again.");
        return false;
    }
    m_config = UniqueConfig::Parse(text);
    if (m_config.skippedLines > 0 && m_pNotes)
        m_pNotes->AppendNote(NativePath(configPath) + ": " + std::to_string(m_config.skippedLines) +
                             " line(s) without a code or a description were left out.");

    ShowLayoutRows();

    // Row 0 holds the headers. The base game's items come first; the expansion's follow its
    // "Expansion" row.
    const int32_t nameCol = m_pUniqueTable->FindColumn(UniqueItemsHeaders::Name(m_layout), 0);
    std::vector<CFilterList::Entry> entries;
    for (int32_t row = 1; row < m_pUniqueTable->Rows(); ++row) {
        const std::string name = m_pUniqueTable->GetCell(nameCol, row);
        if (EqualsIgnoringAsciiCase(name, "Expansion")) {
            if (!m_bExpansion)
                break;
            continue;
        }
        // The newer tables have blank rows between their items.
        if (HasColumnsOf110(m_layout) && name.empty())
            continue;
        // Each entry keeps its own row, so that items of the same name are each edited as
        // themselves; the row number tells them apart.
        entries.push_back({CellToText(name), row, QString::number(row)});
    }
    std::stable_sort(entries.begin(), entries.end(),
                     [](const CFilterList::Entry& a, const CFilterList::Entry& b) {
                         return a.name.compare(b.name, Qt::CaseInsensitive) < 0;
                     });

    for (QComboBox* combo : m_combos)
        FillPropertyCombo(combo);
    ShowEntries(entries);
    return true;
}

void CUniqueItemDlg::InsertSorted(QComboBox* combo, const QString& text, const std::string& code) {
    // Kept in alphabetical order; equal texts stay in the order they were added.
    int at = combo->count();
    for (int i = 0; i < combo->count(); ++i)
        if (text.compare(combo->itemText(i), Qt::CaseInsensitive) < 0) {
            at = i;
            break;
        }
    combo->insertItem(at, text, QVariant(CellToText(code)));
}

void CUniqueItemDlg::FillPropertyCombo(QComboBox* combo) const {
    // The empty entry stays on top: no text sorts before it.
    combo->addItem(QString(), QVariant(QString()));
    for (const UniqueConfig::Entry& entry : m_config.entries)
        InsertSorted(combo, CellToText(entry.description) + " [" + CellToText(entry.code) + "]",
                     entry.code);
}

bool CUniqueItemDlg::RemovesProperty(size_t k) const {
    return m_combos[k]->currentIndex() != m_shownIndex[k] &&
           m_combos[k]->currentData().toString().isEmpty();
}

void CUniqueItemDlg::ClearPropertyRow(size_t k) {
    m_parameters[k]->clear();
    m_minimums[k]->clear();
    m_maximums[k]->clear();
}

void CUniqueItemDlg::ShowPropertyCode(const std::string& code, QComboBox* combo) {
    // An empty code finds the empty entry.
    auto find = [combo, &code]() {
        for (int i = 0; i < combo->count(); ++i)
            if (EqualsIgnoringAsciiCase(TextToCell(combo->itemData(i).toString()).value_or(""),
                                        code))
                return i;
        return -1;
    };
    int index = find();
    if (index < 0) {
        AddCodeToCombos(code);
        index = find();
    }
    combo->setCurrentIndex(index);
}

void CUniqueItemDlg::AddCodeToCombos(const std::string& code) {
    if (code.empty())
        return;
    for (QComboBox* combo : m_combos)
        InsertSorted(combo, CellToText(code), code);
}

std::string CUniqueItemDlg::GetPropertyCode(const QComboBox* combo) {
    if (combo->currentIndex() < 0)
        return "";
    return TextToCell(combo->currentData().toString()).value_or("");
}

void CUniqueItemDlg::ShowRow(int32_t row) {
    const size_t count = UniqueItemsHeaders::Properties(m_layout);
    UniqueItemRecord record;
    if (row >= 0 && m_pUniqueTable && m_pFuncs)
        m_pFuncs->ReadUniqueRecord(row, record, *m_pUniqueTable, m_layout);
    for (size_t k = 0; k < count; ++k) {
        m_parameters[k]->setText(CellToText(record.parameters[k]));
        m_minimums[k]->setText(CellToText(record.minimums[k]));
        m_maximums[k]->setText(CellToText(record.maximums[k]));
    }
    for (size_t k = 0; k < count; ++k)
        ShowPropertyCode(record.codes[k], m_combos[k]);
    // Only now: a raw code added for a later row moves the entries of the earlier ones.
    for (size_t k = 0; k < count; ++k)
        m_shownIndex[k] = m_combos[k]->currentIndex();
    m_firstLadderSeason->setText(CellToText(record.firstLadderSeason));
    m_lastLadderSeason->setText(CellToText(record.lastLadderSeason));
    // A box whose column the table lacks stays off: nothing could keep its state.
    m_randomDrop->setChecked(CellSaysYes(record.randomDrop));
    m_randomDrop->setEnabled(record.randomDrop.has_value());
    m_anyDrop->setChecked(record.disabled.has_value() && !CellSaysYes(record.disabled));
    m_anyDrop->setEnabled(record.disabled.has_value());
    m_shownRecord = record;
}

void CUniqueItemDlg::TakeResurrectedFields(UniqueItemRecord& record) const {
    record.randomDrop = DropCell(*m_randomDrop, CellSaysYes(m_shownRecord.randomDrop),
                                 m_shownRecord.randomDrop, "1", "0");
    // "disabled" says the opposite of the box.
    record.disabled = DropCell(*m_anyDrop, !CellSaysYes(m_shownRecord.disabled),
                               m_shownRecord.disabled, "0", "1");
}

bool CUniqueItemDlg::HasUnappliedChanges() const {
    for (size_t k = 0; k < UniqueItemsHeaders::Properties(m_layout); ++k)
        if (m_parameters[k]->text() != CellToText(m_shownRecord.parameters[k]) ||
            m_minimums[k]->text() != CellToText(m_shownRecord.minimums[k]) ||
            m_maximums[k]->text() != CellToText(m_shownRecord.maximums[k]) ||
            m_combos[k]->currentIndex() != m_shownIndex[k])
            return true;
    UniqueItemRecord resurrected;
    TakeResurrectedFields(resurrected);
    return m_firstLadderSeason->text() != CellToText(m_shownRecord.firstLadderSeason) ||
           m_lastLadderSeason->text() != CellToText(m_shownRecord.lastLadderSeason) ||
           resurrected.randomDrop != m_shownRecord.randomDrop ||
           resurrected.disabled != m_shownRecord.disabled;
}

void CUniqueItemDlg::OnApply() {
    const int32_t row = ShownRow();
    if (row < 0 || !m_pUniqueTable || !m_pFuncs)
        return;
    const size_t count = UniqueItemsHeaders::Properties(m_layout);
    // What the user left as shown goes back exactly as it was read; the first text no cell can
    // hold stops the apply.
    bool refused = false;
    auto typed = [this, &refused](const QLineEdit* edit, const std::string& shown) {
        if (refused)
            return shown;
        const std::optional<std::string> cell = CCellEdit::CellOf(*edit, shown, m_prompts);
        refused = !cell;
        return cell.value_or(shown);
    };
    UniqueItemRecord record;
    for (size_t k = 0; k < count; ++k) {
        if (RemovesProperty(k)) {
            // Left in its cells, a value would wait there for the next code chosen.
            ClearPropertyRow(k);
            continue;
        }
        record.parameters[k] = typed(m_parameters[k], m_shownRecord.parameters[k]);
        record.minimums[k] = typed(m_minimums[k], m_shownRecord.minimums[k]);
        record.maximums[k] = typed(m_maximums[k], m_shownRecord.maximums[k]);
        record.codes[k] = m_combos[k]->currentIndex() == m_shownIndex[k]
                              ? m_shownRecord.codes[k]
                              : GetPropertyCode(m_combos[k]);
    }
    record.firstLadderSeason = typed(m_firstLadderSeason, m_shownRecord.firstLadderSeason);
    record.lastLadderSeason = typed(m_lastLadderSeason, m_shownRecord.lastLadderSeason);
    TakeResurrectedFields(record);
    if (refused)
        return;
    if (m_pFuncs->WriteUniqueRecord(row, record, *m_pUniqueTable, m_layout).Report(m_prompts)) {
        m_shownRecord = record;
        for (size_t k = 0; k < count; ++k)
            m_shownIndex[k] = m_combos[k]->currentIndex();
    }
}

std::string CUniqueItemDlg::FindInstalledConfig() {
    const QString installed =
        QCoreApplication::applicationDirPath() + "/" + TARVANE_UNIQ_FROM_PROGRAM;
    if (QFileInfo(installed).isFile())
        return QFileInfo(installed).canonicalFilePath().toStdString();
    // A program run from the build folder reads the source tree's.
    if (QFileInfo(TARVANE_SOURCE_UNIQ).isFile())
        return TARVANE_SOURCE_UNIQ;
    return "";
}
