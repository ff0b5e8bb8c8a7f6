#pragma once

#include "data/GameDataSet.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <vector>

class CModEngineDlg;

// One editor command of the main window's menus: where it sits, the dialog it opens and the
// tables that Cancel puts back. The main window builds its editor menus from Table() and runs
// every entry the same way, so a new editor is one more entry there.
struct CEditorCommand {
    using Factory = std::function<std::unique_ptr<QDialog>(CModEngineDlg&)>;

    const char* menu;    // menu title, with its mnemonic
    const char* caption; // item caption, with its mnemonic
    // Makes the dialog and hands it the tables it edits; empty for a command without a dialog.
    Factory makeDialog;
    std::vector<CGameDataSet::TableId> restoreOnCancel;
    // Cancel still marks the data set modified (the monster editor's habit).
    bool modifiedOnCancel = false;

    // Every editor command, in menu order.
    static const std::vector<CEditorCommand>& Table();
};
