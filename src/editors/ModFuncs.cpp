#include "editors/ModFuncs.h"

#include "graphics/PictureFiles.h"
#include "platform/AsciiText.h"
#include "table/TxtTable.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <limits>
#include <optional>

// --- Monster editor ---

namespace {

bool GetMonsterNamesV110(std::vector<std::string>& names, const CTxtTable& table,
                         std::vector<int32_t>* rows) {
    const MonsterKeyHeaders headers = MonsterKeyHeaders::For(TableLayout::V110);
    const int32_t idCol = table.FindColumn(headers.key, 0);
    const int32_t nameCol = table.FindColumn(headers.name, 0);
    if (idCol < 0 || nameCol < 0)
        return false;
    for (int32_t row = 1; row < table.Rows(); ++row) {
        const std::string_view id = table.CellView(idCol, row);
        const std::string_view name = table.CellView(nameCol, row);
        // The separator row has no name of its own.
        if (EqualsIgnoringAsciiCase(id, "Expansion")) {
            names.emplace_back("Expansion");
        } else {
            if (id.empty() || id == "Null" || name.empty() ||
                EqualsIgnoringAsciiCase(name, "dummy") || EqualsIgnoringAsciiCase(name, "unused"))
                continue;
            names.push_back(std::string(id) + " (" + std::string(name) + ")");
        }
        if (rows)
            rows->push_back(row);
    }
    return true;
}

} // namespace

