#pragma once

#include <cstdint>
#include <optional>
#include <string>

class CTxtTable;

// A cell of a table: its column and table row.
struct CellPosition {
    int32_t col = 0;
    int32_t tableRow = 0;
    bool operator==(const CellPosition&) const = default;
};

struct FindOptions {
    bool wholeCell = false;
    bool matchCase = false; // otherwise ASCII A-Z match their lower case, and nothing else
    bool backwards = false;
};

// The next data cell (row by row, left to right; the header row is not searched) holding
// `text`, starting after `start` (before it when searching backwards) and wrapping at the ends
// of the table, so that `start` itself is the last cell tried. None when no cell holds it.
std::optional<CellPosition> FindNext(const CTxtTable& table, const std::string& text,
                                     CellPosition start, FindOptions options);
