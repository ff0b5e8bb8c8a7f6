#include "check/UniqueKeyRule.h"

#include "platform/AsciiText.h"
#include "table/TxtTable.h"

#include <unordered_map>

std::vector<CProblem> CUniqueKeyRule::Check(const TableLookup& mod, const TableLookup&) const {
    const std::string missing = FirstMissing(mod, m_fileNames);
    if (!missing.empty())
        return {CannotRun(missing, "repeated " + m_keyName + "s")};
    struct Place {
        const std::string* fileName;
        int32_t row;
    };
    std::unordered_map<std::string, Place> first; // by upper-cased key
    std::vector<CProblem> problems;
    for (const std::string& fileName : m_fileNames) {
        const CTxtTable& table = *mod(fileName);
        const int32_t col = table.FindColumn(m_header, 0);
        if (col < 0)
            continue;
        for (int32_t row = 1; row < table.Rows(); ++row) {
            const std::string_view key = table.CellView(col, row);
            if (key.empty() || !IsReadRow(table, row))
                continue;
            const auto [known, added] = first.emplace(AsciiUpperCopy(key), Place{&fileName, row});
            if (!added)
                problems.push_back(ProblemAt(fileName, table, col, row,
                                             "another row has the " + m_keyName + " " +
                                                 Quoted(key) + " too (" + *known->second.fileName +
                                                 ", row " + std::to_string(known->second.row) +
                                                 ")."));
        }
    }
    return problems;
}
