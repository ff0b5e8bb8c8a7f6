#include "editors/TableGridDlg.h"

#include "editors/CellText.h"
#include "editors/FrozenColumnTable.h"
#include "model/RowsCommand.h"
#include "model/TableBlock.h"
#include "model/TableChanges.h"
#include "model/TableFind.h"
#include "model/TableModel.h"
#include "platform/ProfileFile.h"
#include "platform/UserPrompts.h"
#include "table/TxtTable.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolBar>
#include <QUndoStack>
#include <QVBoxLayout>

#include <algorithm>
#include <charconv>

namespace {

// Widths outside this range are not taken from the settings file: a hand-edited value could
// otherwise hide a column or make it wider than any screen.
constexpr int kMinWidth = 8;
constexpr int kMaxWidth = 4000;

// The width a column has until the user changes it. The first column names the rows ("Act 1
// Champion (N)"), so it starts wider than the others.
int UsualWidth(const QTableView& view, int col) {
    const int usual = view.horizontalHeader()->defaultSectionSize();
    return col == 0 ? 2 * usual : usual;
}

} // namespace

CTableGridDlg::CTableGridDlg(CTableModel& model, const std::string& fileName,
                             const std::string& settingsPath, QWidget* parent)
    : QDialog(parent), m_model(model), m_strFileName(fileName), m_strSettingsPath(settingsPath) {
    setWindowTitle(QString::fromLatin1(fileName));
    setWindowFlags(windowFlags() | Qt::WindowMinMaxButtonsHint);
    setSizeGripEnabled(true);

    m_pView = new CFrozenColumnTable(this);
    m_pView->setAccessibleName("Cells of " + QString::fromLatin1(fileName));
    m_pView->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                             QAbstractItemView::AnyKeyPressed);
    m_pView->setModel(&model);
    // Fixed row heights and widths: measuring 10,000 rows would cost more than opening does.
    m_pView->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pView->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);

    auto* tools = new QToolBar(this);
    tools->setAccessibleName("Grid commands");
    auto add = [this, tools](QAction* action, std::initializer_list<QKeySequence> keys) {
        action->setShortcuts(QList<QKeySequence>(keys));
        action->setShortcutContext(Qt::WindowShortcut);
        tools->addAction(action);
        addAction(action);
        return action;
    };
    auto command = [this](const char* caption, void (CTableGridDlg::*handler)()) {
        QAction* action = new QAction(caption, this);
        connect(action, &QAction::triggered, this, handler);
        return action;
    };
    add(command("Copy", &CTableGridDlg::OnCopy), {QKeySequence("Ctrl+C")});
    add(command("Paste", &CTableGridDlg::OnPaste), {QKeySequence("Ctrl+V")});
    add(command("Fill Down", &CTableGridDlg::OnFillDown), {QKeySequence("Ctrl+D")});
    add(command("Fill Right", &CTableGridDlg::OnFillRight), {QKeySequence("Ctrl+R")});
    tools->addSeparator();
    m_rowActions = {
        add(command("Insert Row", &CTableGridDlg::OnInsertRow), {QKeySequence("Ctrl+I")}),
        add(command("Duplicate Row(s)", &CTableGridDlg::OnDuplicateRows),
            {QKeySequence("Ctrl+Shift+D")}),
        add(command("Delete Row(s)", &CTableGridDlg::OnDeleteRows), {QKeySequence("Ctrl+Delete")}),
    };
    for (QWidget* widget : std::initializer_list<QWidget*>{m_pView, m_pView->FrozenView(),
                                                           m_pView->verticalHeader()}) {
        widget->setContextMenuPolicy(Qt::ActionsContextMenu);
        widget->addActions(m_rowActions);
    }
    tools->addSeparator();
    add(model.UndoStack().createUndoAction(this, "Undo"), {QKeySequence("Ctrl+Z")});
    add(model.UndoStack().createRedoAction(this, "Redo"),
        {QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
    tools->addSeparator();
    add(command("Find...", &CTableGridDlg::OnFind), {QKeySequence("Ctrl+F")});

    auto* close = new QPushButton("Close", this);
    close->setAutoDefault(false);
    // Nothing to accept or cancel: every step is on the undo stack already.
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(MakeFindBar(), 1);
    bottom->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->setMenuBar(tools);
    layout->addWidget(m_pView, 1);
    layout->addLayout(bottom);
    resize(900, 600);
    RestoreWidths();
    m_pView->setFocus();
    if (model.rowCount() > 0)
        m_pView->setCurrentIndex(model.index(0, 0));
}

QWidget* CTableGridDlg::MakeFindBar() {
    m_pFindBar = new QWidget(this);
    m_editFind = new QLineEdit(m_pFindBar);
    m_editFind->setAccessibleName("Find");
    m_checkWholeCell = new QCheckBox("&Whole cell", m_pFindBar);
    m_checkMatchCase = new QCheckBox("&Match case", m_pFindBar);
    auto* next = new QPushButton("&Next", m_pFindBar);
    auto* previous = new QPushButton("&Previous", m_pFindBar);
    m_labelFound = new QLabel(m_pFindBar);
    m_labelFound->setTextFormat(Qt::PlainText);
    m_labelFound->setAccessibleName("Find result");
    for (QPushButton* button : {next, previous})
        button->setAutoDefault(false);
    connect(next, &QPushButton::clicked, this, [this] { OnFindNext(false); });
    connect(previous, &QPushButton::clicked, this, [this] { OnFindNext(true); });
    connect(m_editFind, &QLineEdit::returnPressed, this, [this] { OnFindNext(false); });

    auto* label = new QLabel("F&ind:", m_pFindBar);
    label->setBuddy(m_editFind);
    auto* layout = new QHBoxLayout(m_pFindBar);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* widget : std::initializer_list<QWidget*>{
             label, m_editFind, m_checkWholeCell, m_checkMatchCase, next, previous, m_labelFound})
        layout->addWidget(widget);
    layout->setStretchFactor(m_labelFound, 1);
    m_pFindBar->hide();
    return m_pFindBar;
}

