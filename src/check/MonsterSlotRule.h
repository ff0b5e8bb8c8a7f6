#pragma once

#include "check/ProblemRule.h"

// Each monster slot of an area names a monster that exists: by its Id from 1.10 on, by its
// monster number (its row, counted from 0) before.
class CMonsterSlotRule : public CProblemRule {
public:
    std::vector<std::string> Inputs() const override;
    std::vector<CProblem> Check(const TableLookup& mod, const TableLookup& base) const override;

private:
    static void CheckIds(const CTxtTable& levels, const CTxtTable& monsters,
                         std::vector<CProblem>& problems);
    static void CheckNumbers(const CTxtTable& levels, const CTxtTable& monsters,
                             std::vector<CProblem>& problems);
};
