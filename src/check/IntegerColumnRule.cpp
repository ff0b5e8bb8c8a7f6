#include "check/IntegerColumnRule.h"

#include "platform/AsciiText.h"
#include "table/TxtTable.h"

namespace {

// A property's parameter ("par3", "mod1param", "T1Param2", "apar1a") names a skill by its name
// as well as by its number, so a name there is no fault even where the game's own table has
// numbers only.
bool IsPropertyParameter(std::string_view header) {
    const std::string upper = AsciiUpperCopy(header);
    if (upper.find("PARAM") != std::string::npos)
        return true;
    const size_t at = upper.rfind("PAR", 1);
    return at != std::string::npos && upper.size() > at + 3 && upper[at + 3] >= '0' &&
           upper[at + 3] <= '9';
}

} // namespace

std::vector<std::pair<std::string, int32_t>>
CIntegerColumnRule::WholeNumberColumns(const CTxtTable& base) {
    std::vector<std::pair<std::string, int32_t>> columns;
    for (int32_t col = 0; col < base.Columns(); ++col) {
        const std::string_view header = base.CellView(col, 0);
        // Columns headed "*..." are comments the game does not read.
        if (header.empty() || header.front() == '*' || IsPropertyParameter(header))
            continue;
        bool any = false, all = true;
        for (int32_t row = 1; all && row < base.Rows(); ++row) {
            if (!IsReadRow(base, row) || base.CellView(col, row).empty())
                continue;
            any = true;
            all = IsWholeNumber(base.CellView(col, row));
        }
        if (any && all)
            columns.emplace_back(header, col);
    }
    return columns;
}

std::vector<CProblem> CIntegerColumnRule::Check(const TableLookup& mod,
                                                const TableLookup& base) const {
    const CTxtTable* table = mod(m_fileName);
    const CTxtTable* game = base(m_fileName);
    if (table == nullptr || game == nullptr)
        return {};
    if (game != m_pBase) {
        m_baseColumns = WholeNumberColumns(*game);
        m_pBase = game;
    }
    const int32_t enabledCol = EnabledColumn(m_fileName, *table);
    std::vector<CProblem> problems;
    for (const auto& [header, baseCol] : m_baseColumns) {
        // The same place when the mod kept the game's columns, else the first of that header.
        const int32_t col = baseCol < table->Columns() && table->CellView(baseCol, 0) == header
                                ? baseCol
                                : table->FindColumn(header, 0);
        if (col < 0)
            continue;
        for (int32_t row = 1; row < table->Rows(); ++row) {
            const std::string_view cell = table->CellView(col, row);
            if (!cell.empty() && !IsWholeNumber(cell) && IsReadRow(*table, row) &&
                IsEnabledRow(*table, enabledCol, row))
                problems.push_back(ProblemAt(m_fileName, *table, col, row,
                                             Quoted(cell) +
                                                 " is no whole number, which the "
                                                 "game's own table has in this column."));
        }
    }
    return problems;
}