bool CModFuncs::GetMonsterNames(std::vector<std::string>& names, const CTxtTable& table,
                                std::vector<int32_t>* rows, TableLayout layout) const {
    if (HasColumnsOf110(layout))
        return GetMonsterNamesV110(names, table, rows);
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

bool CModFuncs::ReadMonsterRecord(int32_t row, MonsterRecord& record, const CTxtTable& table,
                                  TableLayout layout) const {
    const auto& headers = MonsterRecordHeaders(layout);
    for (size_t k = 0; k < MonsterRecord::kFieldCount; ++k)
        record.fields[k] = table.GetCell(table.FindColumn(headers[k], 0), row);
    return true;
}

RecordWrite CModFuncs::WriteMonsterRecord(int32_t row, const MonsterRecord& record,
                                          CTxtTable& table, TableLayout layout) const {
    if (row >= table.Rows())
        return RecordWrite::RowMissing();
    const auto& headers = MonsterRecordHeaders(layout);
    // "NameStr" names a line of the game's string table: anything else written there would
    // break the name the game shows.
    const size_t first = HasColumnsOf110(layout) ? MonsterRecord::Spawned : MonsterRecord::Class;
    std::vector<RecordWrite::Cell> cells;
    for (size_t k = first; k < MonsterRecord::kFieldCount; ++k)
        cells.push_back({table.FindColumn(headers[k], 0), row, record.fields[k]});
    return RecordWrite::Cells(table, cells);
}

// --- Global settings ---

namespace {

// The columns the global settings change, by role: the one place that names them.
struct GlobalColumns {
    // monstats
    static constexpr std::array<const char*, 1> kAutoMap = {"NoMap"};
    static constexpr std::array<const char*, 6> kHitPoints = {"MinHP", "MinHP(N)", "MinHP(H)",
                                                              "MaxHP", "MaxHP(N)", "MaxHP(H)"};
    static constexpr std::array<const char*, 3> kExperience = {"Exp", "Exp(N)", "Exp(H)"};
    static constexpr std::array<const char*, 1> kBlock = {"ToBlock"};
    static constexpr std::array<const char*, 3> kBlockV110 = {"ToBlock", "ToBlock(N)",
                                                              "ToBlock(H)"};
    static constexpr std::array<const char*, 6> kDamage = {"A1MinD",    "A1MaxD",    "A1MinD(N)",
                                                           "A1MaxD(N)", "A1MinD(H)", "A1MaxD(H)"};
    static constexpr std::array<const char*, 2> kGroups = {"MinGrp", "MaxGrp"};
    // MonItemPercent
    static constexpr std::array<const char*, 1> kDropPercent = {"TreasureClassPercent"};
    // TreasureClassEx
    static constexpr std::array<const char*, 1> kNoDrop = {"NoDrop"};
};

constexpr int32_t kInt32Max = std::numeric_limits<int32_t>::max();
constexpr double kNoCap = std::numeric_limits<double>::max();

// Every column of `headers`, or nothing when one is missing: an operation changes all of its
// columns or none.
template <size_t N>
std::optional<std::array<int32_t, N>> FindAll(const CTxtTable& table,
                                              const std::array<const char*, N>& headers) {
    std::array<int32_t, N> columns{};
    for (size_t i = 0; i < N; ++i) {
        columns[i] = table.FindColumn(headers[i], 0);
        if (columns[i] < 0)
            return std::nullopt;
    }
    return columns;
}

} // namespace

double CModFuncs::DropFactor(int32_t multiplier) {
    // The constant is the double nearest 2/3, so that F(2) is 1.6666666666666665.
    return static_cast<double>(multiplier - int64_t{1}) * 0.6666666666666666 + 1;
}

std::vector<std::string> CModFuncs::GlobalMonStatsHeaders(TableLayout layout) {
    std::vector<std::string> headers;
    auto add = [&headers](const auto& columns) {
        headers.insert(headers.end(), columns.begin(), columns.end());
    };
    if (!HasColumnsOf110(layout))
        add(GlobalColumns::kAutoMap);
    add(GlobalColumns::kHitPoints);
    add(GlobalColumns::kExperience);
    if (HasColumnsOf110(layout))
        add(GlobalColumns::kBlockV110);
    else
        add(GlobalColumns::kBlock);
    add(GlobalColumns::kDamage);
    add(GlobalColumns::kGroups);
    return headers;
}

bool CModFuncs::ApplyAutoMap(int32_t value, CTxtTable& monStats) const {
    auto columns = FindAll(monStats, GlobalColumns::kAutoMap);
    if (!columns)
        return false;
    for (int32_t row = 1; row < monStats.Rows(); ++row)
        monStats.SetCellInt((*columns)[0], row, value);
    return true;
}

bool CModFuncs::ApplyHealthMultiplier(int32_t multiplier, CTxtTable& monStats) const {
    auto columns = FindAll(monStats, GlobalColumns::kHitPoints);
    if (!columns)
        return false;
    if (multiplier == 1)
        return true;
    for (int32_t col : *columns)
        monStats.MultiplyColumn(col, multiplier, kInt32Max);
    return true;
}

bool CModFuncs::ApplyExperience(int32_t multiplier, CTxtTable& monStats) const {
    auto columns = FindAll(monStats, GlobalColumns::kExperience);
    if (!columns)
        return false;
    if (multiplier == 1)
        return true;
    for (int32_t col : *columns)
        monStats.ScaleColumn(col, DropFactor(multiplier), kNoCap);
    return true;
}

bool CModFuncs::ApplyDropRate(int32_t multiplier, CTxtTable& table, bool compiled) const {
    auto columns = FindAll(table, compiled ? GlobalColumns::kNoDrop : GlobalColumns::kDropPercent);
    if (!columns)
        return false;
    if (multiplier == 1)
        return true;
    if (compiled)
        table.DivideColumn((*columns)[0], DropFactor(multiplier), 5.0);
    else
        table.ScaleColumn((*columns)[0], DropFactor(multiplier), 95.0);
    return true;
}

bool CModFuncs::ApplyBlockBetter(int32_t amount, CTxtTable& monStats, TableLayout layout) const {
    if (HasColumnsOf110(layout)) {
        // Every difficulty has its own block chance there: all of them rise, or none.
        auto columns = FindAll(monStats, GlobalColumns::kBlockV110);
        if (!columns)
            return false;
        if (amount == 0)
            return true;
        for (int32_t col : *columns)
            monStats.AddToColumn(col, amount, 75);
        return true;
    }
    auto columns = FindAll(monStats, GlobalColumns::kBlock);
    if (!columns)
        return false;
    if (amount == 0)
        return true;
    monStats.AddToColumn((*columns)[0], amount, 75);
    return true;
}

bool CModFuncs::ApplyHitHarder(int32_t percent, CTxtTable& monStats) const {
    auto columns = FindAll(monStats, GlobalColumns::kDamage);
    if (!columns)
        return false;
    if (percent == 0 || percent == 1)
        return true;
    const double factor = 1 + static_cast<double>(percent) / 100;
    for (int32_t col : *columns)
        monStats.ScaleColumn(col, factor, kNoCap);
    return true;
}

bool CModFuncs::ApplyLargerGroups(int32_t amount, CTxtTable& monStats) const {
    auto columns = FindAll(monStats, GlobalColumns::kGroups);
    if (!columns)
        return false;
    if (amount == 0)
        return true;
    for (int32_t col : *columns)
        monStats.AddToColumn(col, amount, kInt32Max, 1);
    return true;
}

// --- Difficulty and penalties ---

bool CModFuncs::ReadDifficultyRecord(DifficultyRecord& record, const CTxtTable& table) const {
    for (size_t c = 0; c < DifficultyRecord::kColumnCount; ++c) {
        const int32_t col = table.FindColumn(kDifficultyHeaders[c], 0);
        for (size_t d = 0; d < DifficultyRecord::kDifficultyCount; ++d)
            record.fields[DifficultyRecord::Field(c, d)] =
                table.GetCell(col, static_cast<int32_t>(d) + 1);
    }
    return true;
}

RecordWrite CModFuncs::WriteDifficultyRecord(const DifficultyRecord& record,
                                             CTxtTable& table) const {
    std::vector<RecordWrite::Cell> cells;
    for (size_t c = 0; c < DifficultyRecord::kColumnCount; ++c) {
        const int32_t col = table.FindColumn(kDifficultyHeaders[c], 0);
        for (size_t d = 0; d < DifficultyRecord::kDifficultyCount; ++d)
            cells.push_back(
                {col, static_cast<int32_t>(d) + 1, record.fields[DifficultyRecord::Field(c, d)]});
    }
    return RecordWrite::Cells(table, cells);
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

bool CModFuncs::MonsterIdToName(std::string_view id, std::string& name, int32_t& row,
                                const CTxtTable& monsters) const {
    const MonsterKeyHeaders headers = MonsterKeyHeaders::For(TableLayout::V110);
    const int32_t idCol = monsters.FindColumn(headers.key, 0);
    row = monsters.FindRow(std::string(id), idCol);
    // Row 0 holds the headers, not a monster.
    if (row <= 0) {
        row = -1;
        name = id;
        return true;
    }
    const std::string_view nameStr = monsters.CellView(monsters.FindColumn(headers.name, 0), row);
    if (EqualsIgnoringAsciiCase(nameStr, "dummy") || EqualsIgnoringAsciiCase(nameStr, "unused"))
        return false;
    // The table's own spelling, so that the entry reads as in the monster list.
    const std::string_view tableId = monsters.CellView(idCol, row);
    name = nameStr.empty() ? std::string(tableId)
                           : std::string(tableId) + " (" + std::string(nameStr) + ")";
    return true;
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

// --- Unique items ---

namespace {

int32_t UniqueRandomDropColumn(const CTxtTable& table) {
    for (const char* header : UniqueItemsHeaders::kRandomDrop)
        if (const int32_t col = table.FindColumn(header, 0); col >= 0)
            return col;
    return -1;
}

std::optional<std::string> CellIfColumn(const CTxtTable& table, int32_t col, int32_t row) {
    if (col < 0)
        return std::nullopt;
    return table.GetCell(col, row);
}

} // namespace

bool CModFuncs::ReadUniqueRecord(int32_t row, UniqueItemRecord& record, const CTxtTable& table,
                                 TableLayout layout) const {
    if (row >= table.Rows())
        return false;
    using H = UniqueItemsHeaders;
    record = UniqueItemRecord();
    const size_t count = H::Properties(layout);
    for (size_t k = 0; k < count; ++k)
        record.codes[k] = table.GetCell(table.FindColumn(H::Code(k, layout), 0), row);
    // The older layout's parameter columns are not the editor's: never looked up.
    if (HasColumnsOf110(layout))
        for (size_t k = 0; k < count; ++k)
            record.parameters[k] = table.GetCell(table.FindColumn(H::Param(k, layout), 0), row);
    for (size_t k = 0; k < count; ++k)
        record.minimums[k] = table.GetCell(table.FindColumn(H::Min(k, layout), 0), row);
    for (size_t k = 0; k < count; ++k)
        record.maximums[k] = table.GetCell(table.FindColumn(H::Max(k, layout), 0), row);
    if (layout == TableLayout::D2R) {
        record.firstLadderSeason = table.GetCell(table.FindColumn(H::kFirstLadderSeason, 0), row);
        record.lastLadderSeason = table.GetCell(table.FindColumn(H::kLastLadderSeason, 0), row);
        record.randomDrop = CellIfColumn(table, UniqueRandomDropColumn(table), row);
        record.disabled = CellIfColumn(table, table.FindColumn(H::kDisabled, 0), row);
    }
    return true;
}

RecordWrite CModFuncs::WriteUniqueRecord(int32_t row, const UniqueItemRecord& record,
                                         CTxtTable& table, TableLayout layout) const {
    if (row >= table.Rows())
        return RecordWrite::RowMissing();
    using H = UniqueItemsHeaders;
    const size_t count = H::Properties(layout);
    std::vector<RecordWrite::Cell> cells;
    auto add = [&](const std::string& header, const std::string& text) {
        cells.push_back({table.FindColumn(header, 0), row, text});
    };
    for (size_t k = 0; k < count; ++k)
        add(H::Code(k, layout), record.codes[k]);
    if (HasColumnsOf110(layout))
        for (size_t k = 0; k < count; ++k)
            add(H::Param(k, layout), record.parameters[k]);
    for (size_t k = 0; k < count; ++k)
        add(H::Min(k, layout), record.minimums[k]);
    for (size_t k = 0; k < count; ++k)
        add(H::Max(k, layout), record.maximums[k]);
    if (layout == TableLayout::D2R) {
        add(H::kFirstLadderSeason, record.firstLadderSeason);
        add(H::kLastLadderSeason, record.lastLadderSeason);
        if (record.randomDrop)
            cells.push_back({UniqueRandomDropColumn(table), row, *record.randomDrop});
        if (record.disabled)
            add(H::kDisabled, *record.disabled);
    }
    return RecordWrite::Cells(table, cells);
}

// --- Armour and weapon editors ---

namespace {

int32_t WeaponColumn(size_t field, const CTxtTable& table) {
    if (field == WeaponRecord::Speed) {
        const int32_t col = table.FindColumn(WeaponHeaders::kSpeedFirst, 0);
        if (col >= 0)
            return col;
    }
    return table.FindColumn(WeaponHeaders::kFields[field], 0);
}

} // namespace

bool CModFuncs::ReadArmourRecord(int32_t row, ArmourRecord& record, const CTxtTable& table) const {
    if (row >= table.Rows())
        return false;
    for (size_t k = 0; k < ArmourRecord::kFieldCount; ++k)
        record.fields[k] = table.GetCell(table.FindColumn(ArmourHeaders::kFields[k], 0), row);
    return true;
}

RecordWrite CModFuncs::WriteArmourRecord(int32_t row, const ArmourRecord& record,
                                         CTxtTable& table) const {
    if (row >= table.Rows())
        return RecordWrite::RowMissing();
    std::vector<RecordWrite::Cell> cells;
    for (size_t k = 0; k < ArmourRecord::kFieldCount; ++k)
        cells.push_back({table.FindColumn(ArmourHeaders::kFields[k], 0), row, record.fields[k]});
    // "0" alone means no sockets; anything else may hold gems, which needs "hasinv".
    if (record.fields[ArmourRecord::GemSockets] != "0")
        cells.push_back({table.FindColumn(ArmourHeaders::kHasInv, 0), row, "1"});
    return RecordWrite::Cells(table, cells);
}

bool CModFuncs::ReadWeaponRecord(int32_t row, WeaponRecord& record, const CTxtTable& table) const {
    if (row >= table.Rows())
        return false;
    for (size_t k = 0; k < WeaponRecord::kFieldCount; ++k)
        record.fields[k] = table.GetCell(WeaponColumn(k, table), row);
    return true;
}

RecordWrite CModFuncs::WriteWeaponRecord(int32_t row, const WeaponRecord& record,
                                         CTxtTable& table) const {
    if (row >= table.Rows())
        return RecordWrite::RowMissing();
    std::vector<RecordWrite::Cell> cells;
    for (size_t k = 0; k < WeaponRecord::kFieldCount; ++k)
        cells.push_back({WeaponColumn(k, table), row, record.fields[k]});
    return RecordWrite::Cells(table, cells);
}

bool CModFuncs::CheckPcxSize(int32_t cellsWide, int32_t cellsHigh, const std::string& path) const {
    const PcxSize size = GetPcxSize(path);
    return size.width / 28 == cellsWide && size.height / 28 == cellsHigh;
}
