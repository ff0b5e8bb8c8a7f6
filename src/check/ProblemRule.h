#pragma once

#include "check/KeySet.h"
#include "check/Problem.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

class CTxtTable;

// A table of the mod (or of the game) by its file name, any case; null when there is none.
using TableLookup = std::function<const CTxtTable*(const std::string& fileName)>;

// A check over some of the mod's tables. Each rule knows the column layouts of its tables and
// skips the rows the game does not read.
class CProblemRule {
public:
    virtual ~CProblemRule() = default;
    // The tables the rule reads: a change to any of them makes its problems stale.
    virtual std::vector<std::string> Inputs() const = 0;
    // `base` gives the game's own copy of a table.
    virtual std::vector<CProblem> Check(const TableLookup& mod, const TableLookup& base) const = 0;

protected:
    // Whether the game reads the row: not the header, its key cell (the first) is not empty and
    // it is no "Expansion" marker row.
    static bool IsReadRow(const CTxtTable& table, int32_t row);
    // Unique items and recipes with "enabled" at 0 (or empty) are left out by the game.
    static bool IsEnabledRow(const CTxtTable& table, int32_t enabledCol, int32_t row);
    // The "enabled" column of the unique items and the recipes; -1 for other tables.
    static int32_t EnabledColumn(const std::string& fileName, const CTxtTable& table);
    // The problem at a cell; the row is named by its "LevelName" cell where the table has one
    // (an area's own name), else by its first cell.
    static CProblem ProblemAt(const std::string& fileName, const CTxtTable& table, int32_t col,
                              int32_t row, std::string what);
    // A line of the rule as a whole, about `fileName`.
    static CProblem RuleLine(const std::string& fileName, std::string what);
    // The one line of a rule that cannot run because `missing` is not in the mod.
    static CProblem CannotRun(const std::string& missing, const std::string& checks);
    // The first of `fileNames` that `mod` lacks; empty when it has them all.
    static std::string FirstMissing(const TableLookup& mod,
                                    const std::vector<std::string>& fileNames);
    // The columns headed prefix + "1" + suffix, prefix + "2" + suffix, ... as long as they go on.
    static std::vector<int32_t> NumberedColumns(const CTxtTable& table, const std::string& prefix,
                                                const std::string& suffix = "");
    // Adds the cells of the column headed `header` in every row the game reads.
    static void AddColumnKeys(CKeySet& keys, const CTxtTable* table, const std::string& header);
    // Whether the text is a whole number: an optional sign and digits, nothing else.
    static bool IsWholeNumber(std::string_view text);
    // "\"text\"".
    static std::string Quoted(std::string_view text);
};
