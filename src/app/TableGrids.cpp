#include "app/TableGrids.h"

#include "editors/EditorDlg.h"
#include "editors/RowAddressers.h"
#include "editors/TableGridDlg.h"
#include "model/CellsCommand.h"
#include "model/TableChanges.h"
#include "model/TableModel.h"

#include <QAction>
#include <QDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>

CTableGrids::CTableGrids(CGameDataSet& data, CUserPrompts& prompts, QObject* parent)
    : QObject(parent), m_data(data), m_prompts(prompts) {}

CTableGrids::~CTableGrids() {
    // The steps refer to the change signals, which go with this object.
    m_undo.clear();
}

CTableChanges& CTableGrids::ChangesOf(const CTxtTable& table) {
    CTableChanges*& changes = m_changes[&table];
    if (changes == nullptr) {
        changes = new CTableChanges(this);
        connect(changes, &CTableChanges::tableChanged, this, &CTableGrids::tableChanged);
    }
    return *changes;
}

void CTableGrids::ForgetTable(const CTxtTable& table) {
    if (auto known = m_changes.find(&table); known != m_changes.end()) {
        delete known->second;
        m_changes.erase(known);
    }
}

std::unique_ptr<CTableGridDlg> CTableGrids::MakeGrid(CTxtTable& table, const std::string& fileName,
                                                     const std::string& settingsPath,
                                                     QWidget* parent) {
    auto* model = new CTableModel(table, ChangesOf(table), m_undo, m_prompts);
    auto grid = std::make_unique<CTableGridDlg>(*model, fileName, settingsPath, parent);
    model->setParent(grid.get());
    // Asked at each insertion or deletion: the levels table may be replaced meanwhile.
    grid->SetRowAddressers(
        [this, fileName] { return TablesAddressingRowsOf(fileName, &m_data.m_Levels); });
    return grid;
}

std::unique_ptr<CTableGridDlg> CTableGrids::MakeGrid(TableId id, const std::string& settingsPath,
                                                     QWidget* parent) {
    return MakeGrid(m_data.Table(id), CGameDataSet::FileName(id), settingsPath, parent);
}

void CTableGrids::ShowGrid(TableId id, int32_t tableRow, const std::string& settingsPath,
                           QWidget* parent) {
    ShowGrid(m_data.Table(id), CGameDataSet::FileName(id), tableRow, settingsPath, parent);
}

void CTableGrids::ShowGrid(CTxtTable& table, const std::string& fileName, int32_t tableRow,
                           const std::string& settingsPath, QWidget* parent, int32_t col) {
    std::unique_ptr<CTableGridDlg> grid = MakeGrid(table, fileName, settingsPath, parent);
    grid->SelectTableRow(tableRow, col);
    if (m_pRun) {
        PushEditorStep(*m_pRun);
        grid->KeepRowsInPlace("The editor beneath names its entries by row: close it to insert "
                              "or delete rows.");
    }
    grid->exec();
    // The grid's changes are steps of their own already.
    if (m_pRun)
        for (auto& [keptId, table] : m_pRun->kept)
            table = m_data.Table(keptId);
}

int CTableGrids::RunEditor(QDialog& dialog, const std::vector<TableId>& restoreOnCancel,
                           const std::vector<TableId>& alsoEdits) {
    EditorRun run{dialog.windowTitle(), {}, {}};
    for (const std::vector<TableId>* list : {&restoreOnCancel, &alsoEdits})
        for (TableId id : *list)
            run.kept.emplace_back(id, m_data.Table(id));
    run.atStart = run.kept;
    const int startIndex = m_undo.index();
    EditorRun* outer = std::exchange(m_pRun, &run);
    QMetaObject::Connection applied;
    if (auto* editor = qobject_cast<CEditorDlg*>(&dialog))
        applied =
            connect(editor, &CEditorDlg::applied, this, [this, &run] { PushEditorStep(run); });
    const int result = dialog.exec();
    disconnect(applied);
    m_pRun = outer;
    if (result == QDialog::Accepted)
        PushEditorStep(run);
    else
        CancelEditorRun(run, restoreOnCancel, startIndex);
    return result;
}

void CTableGrids::CancelEditorRun(EditorRun& run, const std::vector<TableId>& restoreOnCancel,
                                  int startIndex) {
    auto restored = [&](TableId id) {
        return std::find(restoreOnCancel.begin(), restoreOnCancel.end(), id) !=
               restoreOnCancel.end();
    };
    // What stays of the run in the tables Cancel does not put back.
    std::vector<std::pair<TableId, CTxtTable>> left;
    for (auto& [id, table] : run.atStart) {
        if (restored(id)) {
            m_data.Table(id) = table;
            emit ChangesOf(m_data.Table(id)).tableReplaced();
        } else {
            left.emplace_back(id, m_data.Table(id));
        }
    }
    // The tables are as the run's first step found them: undoing its steps undoes the rest. A
    // dialog that puts nothing back (a grid) keeps its steps.
    if (!restoreOnCancel.empty())
        m_undo.setIndex(startIndex);
    if (left.empty())
        return;
    auto step = std::make_unique<QUndoCommand>(run.name);
    for (auto& [id, table] : left) {
        CTxtTable& current = m_data.Table(id);
        const CTxtTable before = current;
        current = std::move(table);
        CCellsCommand::FromDifference(current, &ChangesOf(current), before, run.name, step.get())
            .release();
    }
    if (step->childCount() > 0)
        m_undo.push(step.release());
}

void CTableGrids::PushEditorStep(EditorRun& run) {
    auto step = std::make_unique<QUndoCommand>(run.name);
    for (auto& [id, table] : run.kept) {
        // A child belongs to its parent step from the start.
        CCellsCommand::FromDifference(m_data.Table(id), &ChangesOf(m_data.Table(id)), table,
                                      run.name, step.get())
            .release();
        table = m_data.Table(id);
    }
    if (step->childCount() > 0)
        m_undo.push(step.release());
}

void CTableGrids::Clear() {
    m_undo.clear();
    for (auto& [table, changes] : m_changes)
        emit changes->tableReplaced();
}

void CTableGrids::AddEditMenu(QMenuBar& menuBar) {
    QMenu* edit = menuBar.addMenu("&Edit");
    QAction* undo = m_undo.createUndoAction(edit, "&Undo");
    undo->setShortcut(QKeySequence("Ctrl+Z"));
    QAction* redo = m_undo.createRedoAction(edit, "&Redo");
    redo->setShortcuts({QKeySequence("Ctrl+Y"), QKeySequence("Ctrl+Shift+Z")});
    edit->addAction(undo);
    edit->addAction(redo);
}
