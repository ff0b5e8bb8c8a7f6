#include "editors/FindAllDlg.h"

#include "editors/FindResultsModel.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// "34 matches in 5 tables"; "Nothing holds <text>." when there are none.
QString CountText(const std::vector<TableMatch>& matches, const QString& text) {
    if (matches.empty())
        return "Nothing holds " + text + ".";
    // The matches come table by table.
    size_t tables = 1;
    for (size_t i = 1; i < matches.size(); ++i)
        tables += matches[i].fileName != matches[i - 1].fileName;
    return QString("%1 %2 in %3 %4")
        .arg(QString::number(matches.size()), matches.size() == 1 ? "match" : "matches",
             QString::number(tables), tables == 1 ? "table" : "tables");
}

} // namespace

CFindAllDlg::CFindAllDlg(TablesSource tables, OpenMatch open, QWidget* parent)
    : QDialog(parent), m_tables(std::move(tables)), m_open(std::move(open)) {
    setWindowTitle("Find in All Tables");
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);

    m_editFind = new QLineEdit(this);
    m_editFind->setAccessibleName("Find");
    auto* label = new QLabel("F&ind:", this);
    label->setBuddy(m_editFind);
    m_checkWholeCell = new QCheckBox("&Whole cell", this);
    m_checkMatchCase = new QCheckBox("&Match case", this);
    auto* find = new QPushButton("&Find", this);
    // Enter finds from the text field and opens the current match from the list, so no button
    // takes it as the dialog's default.
    find->setAutoDefault(false);
    connect(find, &QPushButton::clicked, this, &CFindAllDlg::OnFind);
    connect(m_editFind, &QLineEdit::returnPressed, this, &CFindAllDlg::OnFind);

    m_pResults = new CFindResultsModel(this);
    m_pList = new QTableView(this);
    m_pList->setAccessibleName("Matches");
    m_pList->setModel(m_pResults);
    m_pList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pList->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_pList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_pList->setWordWrap(false);
    m_pList->verticalHeader()->hide();
    // Fixed heights: a find may list every cell of the game.
    m_pList->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pList->horizontalHeader()->setStretchLastSection(true);
    // A double click, or Enter on the current match.
    connect(m_pList, &QTableView::activated, this,
            [this](const QModelIndex& index) { OnOpenMatch(index.row()); });

    m_labelCount = new QLabel(this);
    m_labelCount->setTextFormat(Qt::PlainText);
    m_labelCount->setAccessibleName("Find result");
    auto* close = new QPushButton("Close", this);
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);

    auto* top = new QHBoxLayout;
    for (QWidget* widget : std::initializer_list<QWidget*>{label, m_editFind, m_checkWholeCell,
                                                           m_checkMatchCase, find})
        top->addWidget(widget);
    top->setStretchFactor(m_editFind, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_labelCount, 1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_pList, 1);
    layout->addLayout(bottom);
    resize(800, 500);
    m_editFind->setFocus();
}

void CFindAllDlg::OnFind() {
    const QString text = m_editFind->text();
    if (text.isEmpty())
        return;
    std::vector<TableMatch> matches =
        FindInAllTables(m_tables(), text,
                        FindOptions{m_checkWholeCell->isChecked(), m_checkMatchCase->isChecked()});
    m_labelCount->setText(CountText(matches, text));
    m_pResults->SetMatches(std::move(matches));
    if (m_pResults->rowCount() > 0)
        m_pList->resizeColumnsToContents();
}

void CFindAllDlg::OnOpenMatch(int matchIndex) {
    const std::vector<TableMatch>& matches = m_pResults->Matches();
    if (matchIndex < 0 || static_cast<size_t>(matchIndex) >= matches.size() || !m_open)
        return;
    // A copy: opening the table may run a find of its own that replaces the list.
    const TableMatch match = matches[static_cast<size_t>(matchIndex)];
    m_open(match.fileName, match.col, match.tableRow);
}
