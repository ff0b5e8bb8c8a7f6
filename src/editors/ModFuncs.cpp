#include "editors/ModFuncs.h"

#include "platform/AsciiText.h"
#include "table/TxtTable.h"

#include <algorithm>
#include <climits>
#include <cstdint>

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

// --- Monster area locations ---

namespace {

bool IsAreaRow(int32_t area, const CTxtTable& levels) {
    return area > 0 && area < levels.Rows();
}

// The first slot and the count column of one kind of slot; -1 when missing.
struct SlotColumns {
    int32_t first;
    int32_t count;
};

SlotColumns FindSlots(const CTxtTable& levels, const char* first, const char* count) {
    return {levels.FindColumn(first, 0), levels.FindColumn(count, 0)};
}

// The number of slots in use, held to the slots there are: a count beyond them would read
// other columns as monsters.
int32_t UsedSlots(const CTxtTable& levels, SlotColumns slots, int32_t area) {
    const int32_t count = LeadingInteger(levels.CellView(slots.count, area));
    return std::clamp(count, 0, CModFuncs::kAreaSlots);
}

bool ReadSlots(int32_t area, std::vector<std::string>& rows, const CTxtTable& levels,
               SlotColumns slots) {
    if (!IsAreaRow(area, levels) || slots.first < 0 || slots.count < 0)
        return false;
    rows.clear();
    const int32_t used = UsedSlots(levels, slots, area);
    for (int32_t i = 0; i < used; ++i)
        rows.push_back(std::to_string(
            static_cast<int64_t>(LeadingInteger(levels.CellView(slots.first + i, area))) + 1));
    return true;
}

bool WriteSlots(int32_t area, const std::vector<std::string>& rows, CTxtTable& levels,
                SlotColumns slots) {
    if (!IsAreaRow(area, levels) || slots.first < 0 || slots.count < 0 ||
        rows.size() > static_cast<size_t>(CModFuncs::kAreaSlots) ||
        static_cast<size_t>(slots.first) + rows.size() > static_cast<size_t>(levels.Columns()))
        return false;
    for (int32_t i = 0; i < CModFuncs::kAreaSlots; ++i)
        levels.SetCell(slots.first + i, area, "0");
    levels.SetCell(slots.count, area, std::to_string(rows.size()));
    for (size_t i = 0; i < rows.size(); ++i)
        levels.SetCell(slots.first + static_cast<int32_t>(i), area,
                       std::to_string(static_cast<int64_t>(LeadingInteger(rows[i])) - 1));
    return true;
}

int32_t ReadBossCount(int32_t area, const CTxtTable& levels, const char* header) {
    const int32_t col = levels.FindColumn(header, 0);
    if (!IsAreaRow(area, levels) || col < 0)
        return -1;
    return LeadingInteger(levels.CellView(col, area));
}

bool WriteBossCount(const std::string& text, int32_t area, CTxtTable& levels, const char* header) {
    const int32_t col = levels.FindColumn(header, 0);
    if (!IsAreaRow(area, levels) || col < 0)
        return false;
    return levels.SetCell(col, area, text);
}

} // namespace

bool CModFuncs::GetAreaMonsters(int32_t area, std::vector<std::string>& rows,
                                const CTxtTable& levels) const {
    return ReadSlots(area, rows, levels,
                     FindSlots(levels, LevelsHeaders::kFirstMonster, LevelsHeaders::kMonsterCount));
}

bool CModFuncs::GetAreaBosses(int32_t area, std::vector<std::string>& rows,
                              const CTxtTable& levels) const {
    return ReadSlots(area, rows, levels,
                     FindSlots(levels, LevelsHeaders::kFirstBoss, LevelsHeaders::kBossCount));
}

bool CModFuncs::SetAreaMonsters(int32_t area, const std::vector<std::string>& rows,
                                CTxtTable& levels) const {
    return WriteSlots(
        area, rows, levels,
        FindSlots(levels, LevelsHeaders::kFirstMonster, LevelsHeaders::kMonsterCount));
}

bool CModFuncs::SetAreaBosses(int32_t area, const std::vector<std::string>& rows,
                              CTxtTable& levels) const {
    return WriteSlots(area, rows, levels,
                      FindSlots(levels, LevelsHeaders::kFirstBoss, LevelsHeaders::kBossCount));
}

int32_t CModFuncs::GetMinBosses(int32_t area, const CTxtTable& levels) const {
    return ReadBossCount(area, levels, LevelsHeaders::kMinBosses);
}

int32_t CModFuncs::GetMaxBosses(int32_t area, const CTxtTable& levels) const {
    return ReadBossCount(area, levels, LevelsHeaders::kMaxBosses);
}

bool CModFuncs::SetMinBosses(const std::string& text, int32_t area, CTxtTable& levels) const {
    return WriteBossCount(text, area, levels, LevelsHeaders::kMinBosses);
}

bool CModFuncs::SetMaxBosses(const std::string& text, int32_t area, CTxtTable& levels) const {
    return WriteBossCount(text, area, levels, LevelsHeaders::kMaxBosses);
}

bool CModFuncs::GetUsedMonsterRows(std::vector<std::string>& rows, const CTxtTable& levels) const {
    const SlotColumns monsters =
        FindSlots(levels, LevelsHeaders::kFirstMonster, LevelsHeaders::kMonsterCount);
    if (monsters.first < 0 || monsters.count < 0)
        return false;
    const SlotColumns bosses =
        FindSlots(levels, LevelsHeaders::kFirstBoss, LevelsHeaders::kBossCount);
    std::vector<std::string> area;
    for (int32_t row = 1; row < levels.Rows(); ++row) {
        if (ReadSlots(row, area, levels, monsters))
            rows.insert(rows.end(), area.begin(), area.end());
        if (ReadSlots(row, area, levels, bosses))
            rows.insert(rows.end(), area.begin(), area.end());
    }
    return true;
}

void CModFuncs::RowsToNames(const std::vector<std::string>& rows, std::vector<std::string>& names,
                            const CTxtTable& monsters) const {
    names.clear();
    const int32_t classCol = monsters.FindColumn("Class", 0);
    const int32_t nameCol = monsters.FindColumn("namco", 0);
    for (const std::string& text : rows) {
        const int32_t row = LeadingInteger(text);
        const std::string_view monsterClass = monsters.CellView(classCol, row);
        if (EqualsIgnoringAsciiCase(monsterClass, "dummy") ||
            EqualsIgnoringAsciiCase(monsterClass, "unused"))
            continue;
        names.emplace_back(monsters.CellView(nameCol, row));
    }
}

bool IsRowInList(int32_t row, const std::vector<std::string>& list) {
    return std::find(list.begin(), list.end(), std::to_string(row)) != list.end();
}

int32_t LeadingInteger(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && (text[at] == ' ' || (text[at] >= '\t' && text[at] <= '\r')))
        ++at;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    int64_t value = 0;
    for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
        value = std::min<int64_t>(value * 10 + (text[at] - '0'), int64_t{1} << 32);
    value = negative ? -value : value;
    return static_cast<int32_t>(std::clamp<int64_t>(value, INT32_MIN, INT32_MAX));
}
