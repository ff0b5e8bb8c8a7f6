#pragma once

#include "model/RowsCommand.h"

#include <cstdint>
#include <string>
#include <vector>

class CTableChanges;
class CTableDiff;
class CTxtTable;
class QUndoStack;

// Puts a mod's table back as the game has it, a cell, a row or the whole table at a time. Each
// revert is one step on the mod's undo stack. The difference is taken afresh for every revert,
// so a revert always acts on the tables as they are now.
class CTableRevert {
public:
    // The tables, the change signal and the stack must outlive the steps pushed (they live as
    // long as the opened mod). `fileName` names the table in the step of a whole-table revert.
    CTableRevert(CTxtTable& mod, const CTxtTable& base, CTableChanges* changes, QUndoStack& undo,
                 std::string fileName);

    // Each is false, pushing nothing, when there is nothing to revert there.
    // A cell of a row both tables have, to the game's text.
    bool RevertCell(int32_t modCol, int32_t modRow);
    // A row both tables have, to the game's row; a row only the mod has, removed.
    bool RevertRow(int32_t modRow);
    // A game's row the mod lacks, put back after the row its predecessor pairs with.
    bool PutBackRow(int32_t baseRow);
    // All of the above at once, as one step; columns only one side has stay as they are.
    bool RevertTable();

private:
    CTableDiff Compare() const;
    // The game's row in the mod's columns (columns only the mod has left empty), without the
    // empty cells at its end, so that a short row stays short.
    std::vector<std::string> BaseRowInModColumns(const CTableDiff& diff, int32_t baseRow) const;
    // The game's rows the mod lacks, where they stand once they are all back and the mod's
    // added rows are gone.
    std::vector<CRowsCommand::Row> PutBackRows(const CTableDiff& diff) const;

    CTxtTable& m_mod;
    const CTxtTable& m_base;
    CTableChanges* m_pChanges;
    QUndoStack& m_undo;
    std::string m_strFileName;
};
