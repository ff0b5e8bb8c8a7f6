#include "check/ProblemChecker.h"

#include "check/IntegerColumnRule.h"
#include "check/MonsterSlotRule.h"
#include "check/RowLengthRule.h"
#include "check/TreasureClassRule.h"
#include "check/UniqueItemRule.h"
#include "check/UniqueKeyRule.h"
#include "platform/AsciiText.h"

#include <algorithm>

CProblemChecker::CProblemChecker(const std::vector<std::string>& fileNames, TableLookup mod,
                                 TableLookup base)
    : m_mod(std::move(mod)), m_base(std::move(base)) {
    Add(std::make_unique<CMonsterSlotRule>());
    Add(std::make_unique<CUniqueItemRule>());
    Add(std::make_unique<CTreasureClassRule>());
    Add(std::make_unique<CUniqueKeyRule>(std::vector<std::string>{"monstats.txt"}, "Id", "Id"));
    Add(std::make_unique<CUniqueKeyRule>(
        std::vector<std::string>{"Armor.txt", "Weapons.txt", "Misc.txt"}, "code", "code"));
    Add(std::make_unique<CUniqueKeyRule>(std::vector<std::string>{"TreasureClassEx.txt"},
                                         "Treasure Class", "treasure class name"));
    for (const std::string& fileName : fileNames) {
        Add(std::make_unique<CIntegerColumnRule>(fileName));
        Add(std::make_unique<CRowLengthRule>(fileName));
    }
}

CProblemChecker::~CProblemChecker() = default;

void CProblemChecker::Add(std::unique_ptr<CProblemRule> rule) {
    Kept kept;
    for (const std::string& input : rule->Inputs())
        kept.inputs.push_back(AsciiUpperCopy(input));
    kept.rule = std::move(rule);
    m_rules.push_back(std::move(kept));
}

void CProblemChecker::TableChanged(const std::string& fileName) {
    const std::string key = AsciiUpperCopy(fileName);
    for (Kept& kept : m_rules)
        if (std::find(kept.inputs.begin(), kept.inputs.end(), key) != kept.inputs.end())
            kept.stale = true;
}

bool CProblemChecker::Update() {
    bool checked = false;
    for (Kept& kept : m_rules) {
        if (!kept.stale)
            continue;
        kept.problems = kept.rule->Check(m_mod, m_base);
        kept.stale = false;
        checked = true;
    }
    return checked;
}

std::vector<CProblem> CProblemChecker::Problems() const {
    std::vector<CProblem> problems;
    problems.reserve(Count());
    for (const Kept& kept : m_rules)
        problems.insert(problems.end(), kept.problems.begin(), kept.problems.end());
    return problems;
}

size_t CProblemChecker::Count() const {
    size_t count = 0;
    for (const Kept& kept : m_rules)
        count += kept.problems.size();
    return count;
}
