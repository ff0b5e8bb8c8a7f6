#include "editors/DifficultyDlg.h"

#include "editors/CellEdit.h"
#include "editors/CellText.h"
#include "editors/ModFuncs.h"
#include "platform/UserPrompts.h"
#include "table/TxtTable.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr std::array<const char*, DifficultyRecord::kDifficultyCount> kDifficulties = {
    "Normal", "Nightmare", "Hell"};

// A row of the grid: its caption and the record column it edits; -1 for a caption alone.
struct GridRow {
    const char* caption;
    int column;
};

constexpr const char* kResistCaption = "Resistances penalty";
constexpr int kResistColumn = 2;

// Top to bottom; the columns are those of kDifficultyHeaders.
constexpr std::array<GridRow, 10> kGridRows = {{
    {kResistCaption, kResistColumn},
    {"Resistances penalty (classic characters)",
     static_cast<int>(DifficultyRecord::kNonExpansionResistColumn)},
    {"Experience lost on death", 0},
    {"Monsters:-", -1},
    {"Skill bonus", 1},
    {"Freeze duration divided by", 3},
    {"Cold duration divided by", 5},
    {"Curse duration divided by", 4},
    {"Life Steal divided by", 6},
    {"Mana Steal divided by", 7},
}};

} // namespace

CDifficultyDlg::CDifficultyDlg(CUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts) {
    setWindowTitle(kTitle);

    auto* grid = new QGridLayout;
    for (size_t d = 0; d < kDifficulties.size(); ++d)
        grid->addWidget(new QLabel(kDifficulties[d], this), 0, static_cast<int>(d) + 1,
                        Qt::AlignHCenter);
    int line = 1;
    for (const GridRow& row : kGridRows) {
        auto* label = new QLabel(row.caption, this);
        grid->addWidget(label, line, 0);
        if (row.column >= 0) {
            for (size_t d = 0; d < kDifficulties.size(); ++d) {
                const size_t field = DifficultyRecord::Field(static_cast<size_t>(row.column), d);
                auto* edit = new CCellEdit(this);
                edit->setAccessibleName(QString(row.caption) + " (" + kDifficulties[d] + ")");
                edit->setToolTip(kDifficultyHeaders[static_cast<size_t>(row.column)]);
                if (d == 0)
                    label->setBuddy(edit);
                m_edits[field] = edit;
                grid->addWidget(edit, line, static_cast<int>(d) + 1);
            }
            if (row.column == static_cast<int>(DifficultyRecord::kNonExpansionResistColumn))
                m_nonExpansionCaption = label;
            if (row.column == kResistColumn)
                m_resistCaption = label;
        }
        ++line;
    }

    auto* buttonOK = new QPushButton("OK", this);
    auto* buttonCancel = new QPushButton("Cancel", this);
    // Enter presses OK.
    buttonOK->setDefault(true);
    connect(buttonOK, &QPushButton::clicked, this, &CDifficultyDlg::OnOK);
    connect(buttonCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(buttonOK);
    buttons->addWidget(buttonCancel);
    buttons->addStretch();

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
    CCellEdit::ShowRefusals(*this, m_prompts);
}

CDifficultyDlg::~CDifficultyDlg() = default;

int CDifficultyDlg::exec() {
    if (!OnInitDialog()) {
        setResult(0);
        return 0;
    }
    return QDialog::exec();
}

bool CDifficultyDlg::OnInitDialog() {
    if (!m_pDiffTable) {
        m_prompts.ShowMessage("Programming error, m_pDiffTable is NULL.");
        return false;
    }
    if (!m_pFuncs) {
        m_prompts.ShowMessage("Programming error, m_pFuncs is null.");
        return false;
    }
    // Only Resurrected's table has a penalty of its own for classic characters; the field is
    // hidden for the others, and its empty text goes nowhere.
    const bool nonExpansion = m_layout == TableLayout::D2R;
    m_nonExpansionCaption->setVisible(nonExpansion);
    // Beside it, the game's own penalty is the expansion characters' only.
    m_resistCaption->setText(nonExpansion ? QString(kResistCaption) + " (expansion characters)"
                                          : kResistCaption);
    for (size_t d = 0; d < DifficultyRecord::kDifficultyCount; ++d)
        m_edits[DifficultyRecord::Field(DifficultyRecord::kNonExpansionResistColumn, d)]
            ->setVisible(nonExpansion);
    m_pRecord = std::make_unique<DifficultyRecord>();
    m_pFuncs->ReadDifficultyRecord(*m_pRecord, *m_pDiffTable);
    for (size_t k = 0; k < DifficultyRecord::kFieldCount; ++k)
        m_edits[k]->setText(CellToText(m_pRecord->fields[k]));
    return true;
}

void CDifficultyDlg::OnOK() {
    if (!m_pRecord || !m_pDiffTable || !m_pFuncs)
        return;
    DifficultyRecord record = *m_pRecord;
    if (!CCellEdit::CellsOf(m_edits, record.fields, m_prompts))
        return;
    // A refused write has said why; the dialog stays open with what was typed.
    if (!m_pFuncs->WriteDifficultyRecord(record, *m_pDiffTable).Report(m_prompts))
        return;
    *m_pRecord = record;
    accept();
}

void CDifficultyDlg::done(int result) {
    m_pRecord.reset();
    QDialog::done(result);
}

void CDifficultyDlg::showEvent(QShowEvent* event) {
    // Never larger than the screen it opens on.
    if (QScreen* screen = this->screen())
        resize(size().boundedTo(screen->availableGeometry().size()));
    QDialog::showEvent(event);
}
