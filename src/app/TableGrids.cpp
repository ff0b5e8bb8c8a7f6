#include "app/TableGrids.h"

#include "editors/TableGridDlg.h"
#include "model/CellsCommand.h"
#include "model/TableChanges.h"
#include "model/TableModel.h"

#include <QAction>
#include <QDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

namespace {

size_t Slot(CGameDataSet::TableId id) {
    for (size_t slot = 0; slot < CGameDataSet::kDeclarationOrder.size(); ++slot)
        if (CGameDataSet::kDeclarationOrder[slot] == id)
            return slot;
    return 0;
}

} // namespace

CTableGrids::CTableGrids(CGameDataSet& data, CUserPrompts& prompts, QObject* parent)
    : QObject(parent), m_data(data), m_prompts(prompts) {
    for (CTableChanges*& changes : m_changes) {
        changes = new CTableChanges(this);
        connect(changes, &CTableChanges::tableChanged, this, &CTableGrids::tableChanged);
    }
}

CTableGrids::~CTableGrids() {
    // The steps refer to the change signals, which go with this object.
    m_undo.clear();
}

std::unique_ptr<CTableGridDlg> CTableGrids::MakeGrid(TableId id, const std::string& settingsPath,
                                                     QWidget* parent) {
    auto* model = new CTableModel(m_data.Table(id), Changes(id), m_undo, m_prompts);
    auto grid =
        std::make_unique<CTableGridDlg>(*model, CGameDataSet::FileName(id), settingsPath, parent);
    model->setParent(grid.get());
    return grid;
}

void CTableGrids::ShowGrid(TableId id, int32_t tableRow, const std::string& settingsPath,
                           QWidget* parent) {
    std::unique_ptr<CTableGridDlg> grid = MakeGrid(id, settingsPath, parent);
    grid->SelectTableRow(tableRow);
    if (m_pRun)
        PushEditorStep(*m_pRun);
    grid->exec();
    // The grid's changes are steps of their own already.
    if (m_pRun)
        for (auto& [keptId, table] : m_pRun->kept)
            table = m_data.Table(keptId);
}

int CTableGrids::RunEditor(QDialog& dialog, const std::vector<TableId>& tables) {
    EditorRun run{dialog.windowTitle(), {}};
    for (TableId id : tables)
        run.kept.emplace_back(id, m_data.Table(id));
    const int startIndex = m_undo.index();
    EditorRun* outer = std::exchange(m_pRun, &run);
    const int result = dialog.exec();
    m_pRun = outer;
    if (result == QDialog::Accepted) {
        PushEditorStep(run);
        return result;
    }
    for (auto& [id, table] : run.kept) {
        m_data.Table(id) = std::move(table);
        emit Changes(id).tableReplaced();
    }
    // The tables are as the run's last step left them: its steps undo the rest.
    if (!run.kept.empty())
        m_undo.setIndex(startIndex);
    return result;
}

void CTableGrids::PushEditorStep(EditorRun& run) {
    auto step = std::make_unique<QUndoCommand>(run.name);
    for (auto& [id, table] : run.kept) {
        // A child belongs to its parent step from the start.
        CCellsCommand::FromDifference(m_data.Table(id), &Changes(id), table, run.name, step.get())
            .release();
        table = m_data.Table(id);
    }
    if (step->childCount() > 0)
        m_undo.push(step.release());
}

CTableChanges& CTableGrids::Changes(TableId id) const {
    return *m_changes[Slot(id)];
}

void CTableGrids::Clear() {
    m_undo.clear();
    for (CTableChanges* changes : m_changes)
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
