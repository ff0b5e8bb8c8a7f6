#pragma once

#include "check/ProblemRule.h"

// A unique item names an item code that exists among the armour, weapon and misc codes; each of
// its properties exists in the properties table; and a property that takes a skill names an
// existing skill, by name or by number.
class CUniqueItemRule : public CProblemRule {
public:
    std::vector<std::string> Inputs() const override;
    std::vector<CProblem> Check(const TableLookup& mod, const TableLookup& base) const override;
};
