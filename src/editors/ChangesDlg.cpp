#include "editors/ChangesDlg.h"

#include "editors/CellText.h"
#include "model/TableChanges.h"
#include "model/TableRevert.h"
#include "platform/UserPrompts.h"
#include "table/TxtTable.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QUndoStack>
#include <QVBoxLayout>

namespace {

constexpr int kKindRole = Qt::UserRole;
constexpr int kEntryRole = Qt::UserRole + 1;
constexpr int kRowRole = Qt::UserRole + 2;
constexpr int kColRole = Qt::UserRole + 3;

// "<key>, row N"; a row without a key by its number only.
QString RowName(std::string_view key, const QString& where, int32_t tableRow) {
    const QString number = where + QString::number(tableRow);
    return key.empty() ? number : CellToText(key) + QStringLiteral(", ") + number;
}

} // namespace

CChangesDlg::CChangesDlg(std::vector<Entry> entries, QUndoStack& undo, CUserPrompts& prompts,
                         OpenCell openCell, QWidget* parent)
    : QDialog(parent), m_entries(std::move(entries)), m_diffs(m_entries.size()), m_undo(undo),
      m_prompts(prompts), m_openCell(std::move(openCell)) {
    setWindowTitle(QStringLiteral("Changes Against the Game's Tables"));
    m_pSummary = new QLabel(this);
    m_pTree = new QTreeWidget(this);
    m_pTree->setHeaderLabels({QStringLiteral("Table / row"), QStringLiteral("Column"),
                              QStringLiteral("Game's"), QStringLiteral("Mod's")});
    m_pTree->setAccessibleName(QStringLiteral("Changes"));
    m_pTree->setUniformRowHeights(true);
    m_pTree->header()->setDefaultSectionSize(160);
    m_pTree->setColumnWidth(0, 300);

    m_btnRevertCell = new QPushButton(QStringLiteral("Revert Cell"), this);
    m_btnRevertRow = new QPushButton(QStringLiteral("Revert Row"), this);
    m_btnRevertTable = new QPushButton(QStringLiteral("Revert Table"), this);
    auto* close = new QDialogButtonBox(QDialogButtonBox::Close, this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_btnRevertCell);
    buttons->addWidget(m_btnRevertRow);
    buttons->addWidget(m_btnRevertTable);
    buttons->addStretch();
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pSummary);
    layout->addWidget(m_pTree);
    layout->addLayout(buttons);
    resize(760, 520);

    connect(m_btnRevertCell, &QPushButton::clicked, this, &CChangesDlg::OnRevertCell);
    connect(m_btnRevertRow, &QPushButton::clicked, this, &CChangesDlg::OnRevertRow);
    connect(m_btnRevertTable, &QPushButton::clicked, this, &CChangesDlg::OnRevertTable);
    connect(close, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pTree, &QTreeWidget::currentItemChanged, this, &CChangesDlg::UpdateButtons);
    connect(m_pTree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { OnDoubleClick(item); });

    // One top-level item per table, hidden while the table is as the game's: the items keep the
    // tables' order and index however the tables change.
    for (size_t entry = 0; entry < m_entries.size(); ++entry) {
        AddItem(nullptr, {Kind::Table, entry, 0, 0}, {CellToText(m_entries[entry].fileName)});
        if (CTableChanges* changes = m_entries[entry].changes) {
            connect(changes, &CTableChanges::tableChanged, this, [this, entry] { Refresh(entry); });
            connect(changes, &CTableChanges::tableReplaced, this,
                    [this, entry] { Refresh(entry); });
        }
        Refresh(entry);
    }
    for (int i = 0; i < m_pTree->topLevelItemCount(); ++i)
        if (QTreeWidgetItem* table = m_pTree->topLevelItem(i); !table->isHidden()) {
            m_pTree->setCurrentItem(table);
            break;
        }
    UpdateButtons();
}