void CTableGridDlg::SelectTableRow(int32_t tableRow, int32_t col) {
    const QModelIndex index = m_model.IndexOf(std::max(col, 0), tableRow);
    if (!index.isValid())
        return;
    if (col < 0)
        m_pView->selectRow(index.row());
    else
        m_pView->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    m_pView->selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    m_pView->scrollTo(index, QAbstractItemView::PositionAtCenter);
}

std::pair<QModelIndex, QModelIndex> CTableGridDlg::SelectedBlock() const {
    const QItemSelection selection = m_pView->selectionModel()->selection();
    // Blocks are rectangles: a selection of several pieces stands for its current cell.
    if (selection.size() != 1) {
        const QModelIndex current = m_pView->currentIndex();
        return {current, current};
    }
    return {selection.first().topLeft(), selection.first().bottomRight()};
}

void CTableGridDlg::OnCopy() {
    const auto [topLeft, bottomRight] = SelectedBlock();
    if (!topLeft.isValid())
        return;
    QApplication::clipboard()->setText(
        CopyBlock(m_model.Table(), topLeft.column(), CTableModel::TableRow(topLeft),
                  bottomRight.column(), CTableModel::TableRow(bottomRight)));
}

void CTableGridDlg::OnPaste() {
    const auto [topLeft, bottomRight] = SelectedBlock();
    if (topLeft.isValid())
        PasteBlock(m_model, topLeft, QApplication::clipboard()->text(), bottomRight);
}

void CTableGridDlg::OnFillDown() {
    const auto [topLeft, bottomRight] = SelectedBlock();
    if (topLeft.isValid())
        FillDown(m_model, topLeft, bottomRight);
}

void CTableGridDlg::OnFillRight() {
    const auto [topLeft, bottomRight] = SelectedBlock();
    if (topLeft.isValid())
        FillRight(m_model, topLeft, bottomRight);
}

