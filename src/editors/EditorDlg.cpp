#include "editors/EditorDlg.h"

#include "editors/CellEdit.h"
#include "editors/FilterList.h"
#include "platform/ProfileFile.h"
#include "platform/UserPrompts.h"

#include <QAction>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The program's own section of the settings file.
constexpr const char* kSection = "Tarvane";

} // namespace

CEditorDlg::CEditorDlg(CUserPrompts& prompts, const char* name, QWidget* parent)
    : QDialog(parent), m_prompts(prompts), m_name(name) {}

CFilterList* CEditorDlg::MakeEntryList(const QString& caption) {
    m_pList = new CFilterList(caption, this);
    connect(m_pList, &CFilterList::CurrentChanged, this, &CEditorDlg::OnSelChange);
    return m_pList;
}

void CEditorDlg::SetUpLayout(QWidget* fields) {
    m_pFields = fields;
    m_pScroll = new QScrollArea(this);
    m_pScroll->setFrameShape(QFrame::NoFrame);
    m_pScroll->setWidgetResizable(true);
    m_pScroll->setWidget(fields);

    m_buttonOK = new QPushButton("OK", this);
    m_buttonCancel = new QPushButton("Cancel", this);
    m_buttonApply = new QPushButton("Apply", this);
    m_buttonAllColumns = new QPushButton("All Columns...", this);
    m_buttonAllColumns->setAutoDefault(false);
    m_buttonAllColumns->setToolTip("Every column of the table, in a grid (Ctrl+G)");
    connect(m_buttonAllColumns, &QPushButton::clicked, this, &CEditorDlg::OnAllColumns);
    // An action rather than the button's shortcut, which would click it only after a delay.
    auto* allColumns = new QAction(this);
    allColumns->setShortcut(QKeySequence("Ctrl+G"));
    connect(allColumns, &QAction::triggered, this, &CEditorDlg::OnAllColumns);
    addAction(allColumns);
    // Enter presses OK, which asks before typed values would be dropped.
    m_buttonOK->setDefault(true);
    connect(m_buttonOK, &QPushButton::clicked, this, &CEditorDlg::OnOK);
    connect(m_buttonCancel, &QPushButton::clicked, this, &CEditorDlg::OnCancel);
    connect(m_buttonApply, &QPushButton::clicked, this, [this] {
        OnApply();
        emit applied();
    });

    auto* right = new QVBoxLayout;
    if (m_pList) {
        m_labelEditing = new QLabel(this);
        m_labelEditing->setTextFormat(Qt::PlainText);
        right->addWidget(m_labelEditing);
    }
    right->addWidget(m_pScroll, 1);
    auto* columns = new QHBoxLayout;
    if (m_pList)
        columns->addWidget(m_pList);
    columns->addLayout(right, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_buttonAllColumns);
    buttons->addStretch();
    buttons->addWidget(m_buttonOK);
    buttons->addWidget(m_buttonCancel);
    buttons->addWidget(m_buttonApply);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    CCellEdit::ShowRefusals(*this, m_prompts);
}

int CEditorDlg::exec() {
    if (!OnInitDialog()) {
        setResult(0);
        return 0;
    }
    return QDialog::exec();
}

void CEditorDlg::OnOK() {
    if (ConfirmLeavingRecord())
        accept();
}

void CEditorDlg::OnCancel() {
    reject();
}

void CEditorDlg::OnAllColumns() {
    if (!m_showAllColumns || !ConfirmLeavingRecord())
        return;
    m_showAllColumns(std::max(m_nShownRow, 1));
    // The grid may have changed the shown record's cells.
    ShowRow(m_nShownRow);
}

bool CEditorDlg::ConfirmLeavingRecord() {
    if (m_nShownRow < 0 || !HasUnappliedChanges())
        return true;
    const QByteArray name = m_strShownName.toLatin1();
    switch (
        m_prompts.AskThreeWay("Apply your changes to " + name.toStdString() + "?", "Yes", "No")) {
    case CUserPrompts::Answer::First:
        // A refused apply has said why and kept the typed text: the user stays on it.
        OnApply();
        emit applied();
        return !HasUnappliedChanges();
    case CUserPrompts::Answer::Second:
        return true;
    case CUserPrompts::Answer::Cancel:
        break;
    }
    return false;
}

