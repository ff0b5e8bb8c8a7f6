#include "check/TreasureClassRule.h"

#include "platform/AsciiText.h"
#include "table/CellNumbers.h"
#include "table/TxtTable.h"

#include <algorithm>

namespace {

constexpr const char* kClasses = "TreasureClassEx.txt";
constexpr const char* kMonsters = "monstats.txt";
constexpr const char* kItemTables[] = {"Armor.txt", "Weapons.txt", "Misc.txt"};

// What an entry names: the text inside its quotes, before a "," that adds a modifier
// ("gld,mul=1280").
std::string_view EntryName(std::string_view entry) {
    if (entry.size() >= 2 && entry.front() == '"' && entry.back() == '"')
        entry = entry.substr(1, entry.size() - 2);
    return entry.substr(0, entry.find(','));
}

} // namespace

std::vector<std::string> CTreasureClassRule::Inputs() const {
    return {kClasses,       kMonsters,       kItemTables[0],    kItemTables[1],
            kItemTables[2], "ItemTypes.txt", "UniqueItems.txt", "SetItems.txt"};
}

bool CTreasureClassRule::IsTypeClass(std::string_view name, const CKeySet& typeCodes,
                                     int32_t maxLevel) {
    const size_t digits = name.find_first_of("0123456789");
    if (digits == std::string_view::npos || digits == 0 || !typeCodes.Has(name.substr(0, digits)) ||
        !IsWholeNumber(name.substr(digits)))
        return false;
    const int32_t level = TableNumbers::LeadingInteger(name.substr(digits));
    return level > 0 && level % 3 == 0 && level < maxLevel + 3;
}

std::vector<CProblem> CTreasureClassRule::Check(const TableLookup& mod, const TableLookup&) const {
    const std::string missing = FirstMissing(mod, Inputs());
    if (!missing.empty())
        return {CannotRun(missing, "the treasure classes")};
    const CTxtTable& classes = *mod(kClasses);
    CKeySet classNames, others, typeCodes;
    AddColumnKeys(classNames, &classes, classes.GetCell(0, 0));
    int32_t maxLevel = 0;
    for (const char* items : kItemTables) {
        const CTxtTable* table = mod(items);
        AddColumnKeys(others, table, "code");
        if (const auto levels = table->GetColumn("level"))
            for (size_t row = 1; row < levels->size(); ++row)
                maxLevel = std::max(maxLevel, TableNumbers::LeadingInteger((*levels)[row]));
    }
    AddColumnKeys(others, mod("UniqueItems.txt"), mod("UniqueItems.txt")->GetCell(0, 0));
    AddColumnKeys(others, mod("SetItems.txt"), mod("SetItems.txt")->GetCell(0, 0));
    const CTxtTable& types = *mod("ItemTypes.txt");
    const int32_t typeCode = types.FindColumn("Code", 0),
                  marked = types.FindColumn("TreasureClass", 0);
    for (int32_t row = 1; typeCode >= 0 && marked >= 0 && row < types.Rows(); ++row)
        if (TableNumbers::LeadingInteger(types.CellView(marked, row)) == 1)
            typeCodes.Add(types.CellView(typeCode, row));

    std::vector<CProblem> problems;
    const std::vector<int32_t> entries = NumberedColumns(classes, "Item");
    for (int32_t row = 1; row < classes.Rows(); ++row) {
        if (!IsReadRow(classes, row))
            continue;
        for (int32_t col : entries) {
            const std::string_view name = EntryName(classes.CellView(col, row));
            if (!name.empty() && !classNames.Has(name) && !others.Has(name) &&
                !IsTypeClass(name, typeCodes, maxLevel))
                problems.push_back(ProblemAt(kClasses, classes, col, row,
                                             "no treasure class, item, item type class, unique "
                                             "or set item is named " +
                                                 Quoted(name) + "."));
        }
    }

    const CTxtTable& monsters = *mod(kMonsters);
    std::vector<int32_t> monsterCols;
    for (int32_t col = 0; col < monsters.Columns(); ++col)
        if (EqualsIgnoringAsciiCase(monsters.CellView(col, 0).substr(0, 13), "TreasureClass"))
            monsterCols.push_back(col);
    for (int32_t row = 1; row < monsters.Rows(); ++row) {
        if (!IsReadRow(monsters, row))
            continue;
        for (int32_t col : monsterCols) {
            const std::string_view name = monsters.CellView(col, row);
            if (!name.empty() && !classNames.Has(name))
                problems.push_back(ProblemAt(kMonsters, monsters, col, row,
                                             "no treasure class is named " + Quoted(name) + "."));
        }
    }
    return problems;
}