QTreeWidgetItem* CChangesDlg::AddItem(QTreeWidgetItem* parent, const Target& target,
                                      const QStringList& texts) {
    auto* item = parent ? new QTreeWidgetItem(parent, texts) : new QTreeWidgetItem(m_pTree, texts);
    item->setData(0, kKindRole, static_cast<int>(target.kind));
    item->setData(0, kEntryRole, static_cast<qulonglong>(target.entry));
    item->setData(0, kRowRole, target.row);
    item->setData(0, kColRole, target.col);
    return item;
}

CChangesDlg::Target CChangesDlg::TargetOf(const QTreeWidgetItem* item) {
    return {static_cast<Kind>(item->data(0, kKindRole).toInt()),
            static_cast<size_t>(item->data(0, kEntryRole).toULongLong()),
            item->data(0, kRowRole).toInt(), item->data(0, kColRole).toInt()};
}

QTreeWidgetItem* CChangesDlg::FindItem(const Target& target) const {
    QTreeWidgetItem* tableItem = m_pTree->topLevelItem(static_cast<int>(target.entry));
    if (target.kind == Kind::Table)
        return tableItem;
    for (int i = 0; i < tableItem->childCount(); ++i) {
        QTreeWidgetItem* rowItem = tableItem->child(i);
        const Target row = TargetOf(rowItem);
        if (row.row != target.row || row.kind == Kind::Column)
            continue;
        if (target.kind != Kind::Cell && row.kind == target.kind)
            return rowItem;
        for (int j = 0; target.kind == Kind::Cell && j < rowItem->childCount(); ++j)
            if (TargetOf(rowItem->child(j)).col == target.col)
                return rowItem->child(j);
    }
    return nullptr;
}

void CChangesDlg::Refresh(size_t entry) {
    const Entry& table = m_entries[entry];
    m_diffs[entry] =
        table.mod && table.base ? CTableDiff::Compare(*table.base, *table.mod) : CTableDiff();
    QTreeWidgetItem* tableItem = m_pTree->topLevelItem(static_cast<int>(entry));

    // The current item is found again after the rebuild; one that is gone (a reverted cell)
    // hands the selection to what took its place, so reverts can follow one another.
    QTreeWidgetItem* current = m_pTree->currentItem();
    const bool wasHere = current && TargetOf(current).entry == entry;
    const Target before = wasHere ? TargetOf(current) : Target{};
    const int rowIndex =
        wasHere && current != tableItem
            ? tableItem->indexOfChild(current->parent() == tableItem ? current : current->parent())
            : -1;

    {
        const QSignalBlocker quiet(m_pTree);
        qDeleteAll(tableItem->takeChildren());
        FillTable(entry, tableItem);
        tableItem->setHidden(!m_diffs[entry].Differs());
        tableItem->setExpanded(true);
        for (int i = 0; i < tableItem->childCount(); ++i)
            tableItem->child(i)->setExpanded(true);
    }
    if (wasHere) {
        QTreeWidgetItem* again = FindItem(before);
        if (!again && tableItem->childCount() > 0 && rowIndex >= 0)
            again = tableItem->child(std::min(rowIndex, tableItem->childCount() - 1));
        if (!again && !tableItem->isHidden())
            again = tableItem;
        m_pTree->setCurrentItem(again);
    }
    UpdateSummary();
    UpdateButtons();
}

