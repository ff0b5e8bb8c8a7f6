#include "check/MonsterSlotRule.h"

#include "editors/TableLayout.h"
#include "table/CellNumbers.h"
#include "table/TxtTable.h"

namespace {

constexpr const char* kLevels = "Levels.txt";
constexpr const char* kMonsters = "monstats.txt";
constexpr const char* kWhat = "the monsters of the areas";

} // namespace

std::vector<std::string> CMonsterSlotRule::Inputs() const {
    return {kLevels, kMonsters};
}

std::vector<CProblem> CMonsterSlotRule::Check(const TableLookup& mod, const TableLookup&) const {
    const std::string missing = FirstMissing(mod, Inputs());
    if (!missing.empty())
        return {CannotRun(missing, kWhat)};
    const CTxtTable& levels = *mod(kLevels);
    const CTxtTable& monsters = *mod(kMonsters);
    const TableLayout levelsLayout = DetectTableLayout(levels, CGameDataSet::TableId::Levels);
    const TableLayout monstersLayout = DetectTableLayout(monsters, CGameDataSet::TableId::MonStats);
    std::vector<CProblem> problems;
    // Resurrected's tables name monsters by Id as 1.10's do.
    if (HasColumnsOf110(levelsLayout) && HasColumnsOf110(monstersLayout))
        CheckIds(levels, monsters, problems);
    else if (levelsLayout == TableLayout::V109 && monstersLayout == TableLayout::V109)
        CheckNumbers(levels, monsters, problems);
    else
        problems.push_back(RuleLine(kLevels, "Levels.txt and monstats.txt do not have the columns "
                                             "of one game version, so " +
                                                 std::string(kWhat) + " are not checked."));
    return problems;
}

void CMonsterSlotRule::CheckIds(const CTxtTable& levels, const CTxtTable& monsters,
                                std::vector<CProblem>& problems) {
    CKeySet ids;
    AddColumnKeys(ids, &monsters, "Id");
    std::vector<int32_t> slots;
    for (const char* group : {"mon", "nmon", "umon", "cmon"})
        for (int32_t col : NumberedColumns(levels, group))
            slots.push_back(col);
    for (int32_t row = 1; row < levels.Rows(); ++row) {
        if (!IsReadRow(levels, row))
            continue;
        for (int32_t col : slots) {
            const std::string_view id = levels.CellView(col, row);
            if (!id.empty() && !ids.Has(id))
                problems.push_back(ProblemAt(kLevels, levels, col, row,
                                             "no monster has the Id " + Quoted(id) + "."));
        }
    }
}

void CMonsterSlotRule::CheckNumbers(const CTxtTable& levels, const CTxtTable& monsters,
                                    std::vector<CProblem>& problems) {
    // The game reads the first "Mtot" of the 25 slots M1 to M25, and likewise "Utot" of U1 to U25.
    for (const char* group : {"M", "U"}) {
        const int32_t first = levels.FindColumn(std::string(group) + "1", 0);
        const int32_t total = levels.FindColumn(std::string(group) + "tot", 0);
        if (first < 0 || total < 0)
            continue;
        for (int32_t row = 1; row < levels.Rows(); ++row) {
            if (!IsReadRow(levels, row))
                continue;
            const int32_t used = TableNumbers::LeadingInteger(levels.CellView(total, row));
            for (int32_t i = 0; i < used && i < 25 && first + i < levels.Columns(); ++i) {
                const int32_t number =
                    TableNumbers::LeadingInteger(levels.CellView(first + i, row));
                if (number < 0 || number + 1 >= monsters.Rows() || !IsReadRow(monsters, number + 1))
                    problems.push_back(
                        ProblemAt(kLevels, levels, first + i, row,
                                  "no monster has the number " + std::to_string(number) + "."));
            }
        }
    }
}
