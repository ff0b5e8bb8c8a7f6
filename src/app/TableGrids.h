#pragma once

#include "data/GameDataSet.h"

#include <QObject>
#include <QUndoStack>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

class CTableChanges;
class CTableGridDlg;
class CUserPrompts;
class QDialog;
class QMenuBar;
class QWidget;

// The grids over the opened data set's tables and the one undo stack their changes and the
// editor dialogs' go on. The stack lives as long as the data set does: closing a grid keeps its
// steps, and another archive or loaded tables start a new, empty stack.
class CTableGrids : public QObject {
    Q_OBJECT
public:
    using TableId = CGameDataSet::TableId;

    CTableGrids(CGameDataSet& data, CUserPrompts& prompts, QObject* parent = nullptr);
    ~CTableGrids() override;

    QUndoStack& UndoStack() { return m_undo; }

    // A grid over a table of the opened mod (not yet shown), named by its file name;
    // `settingsPath` keeps its column widths.
    std::unique_ptr<CTableGridDlg> MakeGrid(CTxtTable& table, const std::string& fileName,
                                            const std::string& settingsPath, QWidget* parent);
    std::unique_ptr<CTableGridDlg> MakeGrid(TableId id, const std::string& settingsPath,
                                            QWidget* parent);
    // Runs a grid modally with the table row selected (and the column, when one is given). From
    // within an editor run, what the editor applied so far becomes its step first, so that the
    // grid's steps follow it.
    void ShowGrid(CTxtTable& table, const std::string& fileName, int32_t tableRow,
                  const std::string& settingsPath, QWidget* parent, int32_t col = -1);
    void ShowGrid(TableId id, int32_t tableRow, const std::string& settingsPath, QWidget* parent);

    // The change signal of a table of the opened mod, made when first asked for. It lives as
    // long as this object, so every step and grid on the table can keep it.
    CTableChanges& ChangesOf(const CTxtTable& table);
    // The table is gone (its mod was closed): its change signal goes too.
    void ForgetTable(const CTxtTable& table);

    // Runs an editor dialog modally. Each Apply, and OK, makes what it changed in the tables one
    // step named after the dialog; any other end puts the tables of `restoreOnCancel` back as
    // they were when it opened and undoes the steps taken since, while what it left changed in
    // `alsoEdits` becomes one step. Returns the dialog's result.
    int RunEditor(QDialog& dialog, const std::vector<TableId>& restoreOnCancel,
                  const std::vector<TableId>& alsoEdits = {});

    // The tables are another data set's now: nothing before can be undone.
    void Clear();

    // Edit, with Undo "<what>" and Redo "<what>".
    void AddEditMenu(QMenuBar& menuBar);

signals:
    // A step was done, undone or redone on a table: the data set is modified.
    void tableChanged();

private:
    // An editor dialog being run: the tables as its last step left them, and as they were when
    // it opened.
    struct EditorRun {
        QString name;
        std::vector<std::pair<TableId, CTxtTable>> kept;
        std::vector<std::pair<TableId, CTxtTable>> atStart;
    };
    // Cancel: the tables Cancel puts back are put back, every step of the run undone, and what
    // the run left in the other tables is one step.
    void CancelEditorRun(EditorRun& run, const std::vector<TableId>& restoreOnCancel,
                         int startIndex);
    // Pushes what changed in the run's tables since its last step as one step.
    void PushEditorStep(EditorRun& run);

    CGameDataSet& m_data;
    CUserPrompts& m_prompts;
    QUndoStack m_undo;
    // One change signal per table, for every grid and every step on it.
    std::map<const CTxtTable*, CTableChanges*> m_changes;
    EditorRun* m_pRun = nullptr;
};
