#include "check/RowLengthRule.h"

#include "table/TxtTable.h"

std::vector<CProblem> CRowLengthRule::Check(const TableLookup& mod, const TableLookup&) const {
    const CTxtTable* table = mod(m_fileName);
    if (table == nullptr)
        return {};
    const int32_t enabledCol = EnabledColumn(m_fileName, *table);
    std::vector<CProblem> problems;
    for (int32_t row = 1; row < table->Rows(); ++row) {
        const int32_t cells = table->CellCount(row);
        if (cells != table->Columns() && IsReadRow(*table, row) &&
            IsEnabledRow(*table, enabledCol, row)) {
            CProblem problem =
                ProblemAt(m_fileName, *table, 0, row,
                          "the row has " + std::to_string(cells) + " cells and the header " +
                              std::to_string(table->Columns()) + ".");
            problem.column.clear();
            problems.push_back(std::move(problem));
        }
    }
    return problems;
}
