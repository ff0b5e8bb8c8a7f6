#include "editors/FrozenColumnTable.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>

CFrozenColumnTable::CFrozenColumnTable(QWidget* parent)
    : QTableView(parent), m_pFrozen(new QTableView(this)) {
    m_pFrozen->setFocusPolicy(Qt::NoFocus);
    m_pFrozen->verticalHeader()->hide();
    m_pFrozen->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_pFrozen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_pFrozen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // Scrolled by pixels like this view, so that the rows of both stay level.
    m_pFrozen->setVerticalScrollMode(ScrollPerPixel);
    setVerticalScrollMode(ScrollPerPixel);
    setHorizontalScrollMode(ScrollPerPixel);
    m_pFrozen->setStyleSheet("QTableView { border: none; }");
    // One line of text a row, as in a spreadsheet, in both views alike.
    const int rowHeight = fontMetrics().height() + 6;
    verticalHeader()->setDefaultSectionSize(rowHeight);
    m_pFrozen->verticalHeader()->setDefaultSectionSize(rowHeight);
    setWordWrap(false);
    m_pFrozen->setWordWrap(false);
    viewport()->stackUnder(m_pFrozen);

    connect(horizontalHeader(), &QHeaderView::sectionResized, this,
            [this](int section, int, int size) {
                if (section == 0) {
                    m_pFrozen->setColumnWidth(0, size);
                    PlaceFrozenView();
                }
            });
    connect(verticalHeader(), &QHeaderView::sectionResized, m_pFrozen,
            [this](int section, int, int size) { m_pFrozen->setRowHeight(section, size); });
    connect(m_pFrozen->verticalScrollBar(), &QAbstractSlider::valueChanged, verticalScrollBar(),
            &QAbstractSlider::setValue);
    connect(verticalScrollBar(), &QAbstractSlider::valueChanged, m_pFrozen->verticalScrollBar(),
            &QAbstractSlider::setValue);
}

void CFrozenColumnTable::setModel(QAbstractItemModel* model) {
    QTableView::setModel(model);
    m_pFrozen->setModel(model);
    m_pFrozen->setSelectionModel(selectionModel());
    m_pFrozen->setEditTriggers(editTriggers());
    // Only the first column shows in the frozen view; hiding the rest one by one would cost a
    // header update per column, so the others are simply left outside its width.
    m_pFrozen->horizontalHeader()->setStretchLastSection(false);
    if (model && model->columnCount() > 0)
        m_pFrozen->setColumnWidth(0, columnWidth(0));
    PlaceFrozenView();
    m_pFrozen->show();
}

void CFrozenColumnTable::keyPressEvent(QKeyEvent* event) {
    // The view only reports Enter and passes it on, and the dialog around would close.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        state() != EditingState && currentIndex().isValid()) {
        edit(currentIndex());
        event->accept();
        return;
    }
    QTableView::keyPressEvent(event);
}

void CFrozenColumnTable::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    PlaceFrozenView();
}

void CFrozenColumnTable::updateGeometries() {
    QTableView::updateGeometries();
    PlaceFrozenView();
}

QModelIndex CFrozenColumnTable::moveCursor(CursorAction cursorAction,
                                           Qt::KeyboardModifiers modifiers) {
    const QModelIndex current = QTableView::moveCursor(cursorAction, modifiers);
    // A cell moved to under the frozen column is scrolled out from under it.
    if (cursorAction == MoveLeft && current.column() > 0 &&
        visualRect(current).topLeft().x() < columnWidth(0)) {
        const int shift = columnViewportPosition(current.column()) - columnWidth(0);
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + shift);
    }
    return current;
}

void CFrozenColumnTable::scrollTo(const QModelIndex& index, ScrollHint hint) {
    // The first column never scrolls sideways: only its row needs to come into sight.
    if (index.column() > 0) {
        QTableView::scrollTo(index, hint);
    } else if (index.isValid()) {
        const int keep = horizontalScrollBar()->value();
        QTableView::scrollTo(index, hint);
        horizontalScrollBar()->setValue(keep);
    }
}

void CFrozenColumnTable::PlaceFrozenView() {
    if (!model() || model()->columnCount() == 0) {
        m_pFrozen->hide();
        return;
    }
    m_pFrozen->setGeometry(verticalHeader()->width() + frameWidth(), frameWidth(), columnWidth(0),
                           viewport()->height() + horizontalHeader()->height());
}
