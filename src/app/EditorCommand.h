#pragma once

#include "data/GameDataSet.h"
#include "editors/TableLayout.h"

#include <QDialog>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class CModEngineDlg;
class CNoteLog;
class CUserPrompts;

// One editor command of the main window's menus: where it sits, the dialog it opens and the
// tables that Cancel puts back. The main window builds its editor menus from Table() and runs
// every entry the same way, so a new editor is one more entry there.
struct CEditorCommand {
    // Makes the dialog for tables of `layout`: the layout the command's tables share (V109 when
    // none of them differs between the layouts).
    using Factory = std::function<std::unique_ptr<QDialog>(CModEngineDlg&, TableLayout layout)>;
    // The headers a dialog reads and writes in a table of a layout.
    using NeededHeaders =
        std::function<std::vector<std::string>(CGameDataSet::TableId, TableLayout)>;

    const char* menu;    // menu title, with its mnemonic
    const char* caption; // item caption, with its mnemonic
    // Makes the dialog and hands it the tables it edits; empty for a command without a dialog.
    Factory makeDialog;
    std::vector<CGameDataSet::TableId> restoreOnCancel;
    // Cancel still marks the data set modified (the monster editor's habit).
    bool modifiedOnCancel = false;
    // The tables whose column layout the dialog depends on. It opens only when each has a layout
    // it knows and those that differ between the layouts share one.
    std::vector<CGameDataSet::TableId> layoutTables;
    // May be empty; headers missing from a table of a known layout are named in the notes.
    NeededHeaders neededHeaders;
    // The tables the dialog writes beyond those Cancel puts back: what it leaves changed there
    // is an undo step too, whether it ends with OK or Cancel.
    std::vector<CGameDataSet::TableId> alsoEdits = {};
    const char* shortcut = nullptr;

    // The layout the dialog is made for; nullopt, after a warning and a note naming the table,
    // when the tables do not allow the dialog to open. Missing headers are noted.
    std::optional<TableLayout> CheckLayouts(CGameDataSet& data, CUserPrompts& prompts,
                                            CNoteLog& notes) const;

    // Every editor command, in menu order.
    static const std::vector<CEditorCommand>& Table();
};
