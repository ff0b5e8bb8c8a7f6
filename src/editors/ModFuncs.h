#pragma once

#include "editors/ArmourRecord.h"
#include "editors/DifficultyRecord.h"
#include "editors/MonsterRecord.h"
#include "editors/RecordWrite.h"
#include "editors/TableLayout.h"
#include "editors/UniqueItemRecord.h"
#include "editors/WeaponRecord.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CTxtTable;

// The record service the editors share: operations that move a group of cells between a table
// row and a record of strings, and answer list questions about the tables. It holds no data;
// the main window makes one and hands it to every editor. Each editor adds its operations.
// Columns are found by their header in row 0, ignoring ASCII case. A record is written whole or
// not at all (RecordWrite): the result names the cells that could not take their text.
class CModFuncs {
public:
    CModFuncs() = default;

    // --- Monster editor ---

    // Appends the "namco" name of every listable monster in table order: a row is left out when
    // its name or class is empty, its name is "Null", its class is "unused" (both exactly) or
    // its class is "dummy" in any case. With `rows` the row of each name is appended there too.
    // False, appending nothing, when the table has no "namco" or no "Class" column.
    // In the 1.10 to 1.14d layout a monster is listed as "<Id> (<NameStr>)"; a row is left out
    // when its Id is empty or "Null", or its NameStr is empty, "dummy" or "unused" in any case.
    // There the "Expansion" row (Id "Expansion", in any case) is listed as "Expansion".
    bool GetMonsterNames(std::vector<std::string>& names, const CTxtTable& table,
                         std::vector<int32_t>* rows = nullptr,
                         TableLayout layout = TableLayout::V109) const;
    // Fills every field from its column in `layout`; a missing column or a row outside the
    // table gives "".
    bool ReadMonsterRecord(int32_t row, MonsterRecord& record, const CTxtTable& table,
                           TableLayout layout = TableLayout::V109) const;
    // Writes every field into its column in `layout`. False, writing nothing, when the row is
    // past the table's end; a missing column (or a negative row) leaves its cell alone. In the
    // 1.10 to 1.14d layout the class field ("NameStr") is never written.
    RecordWrite WriteMonsterRecord(int32_t row, const MonsterRecord& record, CTxtTable& table,
                                   TableLayout layout = TableLayout::V109) const;
    // --- Global settings ---
    // Whole-column changes to the monster population. Each returns false, changing nothing,
    // when one of its columns is missing; an amount that means "no change" changes nothing.
    // Only numeric cells change (empty or not starting with a digit or "-" stay as they are);
    // results stay within the 32-bit range.

    // The monster table columns these changes use in `layout`. The 1.10 to 1.14d monster table
    // has no automap column and keeps a block chance per difficulty.
    static std::vector<std::string> GlobalMonStatsHeaders(TableLayout layout);
    // Sets every data row's "NoMap" cell to `value`.
    bool ApplyAutoMap(int32_t value, CTxtTable& monStats) const;
    // Multiplies the six hit point columns by `multiplier` (capped at the largest 32-bit value).
    bool ApplyHealthMultiplier(int32_t multiplier, CTxtTable& monStats) const;
    // Scales the three experience columns by DropFactor(`multiplier`).
    bool ApplyExperience(int32_t multiplier, CTxtTable& monStats) const;
    // More drops: with compiled tables, divides TreasureClassEx "NoDrop" by
    // DropFactor(`multiplier`) (at least 5; a NoDrop already below 5 stays, so a sure drop stays
    // sure); else scales MonItemPercent "TreasureClassPercent" by it (at most 95).
    bool ApplyDropRate(int32_t multiplier, CTxtTable& table, bool compiled) const;
    // Adds `amount` to "ToBlock" (at most 75); in the 1.10 to 1.14d layout to "ToBlock",
    // "ToBlock(N)" and "ToBlock(H)" alike.
    bool ApplyBlockBetter(int32_t amount, CTxtTable& monStats,
                          TableLayout layout = TableLayout::V109) const;
    // Scales the six attack 1 damage columns by 1 + `percent` / 100. A percent of 0 or 1
    // changes nothing, so that stored settings keep giving the tables they always gave.
    bool ApplyHitHarder(int32_t percent, CTxtTable& monStats) const;
    // Adds `amount` (negative too) to "MinGrp" and "MaxGrp"; a group never shrinks below 1
    // (a size already below 1 stays), so no MinGrp passes its MaxGrp either.
    bool ApplyLargerGroups(int32_t amount, CTxtTable& monStats) const;

    // The factor by which a health multiplier raises experience and drops:
    // (multiplier - 1) × 2/3 + 1 in double precision.
    static double DropFactor(int32_t multiplier);

    // --- Difficulty and penalties ---

    // Fills every field from its column and difficulty row; a missing column or row gives "".
    bool ReadDifficultyRecord(DifficultyRecord& record, const CTxtTable& table) const;
    // Writes every field into its column and difficulty row; a missing column or row leaves
    // that cell alone.
    RecordWrite WriteDifficultyRecord(const DifficultyRecord& record, CTxtTable& table) const;

    // --- Monster area locations ---
    // An area is addressed by its row of the levels table, so that two areas of the same name
    // are each edited as themselves. A monster is carried as the decimal text of its row of the
    // monster table; a slot holds that row minus 1. Every slot list holds at most kAreaSlots.

