#include "editors/TableLayout.h"

#include "editors/DifficultyRecord.h"
#include "platform/AsciiText.h"
#include "table/TxtTable.h"

#include <string_view>

namespace {

using TableId = CGameDataSet::TableId;

bool Has(const CTxtTable& table, const char* header) {
    return table.FindColumn(header, 0) >= 0;
}

bool FirstHeaderIs(const CTxtTable& table, std::string_view header) {
    return table.Rows() > 0 && table.Columns() > 0 &&
           EqualsIgnoringAsciiCase(table.CellView(0, 0), header);
}

// The older levels table addresses its slots by offset from the first one, so the 25 slots
// must follow it in order under their own names.
bool HasSlotRun(const CTxtTable& levels, const char* prefix) {
    const int32_t first = levels.FindColumn(std::string(prefix) + "1", 0);
    if (first < 0)
        return false;
    for (int32_t i = 0; i < 25; ++i)
        if (first + i >= levels.Columns() ||
            !EqualsIgnoringAsciiCase(levels.CellView(first + i, 0), prefix + std::to_string(i + 1)))
            return false;
    return true;
}

TableLayout Decide(bool v109, bool v110) {
    if (v109 == v110)
        return TableLayout::Unknown;
    return v109 ? TableLayout::V109 : TableLayout::V110;
}

} // namespace

TableLayout DetectTableLayout(const CTxtTable& table, CGameDataSet::TableId id) {
    if (table.Rows() == 0)
        return TableLayout::Unknown;
    switch (id) {
    case TableId::MonStats:
        return Decide(table.FindColumn("namco", 0) == 1 && Has(table, "Class"),
                      table.FindColumn("Id", 0) == 0 && Has(table, "NameStr") &&
                          Has(table, "A1TH"));
    case TableId::Levels:
        if (table.FindColumn("name", 0) != 0)
            return TableLayout::Unknown;
        return Decide(HasSlotRun(table, "M") && Has(table, "Mtot") &&
                          (!Has(table, "U1") || HasSlotRun(table, "U")),
                      Has(table, "mon1") && Has(table, "nmon1") && Has(table, "umon1"));
    case TableId::UniqueItems:
        return Decide(FirstHeaderIs(table, "name") && Has(table, "ItemMod1Code"),
                      FirstHeaderIs(table, "index") && Has(table, "prop1") && Has(table, "min1") &&
                          Has(table, "max1"));
    case TableId::Armor:
    case TableId::Weapons:
        return FirstHeaderIs(table, "name") ? TableLayout::Either : TableLayout::Unknown;
    case TableId::DifficultyLevels:
        for (const char* header : kDifficultyHeaders)
            if (Has(table, header))
                return TableLayout::Either;
        return TableLayout::Unknown;
    case TableId::MonItemPercent:
    case TableId::TreasureClassEx:
    case TableId::Skills:
        break;
    }
    return TableLayout::Either;
}

std::vector<std::string> MissingHeaders(const CTxtTable& table,
                                        const std::vector<std::string>& headers) {
    std::vector<std::string> missing;
    for (const std::string& header : headers)
        if (table.FindColumn(header, 0) < 0)
            missing.push_back(header);
    return missing;
}
