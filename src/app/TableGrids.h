#pragma once

#include "data/GameDataSet.h"

#include <QObject>
#include <QUndoStack>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class CTableChanges;
class CTableGridDlg;
class CUserPrompts;
class QMenuBar;
class QWidget;

// The grids over the opened data set's tables and the one undo stack their changes go on.
// The stack lives as long as the data set does: closing a grid keeps its steps, and another
// archive or loaded tables start a new, empty stack.
class CTableGrids : public QObject {
    Q_OBJECT
public:
    using TableId = CGameDataSet::TableId;

    CTableGrids(CGameDataSet& data, CUserPrompts& prompts, QObject* parent = nullptr);
    ~CTableGrids() override;

    QUndoStack& UndoStack() { return m_undo; }

    // A grid over a table of the data set (not yet shown); `settingsPath` keeps its column
    // widths.
    std::unique_ptr<CTableGridDlg> MakeGrid(TableId id, const std::string& settingsPath,
                                            QWidget* parent);
    // Runs a grid modally with the table row selected.
    void ShowGrid(TableId id, int32_t tableRow, const std::string& settingsPath, QWidget* parent);

    // The tables are another data set's now: nothing before can be undone.
    void Clear();

    // Edit, with Undo "<what>" and Redo "<what>".
    void AddEditMenu(QMenuBar& menuBar);

signals:
    // A step was done, undone or redone on a table: the data set is modified.
    void tableChanged();

private:
    CGameDataSet& m_data;
    CUserPrompts& m_prompts;
    QUndoStack m_undo;
    // One change signal per table, for every grid and every step on it.
    std::array<CTableChanges*, CGameDataSet::kTableCount> m_changes{};
};
