#pragma once

#include "data/GameDataSet.h"

#include <string>
#include <vector>

class CTxtTable;

// The column layout of a game table. Patch 1.10 renamed and reshaped the columns of the monster,
// levels and unique item tables; the other tables kept theirs.
enum class TableLayout {
    V109,    // the columns of game versions 1.07 to 1.09
    V110,    // the columns of game versions 1.10 to 1.14d
    Either,  // a table whose columns are the same in both
    Unknown, // neither layout: an editor must not guess where its columns are
};

// The layout of `table` (the table of `id`) as its header row shows it. Asked each time an
// editor opens, never remembered: a Cancel may bring back a base copy of the other layout.
TableLayout DetectTableLayout(const CTxtTable& table, CGameDataSet::TableId id);

// The headers of `headers` that row 0 of `table` lacks (ignoring ASCII case), in their order.
std::vector<std::string> MissingHeaders(const CTxtTable& table,
                                        const std::vector<std::string>& headers);