    static constexpr int32_t kAreaSlots = 25;

    // Clears `rows` and fills it with the area's monster types ("M1".., "Mtot") or boss types
    // ("U1".., "Utot"), in slot order. False, leaving `rows` alone, when the row or a column is
    // missing.
    bool GetAreaMonsters(int32_t area, std::vector<std::string>& rows,
                         const CTxtTable& levels) const;
    bool GetAreaBosses(int32_t area, std::vector<std::string>& rows, const CTxtTable& levels) const;
    // Writes the list into the area's slots, the unused ones "0", and its size into the count.
    // False, writing nothing, when the row or a column is missing or the list is too long.
    bool SetAreaMonsters(int32_t area, const std::vector<std::string>& rows,
                         CTxtTable& levels) const;
    bool SetAreaBosses(int32_t area, const std::vector<std::string>& rows, CTxtTable& levels) const;
    // The integer value of the area's "MonUMin" / "MonUMax" cell; -1 when it is missing.
    int32_t GetMinBosses(int32_t area, const CTxtTable& levels) const;
    int32_t GetMaxBosses(int32_t area, const CTxtTable& levels) const;
    // Stores the text unchanged; false when the row or the column is missing.
    bool SetMinBosses(const std::string& text, int32_t area, CTxtTable& levels) const;
    bool SetMaxBosses(const std::string& text, int32_t area, CTxtTable& levels) const;
    // Appends every monster and boss type of every area, as row texts. False when the levels
    // table has no monster slots.
    bool GetUsedMonsterRows(std::vector<std::string>& rows, const CTxtTable& levels) const;
    // Clears `names` and appends the name of each row's monster, leaving out the "dummy" and
    // "unused" classes; a row outside the table gives "".
    void RowsToNames(const std::vector<std::string>& rows, std::vector<std::string>& names,
                     const CTxtTable& monsters) const;
    // The newer layout stores monster Ids: the name of `id` as GetMonsterNames lists it in that
    // layout ("<Id> (<NameStr>)") and its row, the first whose "Id" equals it (ignoring ASCII
    // case). An Id the table lacks is named by itself, with row -1; one with an empty NameStr
    // is named by itself too. False, for a type that stays stored but unseen, when its NameStr
    // is "dummy" or "unused" in any case.
    bool MonsterIdToName(std::string_view id, std::string& name, int32_t& row,
                         const CTxtTable& monsters) const;

    // --- Unique items ---

    // Fills the codes, minimums and maximums of the row (ten in the 1.07 to 1.09 layout; twelve,
    // with their parameters, in the 1.10 to 1.14d one); a missing column or a negative row gives
    // "", and so does every field the layout lacks. False when the row is past the table's end.
    bool ReadUniqueRecord(int32_t row, UniqueItemRecord& record, const CTxtTable& table,
                          TableLayout layout = TableLayout::V109) const;
    // Writes the layout's fields back; a missing column or a negative row leaves its cell alone.
    // False, writing nothing, when the row is past the table's end.
    RecordWrite WriteUniqueRecord(int32_t row, const UniqueItemRecord& record, CTxtTable& table,
                                  TableLayout layout = TableLayout::V109) const;

    // --- Armour and weapon editors ---
    // Reads and writes take the cells' text unchanged. A missing column (or a negative row)
    // reads "" and is not written. False, changing nothing, when the row is past the table.

    bool ReadArmourRecord(int32_t row, ArmourRecord& record, const CTxtTable& table) const;
    // Also sets "hasinv" to "1" unless the sockets are exactly "0", so that socketed items
    // can be socketed in the game.
    RecordWrite WriteArmourRecord(int32_t row, const ArmourRecord& record, CTxtTable& table) const;
    // The speed is "weaponspeedenum" when the table has it, else "speed".
    bool ReadWeaponRecord(int32_t row, WeaponRecord& record, const CTxtTable& table) const;
    RecordWrite WriteWeaponRecord(int32_t row, const WeaponRecord& record, CTxtTable& table) const;
    // Whether a PCX picture fits an item of that many inventory cells of 28 pixels: its width
    // and height divided by 28 give them. An unreadable picture has size 0 x 0.
    bool CheckPcxSize(int32_t cellsWide, int32_t cellsHigh, const std::string& path) const;
};

// Whether the decimal text of `row` is an entry of `list`.
bool IsRowInList(int32_t row, const std::vector<std::string>& list);

// The integer at the start of a cell as the game reads it: leading blanks, a sign, the digits up
// to the first other character; 0 when there is none. Held to the 32-bit range.
int32_t LeadingInteger(std::string_view text);

// The headers of the levels table's columns the area locations use. Slot i of a kind is the
// column at its first slot's index + i; the other slot headers are never looked up.
struct LevelsHeaders {
    static constexpr const char* kName = "name";
    static constexpr const char* kFirstMonster = "M1";
    static constexpr const char* kMonsterCount = "Mtot";
    static constexpr const char* kFirstBoss = "U1";
    static constexpr const char* kBossCount = "Utot";
    static constexpr const char* kMinBosses = "MonUMin";
    static constexpr const char* kMaxBosses = "MonUMax";
};
