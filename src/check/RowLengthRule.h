#pragma once

#include "check/ProblemRule.h"

// Every row the game reads has as many cells as the header: the game reads a cell by its place
// in the row, so a row one cell short or long shifts or loses what follows. Reported only; the
// row is kept as it is.
class CRowLengthRule : public CProblemRule {
public:
    explicit CRowLengthRule(std::string fileName) : m_fileName(std::move(fileName)) {}
    std::vector<std::string> Inputs() const override { return {m_fileName}; }
    std::vector<CProblem> Check(const TableLookup& mod, const TableLookup& base) const override;

private:
    std::string m_fileName;
};
