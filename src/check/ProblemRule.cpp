#include "check/ProblemRule.h"

#include "platform/AsciiText.h"
#include "table/CellNumbers.h"
#include "table/TxtTable.h"

bool CProblemRule::IsReadRow(const CTxtTable& table, int32_t row) {
    if (row < 1 || row >= table.Rows() || table.Columns() < 1)
        return false;
    const std::string_view key = table.CellView(0, row);
    return !key.empty() && !EqualsIgnoringAsciiCase(key, "Expansion");
}

bool CProblemRule::IsEnabledRow(const CTxtTable& table, int32_t enabledCol, int32_t row) {
    return enabledCol < 0 || TableNumbers::LeadingInteger(table.CellView(enabledCol, row)) != 0;
}

int32_t CProblemRule::EnabledColumn(const std::string& fileName, const CTxtTable& table) {
    if (!EqualsIgnoringAsciiCase(fileName, "UniqueItems.txt") &&
        !EqualsIgnoringAsciiCase(fileName, "CubeMain.txt"))
        return -1;
    return table.FindColumn("enabled", 0);
}

CProblem CProblemRule::ProblemAt(const std::string& fileName, const CTxtTable& table, int32_t col,
                                 int32_t row, std::string what) {
    CProblem problem;
    problem.fileName = fileName;
    problem.tableRow = row;
    problem.col = col;
    const int32_t nameCol = table.FindColumn("LevelName", 0);
    problem.rowName = table.GetCell(nameCol >= 0 ? nameCol : 0, row);
    if (problem.rowName.empty())
        problem.rowName = table.GetCell(0, row);
    problem.column = table.GetCell(col, 0);
    problem.cell = table.GetCell(col, row);
    problem.what = std::move(what);
    return problem;
}

CProblem CProblemRule::RuleLine(const std::string& fileName, std::string what) {
    CProblem problem;
    problem.fileName = fileName;
    problem.what = std::move(what);
    return problem;
}

CProblem CProblemRule::CannotRun(const std::string& missing, const std::string& checks) {
    return RuleLine(missing, "The mod has no " + missing + ", so " + checks + " are not checked.");
}

std::string CProblemRule::FirstMissing(const TableLookup& mod,
                                       const std::vector<std::string>& fileNames) {
    for (const std::string& fileName : fileNames)
        if (mod(fileName) == nullptr)
            return fileName;
    return "";
}

std::vector<int32_t> CProblemRule::NumberedColumns(const CTxtTable& table,
                                                   const std::string& prefix,
                                                   const std::string& suffix) {
    std::vector<int32_t> cols;
    for (int32_t n = 1;; ++n) {
        const int32_t col = table.FindColumn(prefix + std::to_string(n) + suffix, 0);
        if (col < 0)
            return cols;
        cols.push_back(col);
    }
}

void CProblemRule::AddColumnKeys(CKeySet& keys, const CTxtTable* table, const std::string& header) {
    if (table == nullptr)
        return;
    const int32_t col = table->FindColumn(header, 0);
    if (col < 0)
        return;
    for (int32_t row = 1; row < table->Rows(); ++row)
        if (IsReadRow(*table, row) && !table->CellView(col, row).empty())
            keys.Add(table->CellView(col, row));
}

bool CProblemRule::IsWholeNumber(std::string_view text) {
    if (!text.empty() && (text.front() == '-' || text.front() == '+'))
        text.remove_prefix(1);
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

std::string CProblemRule::Quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}
