#include "editors/TableLayout.h"

#include "editors/DifficultyRecord.h"
#include "platform/AsciiText.h"
#include "table/TxtTable.h"

#include <string_view>
#include <vector>

namespace {

using TableId = CGameDataSet::TableId;

bool Has(const CTxtTable& table, const std::string& header) {
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

// Columns that only Resurrected's tables have, any one of which tells its layout (a mod may
// have dropped the others). Those of the 1.10 columns it renamed come first.
std::vector<const char*> ResurrectedOnlyHeaders(TableId id) {
    switch (id) {
    case TableId::MonStats:
        return {"TreasureClassChamp", "ShieldBlockOverride", "*hcIdx"};
    case TableId::Levels:
        return {"MonLvlEx", "LevelEntry", "*StringName"};
    case TableId::UniqueItems:
        return {"firstLadderSeason", "lastLadderSeason", "spawnable", "disabled"};
    case TableId::Armor:
    case TableId::Weapons:
        return {"Transmogrify", "ShowLevel", "diablocloneweight"};
    case TableId::DifficultyLevels:
        return {"ResistPenaltyNonExpansion"};
    case TableId::MonItemPercent:
    case TableId::TreasureClassEx:
    case TableId::Skills:
        break;
    }
    return {};
}

TableLayout Decide(bool v109, bool v110) {
    if (v109 == v110)
        return TableLayout::Unknown;
    return v109 ? TableLayout::V109 : TableLayout::V110;
}

} // namespace

TableLayout DetectClassicLayout(const CTxtTable& table, CGameDataSet::TableId id) {
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
        for (const std::string& header : DifficultyHeaders(TableLayout::V110))
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

TableLayout DetectTableLayout(const CTxtTable& table, CGameDataSet::TableId id) {
    const TableLayout classic = DetectClassicLayout(table, id);
    if (classic == TableLayout::Unknown || classic == TableLayout::V109)
        return classic;
    for (const char* header : ResurrectedOnlyHeaders(id))
        if (Has(table, header))
            return TableLayout::D2R;
    return classic;
}

std::string LayoutGameVersions(TableLayout layout) {
    switch (layout) {
    case TableLayout::V109:
        return "Diablo II 1.07–1.09";
    case TableLayout::D2R:
        return "Diablo II: Resurrected";
    default:
        return "Diablo II 1.10–1.14d";
    }
}

std::vector<std::string> MissingHeaders(const CTxtTable& table,
                                        const std::vector<std::string>& headers) {
    std::vector<std::string> missing;
    for (const std::string& header : headers)
        if (table.FindColumn(header, 0) < 0)
            missing.push_back(header);
    return missing;
}
