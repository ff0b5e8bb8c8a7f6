#include "editors/ProblemsPane.h"

#include "editors/CellText.h"

#include <QHeaderView>
#include <QLabel>
#include <QTreeWidget>
#include <QVBoxLayout>

CProblemsPane::CProblemsPane(OpenCell open, QWidget* parent)
    : QWidget(parent), m_open(std::move(open)) {
    m_labelCaption = new QLabel(this);
    m_pList = new QTreeWidget(this);
    m_pList->setAccessibleName("Problems");
    m_labelCaption->setBuddy(m_pList);
    m_pList->setRootIsDecorated(false);
    m_pList->setUniformRowHeights(true);
    m_pList->setHeaderLabels({"Table", "Row", "Column", "Cell", "Problem"});
    m_pList->header()->setStretchLastSection(true);
    connect(m_pList, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* item) { OnOpenProblem(m_pList->indexOfTopLevelItem(item)); });
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_labelCaption);
    layout->addWidget(m_pList);
    SetProblems({});
}

void CProblemsPane::SetProblems(const std::vector<CProblem>& problems) {
    m_problems = problems;
    m_pList->clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(static_cast<qsizetype>(problems.size()));
    size_t found = 0;
    for (const CProblem& problem : problems) {
        // A rule that could not run has no cell: its sentence says all.
        const bool atCell = problem.tableRow >= 0;
        found += atCell ? 1 : 0;
        items.push_back(new QTreeWidgetItem(QStringList{
            CellToText(problem.fileName), CellToText(problem.rowName), CellToText(problem.column),
            CellToText(problem.cell), CellToText(atCell ? problem.what : problem.Sentence())}));
    }
    m_pList->addTopLevelItems(items);
    m_labelCaption->setText(found == 0 ? QString("&Problems: none")
                                       : QString("&Problems: %1").arg(found));
}

void CProblemsPane::OnOpenProblem(int index) {
    if (index < 0 || static_cast<size_t>(index) >= m_problems.size())
        return;
    const CProblem& problem = m_problems[static_cast<size_t>(index)];
    if (problem.tableRow >= 0 && m_open)
        m_open(problem.fileName, problem.col, problem.tableRow);
}
