#include "editors/GlobalSettingsDlg.h"

#include "editors/CellEdit.h"
#include "editors/CellText.h"
#include "editors/ModFuncs.h"
#include "platform/FileSystem.h"
#include "platform/NoteLog.h"
#include "platform/ProfileFile.h"
#include "platform/UserPrompts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr const char* kSection = "Global";

struct AmountField {
    const char* caption;
    const char* key;
    const char* defaultValue;
    int min; // what the arrows stay within; OK holds typed multipliers to it too
    int max;
    const char* multiplier; // the name OK's message gives it; null: not held to the range
};

// Layout order: the health multiplier first.
constexpr std::array<AmountField, CGlobalSettingsDlg::kAmountCount> kAmounts = {{
    {"Mulitply monsters health by", "HealthMultiplier", "1", 1, 16, "an MH"},
    {"Monsters hit harder", "HitHarder", "0", 0, 100, "an HH"},
    {"Monsters block better", "BlockBetter", "0", 0, 50, "a BB"},
    // Smaller groups are allowed; the groups themselves never shrink below 1.
    {"Monsters appear in larger groups", "LargerGroups", "0", 0, 25, nullptr},
}};

struct OptionField {
    const char* caption;
    const char* key;
};

constexpr std::array<OptionField, CGlobalSettingsDlg::kOptionCount> kOptions = {{
    {"Increase Experience", "IncreaseXP"},
    {"Increase item drop rate", "IncreaseDrops"},
    {"Monsters appear on automap", "AutoMap"},
}};

// The decimal number at the start of the text, read as the game reads a cell.
int32_t LeadingNumber(const QString& text) {
    return LeadingInteger(TextToCell(text).value_or(""));
}

} // namespace