void CChangesDlg::FillTable(size_t entry, QTreeWidgetItem* tableItem) {
    const CTxtTable& mod = *m_entries[entry].mod;
    const CTxtTable& base = *m_entries[entry].base;
    const CTableDiff& diff = m_diffs[entry];
    const QString row = QStringLiteral("row "), gameRow = QStringLiteral("game's row ");

    // Changed and added rows in the mod's order, then the rows the mod lacks in the game's.
    auto added = diff.addedRows.begin();
    auto addAdded = [&](int32_t upTo) {
        for (; added != diff.addedRows.end() && *added < upTo; ++added)
            AddItem(tableItem, {Kind::AddedRow, entry, *added, 0},
                    {RowName(mod.CellView(0, *added), row, *added), QStringLiteral("(row added)")});
    };
    for (const CTableDiff::Row& changed : diff.changedRows) {
        addAdded(changed.modRow);
        QTreeWidgetItem* rowItem =
            AddItem(tableItem, {Kind::ChangedRow, entry, changed.modRow, 0},
                    {RowName(mod.CellView(0, changed.modRow), row, changed.modRow)});
        for (const CTableDiff::Cell& cell : changed.cells)
            AddItem(rowItem, {Kind::Cell, entry, changed.modRow, cell.modCol},
                    {QString(), CellToText(mod.CellView(cell.modCol, 0)), CellToText(cell.baseText),
                     CellToText(cell.modText)});
    }
    addAdded(INT32_MAX);
    for (const int32_t removed : diff.removedRows)
        AddItem(tableItem, {Kind::RemovedRow, entry, removed, 0},
                {RowName(base.CellView(0, removed), gameRow, removed),
                 QStringLiteral("(row removed)")});
    for (const int32_t col : diff.addedColumns)
        AddItem(tableItem, {Kind::Column, entry, 0, col},
                {QStringLiteral("(column added)"), CellToText(mod.CellView(col, 0))});
    for (const int32_t col : diff.removedColumns)
        AddItem(tableItem, {Kind::Column, entry, 0, -1},
                {QStringLiteral("(column removed)"), CellToText(base.CellView(col, 0))});
}

void CChangesDlg::UpdateSummary() {
    m_pSummary->setText(QString::fromStdString(ChangesSummary(m_diffs)));
}

void CChangesDlg::UpdateButtons() {
    const QTreeWidgetItem* current = m_pTree->currentItem();
    const Kind kind = current ? TargetOf(current).kind : Kind::Column;
    m_btnRevertCell->setEnabled(current && kind == Kind::Cell);
    m_btnRevertRow->setEnabled(current && kind != Kind::Table && kind != Kind::Column);
    m_btnRevertTable->setEnabled(current != nullptr);
}

void CChangesDlg::OnDoubleClick(QTreeWidgetItem* item) {
    const Target target = TargetOf(item);
    if (!m_openCell)
        return;
    if (target.kind == Kind::Cell)
        m_openCell(m_entries[target.entry].fileName, target.col, target.row);
    else if (target.kind == Kind::ChangedRow || target.kind == Kind::AddedRow)
        m_openCell(m_entries[target.entry].fileName, 0, target.row);
}

template <typename Revert> void CChangesDlg::RevertAt(const Target& target, Revert revert) {
    const Entry& table = m_entries[target.entry];
    if (!table.mod || !table.base)
        return;
    CTableRevert reverter(*table.mod, *table.base, table.changes, m_undo, table.fileName);
    // The view is refreshed by the table's change signal; without one it is refreshed here.
    if (!revert(reverter))
        m_prompts.ShowMessage("Nothing there differs from the game's table: a column only one of "
                              "the tables has is not reverted.");
    else if (!table.changes)
        Refresh(target.entry);
}

void CChangesDlg::OnRevertCell() {
    const QTreeWidgetItem* current = m_pTree->currentItem();
    if (!current || TargetOf(current).kind != Kind::Cell)
        return;
    const Target target = TargetOf(current);
    RevertAt(target,
             [&](CTableRevert& revert) { return revert.RevertCell(target.col, target.row); });
}

void CChangesDlg::OnRevertRow() {
    const QTreeWidgetItem* current = m_pTree->currentItem();
    if (!current)
        return;
    const Target target = TargetOf(current);
    switch (target.kind) {
    case Kind::Cell:
    case Kind::ChangedRow:
    case Kind::AddedRow:
        RevertAt(target, [&](CTableRevert& revert) { return revert.RevertRow(target.row); });
        break;
    case Kind::RemovedRow:
        RevertAt(target, [&](CTableRevert& revert) { return revert.PutBackRow(target.row); });
        break;
    case Kind::Table:
    case Kind::Column:
        break;
    }
}

void CChangesDlg::OnRevertTable() {
    if (const QTreeWidgetItem* current = m_pTree->currentItem())
        RevertAt(TargetOf(current), [](CTableRevert& revert) { return revert.RevertTable(); });
}
