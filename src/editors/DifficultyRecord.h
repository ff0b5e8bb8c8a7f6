#pragma once

#include <array>
#include <cstddef>
#include <string>

// The eight per-difficulty settings of the difficulty table, three values each: the field of a
// column's Normal value is 3 × its column index, Nightmare and Hell follow it. The difficulties
// are the table's rows 1, 2 and 3.
struct DifficultyRecord {
    static constexpr size_t kColumnCount = 8;
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
    "DeathExpPenalty", "MonsterSkillBonus",  "ResistPenalty",    "MonsterFreezeDivisor",
    "AiCurseDivisor",  "MonsterColdDivisor", "LifeStealDivisor", "ManaStealDivisor",
};
