#pragma once

// The smallest header rows that each table layout is recognised by, for tests that open
// editors without caring about their contents.

#include "data/GameDataSet.h"
#include "editors/TableLayout.h"

#include <string>

// The header row of the table of `id` in `layout` (V109 or V110; tables that are the same in
// both take either), tab-separated, without a line end.
std::string LayoutHeaderRow(CGameDataSet::TableId id, TableLayout layout);

// That header row and one data row whose first cell is "row" and whose others are empty,
// each ended by CRLF.
std::string LayoutTableText(CGameDataSet::TableId id, TableLayout layout);
