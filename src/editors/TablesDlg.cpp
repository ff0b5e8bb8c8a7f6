#include "editors/TablesDlg.h"

#include "editors/CellText.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <QVBoxLayout>

CTablesDlg::CTablesDlg(Commands commands, QWidget* parent)
    : QDialog(parent), m_commands(std::move(commands)) {
    setWindowTitle("Tables");
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);

    m_pList = new QTreeWidget(this);
    m_pList->setAccessibleName("Tables of the mod");
    m_pList->setRootIsDecorated(false);
    m_pList->setUniformRowHeights(true);
    m_pList->setHeaderLabels({"Table", "From", "Differs from the game's"});
    m_pList->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    m_pList->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    connect(m_pList, &QTreeWidget::itemActivated, this, [this] { OnOpen(); });

    m_labelCount = new QLabel(this);

    auto* buttonOpen = new QPushButton("&Open", this);
    auto* buttonFind = new QPushButton("&Find in All Tables...", this);
    auto* buttonChanges = new QPushButton("&Changes...", this);
    auto* buttonClose = new QPushButton("Close", this);
    connect(buttonOpen, &QPushButton::clicked, this, &CTablesDlg::OnOpen);
    connect(buttonFind, &QPushButton::clicked, this, [this] {
        m_commands.findInAll();
        Refresh();
    });
    connect(buttonChanges, &QPushButton::clicked, this, [this] {
        m_commands.changes();
        Refresh();
    });
    connect(buttonClose, &QPushButton::clicked, this, &QDialog::reject);
    // Enter opens the selected table rather than closing the window.
    buttonOpen->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(buttonOpen);
    buttons->addWidget(buttonFind);
    buttons->addWidget(buttonChanges);
    buttons->addStretch();
    buttons->addWidget(buttonClose);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pList);
    layout->addWidget(m_labelCount);
    layout->addLayout(buttons);
    resize(560, 520);
    Refresh();
}

void CTablesDlg::Refresh() {
    const QTreeWidgetItem* current = m_pList->currentItem();
    const std::string selected = current ? current->text(0).toStdString() : std::string();
    m_pList->clear();
    const std::vector<Line> lines = m_commands.lines();
    for (const Line& line : lines)
        new QTreeWidgetItem(m_pList, {CellToText(line.fileName), CellToText(line.origin),
                                      CellToText(line.differs)});
    m_labelCount->setText(QString::number(lines.size()) +
                          (lines.size() == 1 ? " table" : " tables"));
    if (selected.empty() || !Select(selected))
        m_pList->setCurrentItem(m_pList->topLevelItem(0));
}

bool CTablesDlg::Select(const std::string& fileName) {
    const QList<QTreeWidgetItem*> found =
        m_pList->findItems(CellToText(fileName), Qt::MatchFixedString);
    if (found.isEmpty())
        return false;
    m_pList->setCurrentItem(found.front());
    m_pList->scrollToItem(found.front());
    return true;
}

void CTablesDlg::OnOpen() {
    const QTreeWidgetItem* item = m_pList->currentItem();
    if (item == nullptr)
        return;
    const QByteArray name = item->text(0).toLatin1();
    m_commands.open(name.toStdString());
    Refresh();
}
