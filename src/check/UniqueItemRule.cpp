#include "check/UniqueItemRule.h"

#include "editors/TableLayout.h"
#include "table/CellNumbers.h"
#include "table/TxtTable.h"

namespace {

constexpr const char* kUniques = "UniqueItems.txt";
constexpr const char* kProperties = "Properties.txt";
constexpr const char* kSkills = "Skills.txt";

// The property functions whose parameter is a skill: skill on an event, charges of a skill, and
// a single skill or aura.
bool TakesSkill(int32_t function) {
    return function == 11 || function == 19 || function == 22;
}

struct Slot {
    int32_t code, param;
};

// The property slots: prop1/par1... from 1.10 on, ItemMod1Code/ItemMod1Param... before.
std::vector<Slot> PropertySlots(const CTxtTable& uniques, TableLayout layout) {
    std::vector<Slot> slots;
    for (int32_t n = 1;; ++n) {
        const std::string k = std::to_string(n);
        const bool v110 = HasColumnsOf110(layout);
        const int32_t code = uniques.FindColumn(v110 ? "prop" + k : "ItemMod" + k + "Code", 0);
        if (code < 0)
            return slots;
        slots.push_back({code, uniques.FindColumn(v110 ? "par" + k : "ItemMod" + k + "Param", 0)});
    }
}

} // namespace

std::vector<std::string> CUniqueItemRule::Inputs() const {
    return {kUniques, "Armor.txt", "Weapons.txt", "Misc.txt", kProperties, kSkills};
}

std::vector<CProblem> CUniqueItemRule::Check(const TableLookup& mod, const TableLookup&) const {
    const std::string missing = FirstMissing(mod, Inputs());
    if (!missing.empty())
        return {CannotRun(missing, "the unique items")};
    const CTxtTable& uniques = *mod(kUniques);
    const TableLayout layout = DetectTableLayout(uniques, CGameDataSet::TableId::UniqueItems);
    if (layout == TableLayout::Unknown)
        return {RuleLine(kUniques, "UniqueItems.txt does not have the columns of a game version "
                                   "this program knows, so the unique items are not checked.")};

    CKeySet codes, properties, skillNames;
    for (const char* items : {"Armor.txt", "Weapons.txt", "Misc.txt"})
        AddColumnKeys(codes, mod(items), "code");
    // Skill properties by their function, from the properties table.
    const CTxtTable& propertyTable = *mod(kProperties);
    const int32_t functionCol = propertyTable.FindColumn("func1", 0);
    CKeySet skillProperties;
    for (int32_t row = 1; row < propertyTable.Rows(); ++row) {
        if (!IsReadRow(propertyTable, row))
            continue;
        properties.Add(propertyTable.CellView(0, row));
        if (functionCol >= 0 &&
            TakesSkill(TableNumbers::LeadingInteger(propertyTable.CellView(functionCol, row))))
            skillProperties.Add(propertyTable.CellView(0, row));
    }
    // A skill by number is its Id, or its row counted from 0 where the table has no Id column.
    const CTxtTable& skills = *mod(kSkills);
    AddColumnKeys(skillNames, &skills, "skill");
    CKeySet skillNumbers;
    AddColumnKeys(skillNumbers, &skills, "Id");
    if (skills.FindColumn("Id", 0) < 0)
        for (int32_t row = 1; row < skills.Rows(); ++row)
            skillNumbers.Add(std::to_string(row - 1));

    const int32_t codeCol = uniques.FindColumn("code", 0);
    const int32_t enabledCol = EnabledColumn(kUniques, uniques);
    const std::vector<Slot> slots = PropertySlots(uniques, layout);
    std::vector<CProblem> problems;
    auto report = [&](int32_t col, int32_t row, std::string what) {
        problems.push_back(ProblemAt(kUniques, uniques, col, row, std::move(what)));
    };
    for (int32_t row = 1; row < uniques.Rows(); ++row) {
        if (!IsReadRow(uniques, row) || !IsEnabledRow(uniques, enabledCol, row))
            continue;
        if (codeCol >= 0) {
            const std::string_view code = uniques.CellView(codeCol, row);
            if (!code.empty() && !codes.Has(code))
                report(codeCol, row,
                       "no armour, weapon or misc item has the code " + Quoted(code) + ".");
        }
        for (const Slot& slot : slots) {
            const std::string_view property = uniques.CellView(slot.code, row);
            // A code starting with "*" is commented out: the game passes over it.
            if (property.empty() || property.front() == '*')
                continue;
            if (!properties.Has(property)) {
                report(slot.code, row, "no property has the code " + Quoted(property) + ".");
                continue;
            }
            if (slot.param < 0 || !skillProperties.Has(property))
                continue;
            const std::string_view skill = uniques.CellView(slot.param, row);
            if (skill.empty())
                continue;
            if (IsWholeNumber(skill) ? !skillNumbers.Has(skill) : !skillNames.Has(skill))
                report(slot.param, row,
                       std::string("no skill has the ") +
                           (IsWholeNumber(skill) ? "number " : "name ") + Quoted(skill) + ".");
        }
    }
    return problems;
}
