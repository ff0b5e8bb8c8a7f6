#include "app/TableGrids.h"

#include "editors/TableGridDlg.h"
#include "model/TableChanges.h"
#include "model/TableModel.h"

#include <QAction>
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
    auto* model = new CTableModel(m_data.Table(id), *m_changes[Slot(id)], m_undo, m_prompts);
    auto grid =
        std::make_unique<CTableGridDlg>(*model, CGameDataSet::FileName(id), settingsPath, parent);
    model->setParent(grid.get());
    return grid;
}

void CTableGrids::ShowGrid(TableId id, int32_t tableRow, const std::string& settingsPath,
                           QWidget* parent) {
    std::unique_ptr<CTableGridDlg> grid = MakeGrid(id, settingsPath, parent);
    grid->SelectTableRow(tableRow);
    grid->exec();
}

void CTableGrids::Clear() {
    m_undo.clear();
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
