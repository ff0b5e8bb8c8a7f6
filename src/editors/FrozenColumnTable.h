#pragma once

#include <QTableView>

// A table view whose first column stays in place while the others scroll sideways: a second
// view over the same model and selection, laid over the first column and scrolled in step
// vertically. Row names (the first column of a game table) stay in sight on wide tables. Enter
// edits the current cell, as F2 does.
class CFrozenColumnTable : public QTableView {
    Q_OBJECT
public:
    explicit CFrozenColumnTable(QWidget* parent = nullptr);

    void setModel(QAbstractItemModel* model) override;
    QTableView* FrozenView() const { return m_pFrozen; }
    void scrollTo(const QModelIndex& index, ScrollHint hint = EnsureVisible) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    QModelIndex moveCursor(CursorAction cursorAction, Qt::KeyboardModifiers modifiers) override;
    void updateGeometries() override;

private:
    void PlaceFrozenView();

    QTableView* m_pFrozen;
};