std::vector<int32_t> CTableGridDlg::SelectedTableRows() const {
    std::vector<int32_t> rows;
    for (const QItemSelectionRange& range : m_pView->selectionModel()->selection())
        for (int row = range.top(); row <= range.bottom(); ++row)
            rows.push_back(row + 1);
    if (rows.empty() && m_pView->currentIndex().isValid())
        rows.push_back(CTableModel::TableRow(m_pView->currentIndex()));
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

bool CTableGridDlg::MayMoveRows(const QString& change) const {
    const QStringList tables = m_rowAddressers ? m_rowAddressers() : QStringList();
    if (tables.isEmpty())
        return true;
    return m_model.Prompts().AskYesNo(
        QStringLiteral("%1 address rows of %2 by their position. %3 moves every row below it. "
                       "Go on?")
            .arg(tables.join(", "), QString::fromLatin1(m_strFileName), change)
            .toStdString());
}

void CTableGridDlg::PushRows(std::unique_ptr<CRowsCommand> command, int32_t selectTableRow) {
    if (!command)
        return;
    m_model.UndoStack().push(command.release());
    SelectTableRow(std::min(selectTableRow, m_model.rowCount()));
}

void CTableGridDlg::KeepRowsInPlace(const QString& why) {
    for (QAction* action : m_rowActions) {
        action->setEnabled(false);
        action->setToolTip(why);
    }
}

void CTableGridDlg::OnInsertRow() {
    CTxtTable& table = m_model.Table();
    const QModelIndex current = m_pView->currentIndex();
    const int32_t row = current.isValid() ? CTableModel::TableRow(current) : table.Rows();
    if (row < table.Rows() && !MayMoveRows(QStringLiteral("Inserting a row above row %1").arg(row)))
        return;
    std::vector<CRowsCommand::Row> rows{{row, std::vector<std::string>(table.Columns())}};
    PushRows(CRowsCommand::Insert(table, &m_model.Changes(), std::move(rows),
                                  QStringLiteral("Insert row %1").arg(row)),
             row);
}

void CTableGridDlg::OnDuplicateRows() {
    CTxtTable& table = m_model.Table();
    const std::vector<int32_t> selected = SelectedTableRows();
    if (selected.empty())
        return;
    // The copies follow the last selected row, in the order of their rows.
    const int32_t at = selected.back() + 1;
    std::vector<CRowsCommand::Row> copies;
    for (int32_t row : selected) {
        copies.push_back({at + static_cast<int32_t>(copies.size()), table.RowCells(row)});
        const std::vector<std::string>& cells = copies.back().cells;
        if (!std::all_of(cells.begin(), cells.end(), CTxtTable::CellCanHold)) {
            m_model.Prompts().ShowMessage("Row " + std::to_string(row) +
                                          " has a cell holding a carriage return, which a new "
                                          "row cannot hold. Nothing was duplicated.");
            return;
        }
    }
    if (at < table.Rows() && !MayMoveRows(QStringLiteral("Inserting a row above row %1").arg(at)))
        return;
    const QString text = selected.size() == 1
                             ? QStringLiteral("Duplicate row %1").arg(selected.front())
                             : QStringLiteral("Duplicate %1 rows").arg(selected.size());
    PushRows(CRowsCommand::Insert(table, &m_model.Changes(), std::move(copies), text), at);
}

void CTableGridDlg::OnDeleteRows() {
    const std::vector<int32_t> selected = SelectedTableRows();
    if (selected.empty())
        return;
    const int32_t first = selected.front();
    // Deleting rows at the end moves no other row.
    const bool movesRows = m_model.Table().Rows() - first > static_cast<int32_t>(selected.size());
    const QString change =
        selected.size() == 1
            ? QStringLiteral("Deleting row %1").arg(first)
            : QStringLiteral("Deleting rows %1 to %2").arg(first).arg(selected.back());
    if (movesRows && !MayMoveRows(change))
        return;
    const QString text = selected.size() == 1
                             ? QStringLiteral("Delete row %1").arg(first)
                             : QStringLiteral("Delete %1 rows").arg(selected.size());
    PushRows(CRowsCommand::Remove(m_model.Table(), &m_model.Changes(), selected, text), first);
}

void CTableGridDlg::OnFind() {
    m_pFindBar->show();
    m_editFind->setFocus();
    m_editFind->selectAll();
}

void CTableGridDlg::OnFindNext(bool backwards) {
    m_pFindBar->show();
    const QString text = m_editFind->text();
    if (text.isEmpty())
        return;
    const QModelIndex current = m_pView->currentIndex();
    const CellPosition start = current.isValid()
                                   ? CellPosition{current.column(), CTableModel::TableRow(current)}
                                   : CellPosition{m_model.columnCount() - 1, m_model.rowCount()};
    std::optional<CellPosition> found;
    // Text with a character no cell can hold matches nothing.
    if (const std::optional<std::string> bytes = TextToCell(text))
        found = FindNext(
            m_model.Table(), *bytes, start,
            FindOptions{m_checkWholeCell->isChecked(), m_checkMatchCase->isChecked(), backwards});
    if (!found) {
        m_labelFound->setText("\"" + text + "\" was not found.");
        return;
    }
    m_labelFound->clear();
    const QModelIndex index = m_model.IndexOf(found->col, found->tableRow);
    m_pView->setCurrentIndex(index);
    m_pView->scrollTo(index);
}

void CTableGridDlg::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Only a shown view knows how many rows fit around the current one.
    if (m_pView->currentIndex().isValid())
        m_pView->scrollTo(m_pView->currentIndex(), QAbstractItemView::PositionAtCenter);
}

void CTableGridDlg::done(int result) {
    SaveWidths();
    QDialog::done(result);
}

void CTableGridDlg::RestoreWidths() {
    if (m_model.columnCount() > 0)
        m_pView->setColumnWidth(0, UsualWidth(*m_pView, 0));
    if (m_strSettingsPath.empty())
        return;
    const std::string value =
        CProfileFile::ReadString(m_strSettingsPath, kWidthsSection, m_strFileName, "");
    int col = 0;
    for (size_t begin = 0; begin <= value.size() && col < m_model.columnCount(); ++col) {
        size_t end = value.find(',', begin);
        if (end == std::string::npos)
            end = value.size();
        int width = 0;
        const auto [stop, error] = std::from_chars(value.data() + begin, value.data() + end, width);
        if (error == std::errc() && stop == value.data() + end && width >= kMinWidth &&
            width <= kMaxWidth)
            m_pView->setColumnWidth(col, width);
        begin = end + 1;
    }
}

void CTableGridDlg::SaveWidths() const {
    if (m_strSettingsPath.empty())
        return;
    // A column left at the usual width is an empty entry, so that the widths of a table of
    // hundreds of columns fit in one setting.
    std::string value;
    for (int col = 0; col < m_model.columnCount(); ++col) {
        const int width = m_pView->columnWidth(col);
        value += (col ? "," : "") +
                 (width == UsualWidth(*m_pView, col) ? std::string() : std::to_string(width));
    }
    value.erase(value.find_last_not_of(',') + 1);
    if (value.empty() &&
        CProfileFile::ReadString(m_strSettingsPath, kWidthsSection, m_strFileName, "").empty())
        return;
    // Remembering is a convenience: a settings file that cannot be written costs only that.
    CProfileFile::WriteString(m_strSettingsPath, kWidthsSection, m_strFileName, value);
}
