#include "LayoutTables.h"

#include <algorithm>

namespace {

using TableId = CGameDataSet::TableId;

std::string Slots(const std::string& prefix) {
    std::string row;
    for (int i = 1; i <= 25; ++i)
        row += "\t" + prefix + std::to_string(i);
    return row;
}

} // namespace

std::string LayoutHeaderRow(TableId id, TableLayout layout) {
    const bool v110 = layout == TableLayout::V110;
    switch (id) {
    case TableId::MonStats:
        return v110 ? "Id\thcIdx\tNameStr\tA1TH" : "Class\tnamco\tSpawned";
    case TableId::Levels:
        return v110 ? "Name\tNumMon\tmon1\tmon2\tnmon1\tnmon2\tumon1\tumon2"
                    : "name\tMtot" + Slots("M") + "\tUtot" + Slots("U");
    case TableId::UniqueItems:
        return v110 ? "index\tprop1\tpar1\tmin1\tmax1" : "name\tItemMod1Code\tItemMod1Min";
    case TableId::Armor:
    case TableId::Weapons:
        return "name\tcode";
    case TableId::DifficultyLevels:
        return "Name\tResistPenalty";
    case TableId::MonItemPercent:
    case TableId::TreasureClassEx:
    case TableId::Skills:
        break;
    }
    return "key\tvalue";
}

std::string LayoutTableText(TableId id, TableLayout layout) {
    const std::string header = LayoutHeaderRow(id, layout);
    const auto tabs = std::count(header.begin(), header.end(), '\t');
    return header + "\r\nrow" + std::string(static_cast<size_t>(tabs), '\t') + "\r\n";
}
