#pragma once

#include "check/ProblemRule.h"

// A treasure class entry names an existing treasure class, item code, item type class (the
// game's own classes such as "armo6" or "weap12") or unique or set item; a monster's treasure
// class columns name existing treasure classes.
class CTreasureClassRule : public CProblemRule {
public:
    std::vector<std::string> Inputs() const override;
    std::vector<CProblem> Check(const TableLookup& mod, const TableLookup& base) const override;

private:
    // Whether `name` is one of the classes the game makes for each item type marked for them:
    // the type's code and a level that is a multiple of 3, up to the highest item level.
    static bool IsTypeClass(std::string_view name, const CKeySet& typeCodes, int32_t maxLevel);
};
