#include "model/AllTablesFind.h"

#include "editors/CellText.h"
#include "model/CellMatcher.h"
#include "table/TxtTable.h"

#include <optional>

std::vector<TableMatch> FindInAllTables(const std::vector<NamedTable>& tables, const QString& text,
                                        FindOptions options) {
    std::vector<TableMatch> matches;
    const std::optional<std::string> bytes = TextToCell(text);
    if (!bytes || (bytes->empty() && !options.wholeCell))
        return matches;
    const CCellMatcher matcher(*bytes, options);
    for (const NamedTable& named : tables) {
        if (!named.table)
            continue;
        const CTxtTable& table = *named.table;
        for (int32_t row = 0; row < table.Rows(); ++row)
            for (int32_t col = 0; col < table.Columns(); ++col) {
                const std::string_view cell = table.CellView(col, row);
                if (matcher.Matches(cell))
                    matches.push_back({named.fileName, row, col, table.GetCell(0, row),
                                       table.GetCell(col, 0), std::string(cell)});
            }
    }
    return matches;
}
