#pragma once

#include "editors/DifficultyRecord.h"
#include "editors/MonsterRecord.h"

#include <cstdint>
#include <string>
#include <vector>

class CTxtTable;

// The record service the editors share: operations that move a group of cells between a table
// row and a record of strings, and answer list questions about the tables. It holds no data;
// the main window makes one and hands it to every editor. Each editor adds its operations.
// Columns are found by their header in row 0, ignoring ASCII case.
class CModFuncs {
public:
    CModFuncs() = default;

    // --- Monster editor ---

    // Appends the "namco" name of every listable monster in table order: a row is left out when
    // its name or class is empty, its name is "Null", its class is "unused" (both exactly) or
    // its class is "dummy" in any case. With `rows` the row of each name is appended there too.
    // False, appending nothing, when the table has no "namco" or no "Class" column.
    bool GetMonsterNames(std::vector<std::string>& names, const CTxtTable& table,
                         std::vector<int32_t>* rows = nullptr) const;
    // Fills every field from its column; a missing column or a row outside the table gives "".
    bool ReadMonsterRecord(int32_t row, MonsterRecord& record, const CTxtTable& table) const;
    // Writes every field into its column. False, writing nothing, when the row is past the
    // table's end; a missing column (or a negative row) leaves its cell alone.
    bool WriteMonsterRecord(int32_t row, const MonsterRecord& record, CTxtTable& table) const;
    // --- Global settings ---
    // Whole-column changes to the monster population. Each returns false, changing nothing,
    // when one of its columns is missing; an amount that means "no change" changes nothing.
    // Only numeric cells change (empty or not starting with a digit or "-" stay as they are);
    // results stay within the 32-bit range.

    // Sets every data row's "NoMap" cell to `value`.
    bool ApplyAutoMap(int32_t value, CTxtTable& monStats) const;
    // Multiplies the six hit point columns by `multiplier` (capped at the largest 32-bit value).
    bool ApplyHealthMultiplier(int32_t multiplier, CTxtTable& monStats) const;
    // Scales the three experience columns by DropFactor(`multiplier`).
    bool ApplyExperience(int32_t multiplier, CTxtTable& monStats) const;
    // More drops: with compiled tables, divides TreasureClassEx "NoDrop" by
    // DropFactor(`multiplier`) (at least 5); else scales MonItemPercent "TreasureClassPercent"
    // by it (at most 95).
    bool ApplyDropRate(int32_t multiplier, CTxtTable& table, bool compiled) const;
    // Adds `amount` to "ToBlock" (at most 75).
    bool ApplyBlockBetter(int32_t amount, CTxtTable& monStats) const;
    // Scales the six attack 1 damage columns by 1 + `percent` / 100. A percent of 0 or 1
    // changes nothing, so that stored settings keep giving the tables they always gave.
    bool ApplyHitHarder(int32_t percent, CTxtTable& monStats) const;
    // Adds `amount` (negative too) to "MinGrp" and "MaxGrp".
    bool ApplyLargerGroups(int32_t amount, CTxtTable& monStats) const;

    // The factor by which a health multiplier raises experience and drops:
    // (multiplier - 1) × 2/3 + 1 in double precision.
    static double DropFactor(int32_t multiplier);

    // --- Difficulty and penalties ---

    // Fills every field from its column and difficulty row; a missing column or row gives "".
    bool ReadDifficultyRecord(DifficultyRecord& record, const CTxtTable& table) const;
    // Writes every field into its column and difficulty row; a missing column or row leaves
    // that cell alone.
    bool WriteDifficultyRecord(const DifficultyRecord& record, CTxtTable& table) const;
};
