#pragma once

#include "data/GameDataSet.h"

#include <string>
#include <vector>

class CTxtTable;

// The column layout of a game table. Patch 1.10 renamed and reshaped the columns of the monster,
// levels and unique item tables; the other tables kept theirs. Diablo II: Resurrected keeps the
// 1.10 columns and adds its own, and drops a few the editors used.
enum class TableLayout {
    V109,    // the columns of game versions 1.07 to 1.09
    V110,    // the columns of game versions 1.10 to 1.14d
    D2R,     // the columns of Diablo II: Resurrected
    Either,  // a table whose columns are the same in both
    Unknown, // neither layout: an editor must not guess where its columns are
};

// Whether tables of `layout` have the columns of 1.10 to 1.14d, as Resurrected's do.
constexpr bool HasColumnsOf110(TableLayout layout) {
    return layout == TableLayout::V110 || layout == TableLayout::D2R;
}

// The layout of `table` (the table of `id`) as its header row shows it. Asked each time an
// editor opens, never remembered: a Cancel may bring back a base copy of the other layout.
TableLayout DetectTableLayout(const CTxtTable& table, CGameDataSet::TableId id);
// The same, but telling only the classic game's layouts apart: a Resurrected table counts as
// the 1.10 to 1.14d layout (or as Either) that it extends.
TableLayout DetectClassicLayout(const CTxtTable& table, CGameDataSet::TableId id);

// The game versions whose tables have `layout` (V109, V110 or D2R), as the user reads them.
std::string LayoutGameVersions(TableLayout layout);

// The headers of `headers` that row 0 of `table` lacks (ignoring ASCII case), in their order.
std::vector<std::string> MissingHeaders(const CTxtTable& table,
                                        const std::vector<std::string>& headers);
