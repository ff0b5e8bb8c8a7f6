#include "editors/ModFuncs.h"

#include "platform/AsciiText.h"
#include "table/TxtTable.h"

// --- Monster editor ---

bool CModFuncs::GetMonsterNames(std::vector<std::string>& names, const CTxtTable& table,
                                std::vector<int32_t>* rows) const {
    const int32_t nameCol = table.FindColumn("namco", 0);
    const int32_t classCol = table.FindColumn("Class", 0);
    if (nameCol < 0 || classCol < 0)
        return false;
    for (int32_t row = 1; row < table.Rows(); ++row) {
        std::string_view name = table.CellView(nameCol, row);
        std::string_view monsterClass = table.CellView(classCol, row);
        if (name.empty() || monsterClass.empty() || name == "Null" || monsterClass == "unused" ||
            EqualsIgnoringAsciiCase(monsterClass, "dummy"))
            continue;
        names.emplace_back(name);
        if (rows)
            rows->push_back(row);
    }
    return true;
}

bool CModFuncs::ReadMonsterRecord(int32_t row, MonsterRecord& record,
                                  const CTxtTable& table) const {
    for (size_t k = 0; k < MonsterRecord::kFieldCount; ++k)
        record.fields[k] = table.GetCell(table.FindColumn(kMonsterRecordHeaders[k], 0), row);
    return true;
}

bool CModFuncs::WriteMonsterRecord(int32_t row, const MonsterRecord& record,
                                   CTxtTable& table) const {
    if (row >= table.Rows())
        return false;
    for (size_t k = 0; k < MonsterRecord::kFieldCount; ++k)
        table.SetCell(table.FindColumn(kMonsterRecordHeaders[k], 0), row, record.fields[k]);
    return true;
}
