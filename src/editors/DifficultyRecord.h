#pragma once

#include "editors/TableLayout.h"

#include <array>
#include <cstddef>
#include <string>
#include <vector>

// The per-difficulty settings of the difficulty table, three values each: the field of a
// column's Normal value is 3 × its column index, Nightmare and Hell follow it. The difficulties
// are the table's rows 1, 2 and 3. The classic game's tables have the first eight columns;
// Resurrected's add the ninth.
struct DifficultyRecord {
    static constexpr size_t kColumnCount = 9;
    // The columns of the classic game's tables.
    static constexpr size_t kClassicColumnCount = 8;
    // Resurrected's own: its "ResistPenalty" is for expansion characters only, this one for
    // classic characters.
    static constexpr size_t kNonExpansionResistColumn = 8;
    static constexpr size_t kDifficultyCount = 3;
    static constexpr size_t kFieldCount = kColumnCount * kDifficultyCount;

    static constexpr size_t Field(size_t column, size_t difficulty) {
        return column * kDifficultyCount + difficulty;
    }

    std::array<std::string, kFieldCount> fields;
};

// The header of every column of the record, in record order: the one place that names the
// difficulty table's columns.
inline constexpr std::array<const char*, DifficultyRecord::kColumnCount> kDifficultyHeaders = {
    "DeathExpPenalty",      "MonsterSkillBonus", "ResistPenalty",
    "MonsterFreezeDivisor", "AiCurseDivisor",    "MonsterColdDivisor",
    "LifeStealDivisor",     "ManaStealDivisor",  "ResistPenaltyNonExpansion",
};

// The headers the difficulty editor reads and writes in a table of `layout`.
inline std::vector<std::string> DifficultyHeaders(TableLayout layout) {
    const size_t count = layout == TableLayout::D2R ? DifficultyRecord::kColumnCount
                                                    : DifficultyRecord::kClassicColumnCount;
    return {kDifficultyHeaders.begin(), kDifficultyHeaders.begin() + count};
}