CGlobalSettingsDlg::CGlobalSettingsDlg(CUserPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_prompts(prompts) {
    setWindowTitle(kTitle);

    auto* grid = new QGridLayout;
    int line = 0;
    for (size_t a = 0; a < kAmountCount; ++a) {
        auto* edit = new CCellEdit(this);
        edit->setAccessibleName(kAmounts[a].caption);
        edit->installEventFilter(this);
        m_edits[a] = edit;
        auto* label = new QLabel(kAmounts[a].caption, this);
        label->setBuddy(edit);
        // The arrows beside the edit step its number within the field's range.
        auto* up = new QToolButton(this);
        up->setArrowType(Qt::UpArrow);
        up->setAutoRepeat(true);
        up->setFocusPolicy(Qt::NoFocus);
        up->setAccessibleName(QString(kAmounts[a].caption) + " up");
        auto* down = new QToolButton(this);
        down->setArrowType(Qt::DownArrow);
        down->setAutoRepeat(true);
        down->setFocusPolicy(Qt::NoFocus);
        down->setAccessibleName(QString(kAmounts[a].caption) + " down");
        connect(up, &QToolButton::clicked, this, [this, a] { Step(a, 1); });
        connect(down, &QToolButton::clicked, this, [this, a] { Step(a, -1); });
        auto* arrows = new QVBoxLayout;
        arrows->setSpacing(0);
        arrows->addWidget(up);
        arrows->addWidget(down);
        grid->addWidget(label, line, 0);
        grid->addWidget(edit, line, 1);
        grid->addLayout(arrows, line, 2);
        ++line;
    }
    for (size_t o = 0; o < kOptionCount; ++o) {
        m_boxes[o] = new QCheckBox(kOptions[o].caption, this);
        grid->addWidget(m_boxes[o], line++, 0, 1, 3);
    }
    // Shown under the automap box when the monster table has no column for it.
    m_autoMapNote = new QLabel("Not available for Diablo II 1.10 and later: their automap flag "
                               "is in MonStats2.txt, which this program does not edit.",
                               this);
    m_autoMapNote->setWordWrap(true);
    m_autoMapNote->setIndent(20);
    m_autoMapNote->setVisible(false);
    grid->addWidget(m_autoMapNote, line++, 0, 1, 3);
    // OK is the default button and the dialog opens with the values applied last.
    auto* compounds = new QLabel("The multipliers act on the tables as they are now: each OK "
                                 "multiplies again what earlier ones left.",
                                 this);
    compounds->setWordWrap(true);
    grid->addWidget(compounds, line++, 0, 1, 3);

    auto* buttonOK = new QPushButton("OK", this);
    auto* buttonCancel = new QPushButton("Cancel", this);
    // Enter presses OK.
    buttonOK->setDefault(true);
    connect(buttonOK, &QPushButton::clicked, this, &CGlobalSettingsDlg::OnOK);
    connect(buttonCancel, &QPushButton::clicked, this, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buttonOK);
    buttons->addWidget(buttonCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addStretch();
    layout->addLayout(buttons);
    CCellEdit::ShowRefusals(*this, m_prompts);
}

int CGlobalSettingsDlg::exec() {
    if (!OnInitDialog()) {
        setResult(0);
        return 0;
    }
    return QDialog::exec();
}

bool CGlobalSettingsDlg::OnInitDialog() {
    // Every table OK may change must be there: a dialog without one would change nothing of it.
    if (!m_pMonTable) {
        m_prompts.ShowMessage("Programming error, MonTable pointer is NULL.");
        return false;
    }
    if (!m_pItmTable && !DropsFromTreasureClasses()) {
        m_prompts.ShowMessage("Programming error, ItmTable pointer is NULL.");
        return false;
    }
    if (!m_pTCTable) {
        m_prompts.ShowMessage("Programming error, TCTable pointer is NULL.");
        return false;
    }
    for (size_t a = 0; a < kAmountCount; ++a)
        m_edits[a]->setText(CellToText(Stored(kAmounts[a].key, kAmounts[a].defaultValue)));
    for (size_t o = 0; o < kOptionCount; ++o)
        m_boxes[o]->setChecked(Stored(kOptions[o].key, "0") == "1");
    const bool hasAutoMap = !HasColumnsOf110(m_layout);
    m_boxes[AutoMap]->setEnabled(hasAutoMap);
    m_autoMapNote->setVisible(!hasAutoMap);
    m_boxes[AutoMap]->setAccessibleDescription(hasAutoMap ? QString() : m_autoMapNote->text());
    return true;
}

void CGlobalSettingsDlg::OnOK() {
    if (!m_pMonTable || (!m_pItmTable && !DropsFromTreasureClasses()) || !m_pTCTable)
        return;
    Amounts texts;
    if (!CCellEdit::CellsOf(m_edits, texts, m_prompts))
        return;
    std::array<int32_t, kAmountCount> values{};
    for (size_t a = 0; a < kAmountCount; ++a)
        values[a] = LeadingInteger(texts[a]);
    // Beyond its arrows' range a multiplier gives the game values it cannot use (every hit
    // point at the 32-bit limit).
    for (size_t a : {HealthMultiplier, BlockBetter, HitHarder}) {
        const AmountField& field = kAmounts[a];
        if (values[a] < field.min || values[a] > field.max) {
            m_prompts.ShowMessage(std::string("You cannot specify ") + field.multiplier +
                                  " multiplier of less than " + std::to_string(field.min) +
                                  " or greater than " + std::to_string(field.max));
            return;
        }
    }
    if (RepeatsLastApplied(values) &&
        !m_prompts.AskYesNo("These settings were applied before; applying them again "
                            "multiplies the tables again. Apply them again?"))
        return;
    const int32_t mh = values[HealthMultiplier];
    const int32_t hh = values[HitHarder];
    const int32_t bb = values[BlockBetter];
    const int32_t lg = values[LargerGroups];

    const CModFuncs funcs;
    if (m_boxes[AutoMap]->isChecked() && !HasColumnsOf110(m_layout))
        funcs.ApplyAutoMap(1, *m_pMonTable);
    // Experience and drops rise with the hit points only.
    if (mh != 1) {
        funcs.ApplyHealthMultiplier(mh, *m_pMonTable);
        if (m_boxes[IncreaseXP]->isChecked())
            funcs.ApplyExperience(mh, *m_pMonTable);
        if (m_boxes[IncreaseDrops]->isChecked()) {
            if (DropsFromTreasureClasses())
                funcs.ApplyDropRate(mh, *m_pTCTable, true);
            else
                funcs.ApplyDropRate(mh, *m_pItmTable, false);
        }
    }
    if (bb != 0)
        funcs.ApplyBlockBetter(bb, *m_pMonTable, m_layout);
    if (hh != 0)
        funcs.ApplyHitHarder(hh, *m_pMonTable);
    if (lg != 0)
        funcs.ApplyLargerGroups(lg, *m_pMonTable);

    StoreSettings(texts);
    accept();
}

bool CGlobalSettingsDlg::DropsFromTreasureClasses() const {
    // Compiled tables take their drops from TreasureClassEx; Resurrected has no MonItemPercent.
    return m_bBinTables || m_layout == TableLayout::D2R;
}

std::string CGlobalSettingsDlg::Stored(const char* key, const char* defaultValue) const {
    if (m_strSettingsPath.empty())
        return defaultValue;
    return CProfileFile::ReadString(m_strSettingsPath, kSection, key, defaultValue);
}

bool CGlobalSettingsDlg::RepeatsLastApplied(const std::array<int32_t, kAmountCount>& values) const {
    // Values that change nothing (the automap flag alone) do no harm applied twice.
    if (values[HealthMultiplier] == 1 && values[HitHarder] <= 1 && values[BlockBetter] == 0 &&
        values[LargerGroups] == 0)
        return false;
    for (size_t a = 0; a < kAmountCount; ++a)
        if (LeadingInteger(Stored(kAmounts[a].key, kAmounts[a].defaultValue)) != values[a])
            return false;
    for (size_t o = 0; o < kOptionCount; ++o)
        if ((Stored(kOptions[o].key, "0") == "1") != m_boxes[o]->isChecked())
            return false;
    return true;
}

void CGlobalSettingsDlg::StoreSettings(const Amounts& texts) {
    if (m_strSettingsPath.empty())
        return;
    bool written = true;
    for (size_t a : {HitHarder, HealthMultiplier, BlockBetter, LargerGroups})
        written = written &&
                  CProfileFile::WriteString(m_strSettingsPath, kSection, kAmounts[a].key, texts[a]);
    for (size_t o : {IncreaseDrops, IncreaseXP, AutoMap}) {
        // The box was not offered without a column for it: its stored value stays as it was.
        if (o == AutoMap && HasColumnsOf110(m_layout))
            continue;
        written = written && CProfileFile::WriteString(m_strSettingsPath, kSection, kOptions[o].key,
                                                       m_boxes[o]->isChecked() ? "1" : "0");
    }
    // The tables are changed all the same; only the next prefill misses these values.
    if (!written && m_pNotes)
        m_pNotes->AppendNote("The settings file " + NativePath(m_strSettingsPath) +
                             " could not be written, so Global > Difficulty... will not offer "
                             "these values next time.");
}

void CGlobalSettingsDlg::Step(size_t amount, int delta) {
    const AmountField& field = kAmounts[amount];
    const int64_t value = std::clamp<int64_t>(
        int64_t{LeadingNumber(m_edits[amount]->text())} + delta, field.min, field.max);
    m_edits[amount]->setText(QString::number(value));
}

bool CGlobalSettingsDlg::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        for (size_t a = 0; a < kAmountCount; ++a) {
            if (watched == m_edits[a] && (key == Qt::Key_Up || key == Qt::Key_Down)) {
                Step(a, key == Qt::Key_Up ? 1 : -1);
                return true;
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CGlobalSettingsDlg::showEvent(QShowEvent* event) {
    // Never larger than the screen it opens on.
    if (QScreen* screen = this->screen())
        resize(size().boundedTo(screen->availableGeometry().size()));
    QDialog::showEvent(event);
}
