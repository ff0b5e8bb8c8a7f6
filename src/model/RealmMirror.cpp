#include "model/RealmMirror.h"

#include "model/TableDiff.h"
#include "table/TxtTable.h"

#include <set>

std::vector<std::string> MirrorChanges(const std::string& fileName, const CTxtTable& gameCopy,
                                       const CTxtTable& modCopy, CTxtTable& otherRealm) {
    const CTableDiff changes = CTableDiff::Compare(gameCopy, modCopy);
    // The other realm's rows and columns, paired with the game's copy of this one.
    const CTableDiff counterparts = CTableDiff::Compare(gameCopy, otherRealm);
    std::vector<std::string> notes;
    std::set<std::string> missingColumns;
    int32_t missingRows = 0;
    for (const CTableDiff::Row& row : changes.changedRows) {
        const int32_t otherRow = counterparts.ModRowOf(row.baseRow);
        if (otherRow < 0) {
            ++missingRows;
            continue;
        }
        for (const CTableDiff::Cell& cell : row.cells) {
            const int32_t otherCol = counterparts.ModColumnOf(cell.baseCol);
            if (otherCol < 0)
                missingColumns.insert(gameCopy.GetCell(cell.baseCol, 0));
            else
                otherRealm.SetCell(otherCol, otherRow, cell.modText);
        }
    }
    const std::string other = "the classic realm's " + fileName;
    if (missingRows > 0)
        notes.push_back(std::to_string(missingRows) + (missingRows == 1 ? " row" : " rows") +
                        " changed in " + fileName + " " + (missingRows == 1 ? "has" : "have") +
                        " no counterpart in " + other + "; it was left as it is there.");
    for (const std::string& column : missingColumns)
        notes.push_back(other + " has no column \"" + column + "\"; the changes to it apply to " +
                        "the expansion's copy only.");
    const int32_t moved = changes.counts.rowsAdded + changes.counts.rowsRemoved;
    if (moved > 0)
        notes.push_back(fileName + ": rows added or removed (" + std::to_string(moved) +
                        ") are not copied into " + other + ".");
    return notes;
}
