#include "model/AllTablesFind.h"

#include "editors/CellText.h"
#include "model/CellMatcher.h"
#include "table/TxtTable.h"

#include <optional>

namespace {

template <typename Found>
void ForEachMatch(const std::vector<NamedTable>& tables, const CCellMatcher& matcher, Found found) {
    for (const NamedTable& named : tables) {
        if (!named.table)
            continue;
        const CTxtTable& table = *named.table;
        for (int32_t row = 0; row < table.Rows(); ++row)
            for (int32_t col = 0; col < table.Columns(); ++col)
                if (const std::string_view cell = table.CellView(col, row); matcher.Matches(cell))
                    found(named, col, row, cell);
    }
}

} // namespace

std::vector<TableMatch> FindInAllTables(const std::vector<NamedTable>& tables, const QString& text,
                                        FindOptions options) {
    std::vector<TableMatch> matches;
    const std::optional<std::string> bytes = TextToCell(text);
    if (!bytes || (bytes->empty() && !options.wholeCell))
        return matches;
    const CCellMatcher matcher(*bytes, options);
    // The matches are counted first, so that the list is made once at its size: a find of a
    // digit lists most of the game's cells.
    size_t count = 0;
    ForEachMatch(tables, matcher,
                 [&](const NamedTable&, int32_t, int32_t, std::string_view) { ++count; });
    matches.reserve(count);
    ForEachMatch(tables, matcher,
                 [&](const NamedTable& named, int32_t col, int32_t row, std::string_view cell) {
                     const CTxtTable& table = *named.table;
                     matches.push_back({named.fileName, row, col,
                                        std::string(table.CellView(0, row)),
                                        std::string(table.CellView(col, 0)), std::string(cell)});
                 });
    return matches;
}