void CEditorDlg::OnSelChange() {
    const int32_t current = m_pList->CurrentRow();
    // Back on the shown entry before the question came up: its typed text stays.
    if (m_nShownRow >= 0 && current == m_nShownRow)
        return;
    if (m_nShownRow < 0 || !HasUnappliedChanges()) {
        ShowCurrent();
        return;
    }
    // The question waits until the list has finished the click or key that moved it: a
    // selection put back in the middle of a click would leave the clicked entry highlighted.
    if (m_bQuestionQueued)
        return;
    m_bQuestionQueued = true;
    QMetaObject::invokeMethod(
        this,
        [this, generation = m_nGeneration] {
            if (generation != m_nGeneration)
                return;
            m_bQuestionQueued = false;
            if (m_pList->CurrentRow() == m_nShownRow)
                return;
            if (ConfirmLeavingRecord())
                ShowCurrent();
            else
                m_pList->SelectRow(m_nShownRow);
        },
        Qt::QueuedConnection);
}

void CEditorDlg::ShowEntries(const std::vector<CFilterList::Entry>& entries) {
    ++m_nGeneration;
    m_bQuestionQueued = false;
    m_nShownRow = -1;
    if (m_pList) {
        m_pList->SetEntries(entries);
        const std::string key = Setting("Selected");
        if (key.empty() || !m_pList->SelectKey(QString::fromLatin1(key)))
            m_pList->SelectFirst();
    }
    ShowCurrent();
}

void CEditorDlg::ShowCurrent() {
    m_nShownRow = m_pList ? m_pList->CurrentRow() : -1;
    m_strShownName = m_pList ? m_pList->CurrentName() : QString();
    m_strShownKey = m_pList ? m_pList->CurrentKey() : QString();
    ShowRow(m_nShownRow);
    ShowEditingLine();
}

void CEditorDlg::ShowEditingLine() {
    if (!m_labelEditing)
        return;
    const bool shown = m_nShownRow >= 0;
    m_labelEditing->setText(shown ? "Editing: " + m_strShownName + ", row " +
                                        QString::number(m_nShownRow)
                                  : QString("Editing: nothing (no entry is listed)"));
    if (m_pFields)
        m_pFields->setEnabled(shown);
    if (m_buttonApply)
        m_buttonApply->setEnabled(shown);
}

void CEditorDlg::done(int result) {
    // A question still waiting belongs to this run, which ends here.
    ++m_nGeneration;
    m_bQuestionQueued = false;
    Remember();
    QDialog::done(result);
}

void CEditorDlg::setVisible(bool visible) {
    if (m_buttonAllColumns)
        m_buttonAllColumns->setVisible(bool(m_showAllColumns));
    if (visible && !m_bPlaced && !isVisible()) {
        m_bPlaced = true;
        PlaceOnScreen();
    }
    QDialog::setVisible(visible);
}

void CEditorDlg::PlaceOnScreen() {
    ensurePolished();
    QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    if (!screen)
        return;
    // Room for the title bar, which the size does not include.
    const int titleBar = style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    const QSize room =
        (screen->availableGeometry().size() - QSize(8, titleBar + 8)).expandedTo(QSize(1, 1));

    const std::string saved = Setting("Geometry");
    if (!saved.empty() &&
        restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(saved)))) {
        if (width() > room.width() || height() > room.height())
            resize(size().boundedTo(room));
        return;
    }

    // Hidden widgets keep their layouts' old sizes through a change of font or style.
    for (QWidget* widget : {static_cast<QWidget*>(m_pFields), static_cast<QWidget*>(this)}) {
        if (widget && widget->layout()) {
            widget->layout()->invalidate();
            widget->layout()->activate();
        }
    }
    // The size the whole grid needs: a scroll area on its own asks for a part of it only.
    QSize want = sizeHint();
    if (m_pScroll && m_pFields) {
        const QSize grid = m_pFields->sizeHint();
        const QSize offered = m_pScroll->sizeHint();
        want += QSize(std::max(0, grid.width() - offered.width()),
                      std::max(0, grid.height() - offered.height()));
        if (want.height() > room.height())
            want.rwidth() += m_pScroll->verticalScrollBar()->sizeHint().width();
    }
    resize(want.boundedTo(room));
}

void CEditorDlg::Remember() {
    if (m_strSettingsPath.empty() || !m_bPlaced)
        return;
    // Remembering is a convenience: a settings file that cannot be written costs only that.
    CProfileFile::WriteString(m_strSettingsPath, kSection, std::string(m_name) + "Geometry",
                              saveGeometry().toBase64().toStdString());
    if (m_nShownRow >= 0)
        CProfileFile::WriteString(m_strSettingsPath, kSection, std::string(m_name) + "Selected",
                                  m_strShownKey.toLatin1().toStdString());
}

std::string CEditorDlg::Setting(const char* what) const {
    if (m_strSettingsPath.empty())
        return {};
    return CProfileFile::ReadString(m_strSettingsPath, kSection, std::string(m_name) + what, "");
}
