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

std::unique_ptr<CTableGridDlg> CTableGrids::MakeGrid(CTxtTable& table, const std::string& fileName,
                                                     const std::string& settingsPath,
                                                     QWidget* parent) {
    auto* model = new CTableModel(table, ChangesOf(table), m_undo, m_prompts);
    auto grid = std::make_unique<CTableGridDlg>(*model, fileName, settingsPath, parent);
    model->setParent(grid.get());
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
        emit ChangesOf(m_data.Table(id)).tableReplaced();
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
        CCellsCommand::FromDifference(m_data.Table(id), &ChangesOf(m_data.Table(id)), table, run.name, step.get())
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
