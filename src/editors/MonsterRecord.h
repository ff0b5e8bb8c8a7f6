#pragma once

#include "editors/TableLayout.h"

#include <array>
#include <cstddef>
#include <string>

// One monster's editable cells of the monster table, always in this order: five single columns,
// then sixteen statistics with a Normal, a Nightmare and a Hell column each.
struct MonsterRecord {
    static constexpr size_t kFieldCount = 53;
    enum Field : size_t {
        Class = 0, // not shown; "unused" in it hides the monster from the list
        Spawned = 1,
        ToBlock = 2,
        MinGrp = 3,
        MaxGrp = 4,
    };

    std::array<std::string, kFieldCount> fields;
};

// The column header of every record field, in record order. A per-difficulty statistic has its
// Normal column under the plain header and the others under the "(N)" and "(H)" suffixes.
// clang-format off
inline constexpr std::array<const char*, MonsterRecord::kFieldCount> kMonsterRecordHeaders = {
    "Class", "Spawned", "ToBlock", "MinGrp", "MaxGrp",
    "AC", "AC(N)", "AC(H)",
    "Exp", "Exp(N)", "Exp(H)",
    "MinHP", "MinHP(N)", "MinHP(H)",
    "MaxHP", "MaxHP(N)", "MaxHP(H)",
    "A1ToHit", "A1ToHit(N)", "A1ToHit(H)",
    "A2ToHit", "A2ToHit(N)", "A2ToHit(H)",
    "A1MinD", "A1MinD(N)", "A1MinD(H)",
    "A2MinD", "A2MinD(N)", "A2MinD(H)",
    "A1MaxD", "A1MaxD(N)", "A1MaxD(H)",
    "A2MaxD", "A2MaxD(N)", "A2MaxD(H)",
    "DamageResist", "DamageResist(N)", "DamageResist(H)",
    "MagicResist", "MagicResist(N)", "MagicResist(H)",
    "FireResist", "FireResist(N)", "FireResist(H)",
    "LightResist", "LightResist(N)", "LightResist(H)",
    "ColdResist", "ColdResist(N)", "ColdResist(H)",
    "PoisonResist", "PoisonResist(N)", "PoisonResist(H)",
};

// The same fields under the column names of the 1.10 to 1.14d table. The class's place holds
// "NameStr", the monster's key into the game's string table: shown, never written.
inline constexpr std::array<const char*, MonsterRecord::kFieldCount> kMonsterRecordHeadersV110 = {
    "NameStr", "isSpawn", "ToBlock", "MinGrp", "MaxGrp",
    "AC", "AC(N)", "AC(H)",
    "Exp", "Exp(N)", "Exp(H)",
    "minHP", "MinHP(N)", "MinHP(H)",
    "maxHP", "MaxHP(N)", "MaxHP(H)",
    "A1TH", "A1TH(N)", "A1TH(H)",
    "A2TH", "A2TH(N)", "A2TH(H)",
    "A1MinD", "A1MinD(N)", "A1MinD(H)",
    "A2MinD", "A2MinD(N)", "A2MinD(H)",
    "A1MaxD", "A1MaxD(N)", "A1MaxD(H)",
    "A2MaxD", "A2MaxD(N)", "A2MaxD(H)",
    "ResDm", "ResDm(N)", "ResDm(H)",
    "ResMa", "ResMa(N)", "ResMa(H)",
    "ResFi", "ResFi(N)", "ResFi(H)",
    "ResLi", "ResLi(N)", "ResLi(H)",
    "ResCo", "ResCo(N)", "ResCo(H)",
    "ResPo", "ResPo(N)", "ResPo(H)",
};
// clang-format on

inline const std::array<const char*, MonsterRecord::kFieldCount>&
MonsterRecordHeaders(TableLayout layout) {
    return HasColumnsOf110(layout) ? kMonsterRecordHeadersV110 : kMonsterRecordHeaders;
}

// The columns that identify a monster: the one it is looked up by and the one that names it.
// In the older table the name is the key; the newer one keys monsters by "Id" and names them
// by "NameStr" (a string-table key, not unique: several monsters share one).
// `apart` is the column that tells same-named monsters apart, which the lists show beside a name.
struct MonsterKeyHeaders {
    const char* key;
    const char* name;
    const char* apart;

    static constexpr MonsterKeyHeaders For(TableLayout layout) {
        return HasColumnsOf110(layout) ? MonsterKeyHeaders{"Id", "NameStr", "Id"}
                                       : MonsterKeyHeaders{"namco", "namco", "Class"};
    }
};

// One row of the editor's Normal / Nightmare / Hell grid: its caption and the record field of
// its Normal value (Nightmare and Hell follow it).
struct MonsterGridRow {
    const char* caption;
    size_t firstField;
};

// The grid's rows from top to bottom, each bound to the columns its caption names.
inline constexpr std::array<MonsterGridRow, 16> kMonsterGridRows = {{
    {"Experience Value", 8},
    {"Defense rating", 5},
    {"Base min health", 11},
    {"Base max health", 14},
    {"To hit Attack 1", 17},
    {"Min Damage attack 1", 23},
    {"Max Damage attack 1", 29}, // A1MaxD
    {"To hit Attack 2", 20},
    {"Min Damage attack 2", 26}, // A2MinD
    {"Max Damage attack 2", 32},
    {"Resist damage", 35},
    {"Resist magic", 38},
    {"Resist fire", 41},
    {"Resist lightning", 44},
    {"Resist cold", 47},
    {"Resist poison", 50},
}};

// The difficulty of each grid column, in column order.
inline constexpr std::array<const char*, 3> kMonsterGridColumns = {"Normal", "Nightmare", "Hell"};
