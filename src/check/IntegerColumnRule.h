#pragma once

#include "check/ProblemRule.h"

#include <map>

// A column whose cells in the game's own copy of the table are all whole numbers holds whole
// numbers in the mod too: the game reads such a column as a number, and text reads as 0.
class CIntegerColumnRule : public CProblemRule {
public:
    explicit CIntegerColumnRule(std::string fileName) : m_fileName(std::move(fileName)) {}
    std::vector<std::string> Inputs() const override { return {m_fileName}; }
    std::vector<CProblem> Check(const TableLookup& mod, const TableLookup& base) const override;

private:
    // The headers of the game's whole-number columns, with the column each has in the game's copy.
    static std::vector<std::pair<std::string, int32_t>> WholeNumberColumns(const CTxtTable& base);

    std::string m_fileName;
    // The game's copy does not change while a mod is open: its columns are found once.
    mutable const CTxtTable* m_pBase = nullptr;
    mutable std::vector<std::pair<std::string, int32_t>> m_baseColumns;
};
