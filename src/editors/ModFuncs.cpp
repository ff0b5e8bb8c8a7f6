#include "editors/ModFuncs.h"

#include "platform/AsciiText.h"
#include "table/TxtTable.h"

#include <array>
#include <limits>
#include <optional>

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

bool CModFuncs::ApplyBlockBetter(int32_t amount, CTxtTable& monStats) const {
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
        monStats.AddToColumn(col, amount, kInt32Max);
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

bool CModFuncs::WriteDifficultyRecord(const DifficultyRecord& record, CTxtTable& table) const {
    for (size_t c = 0; c < DifficultyRecord::kColumnCount; ++c) {
        const int32_t col = table.FindColumn(kDifficultyHeaders[c], 0);
        for (size_t d = 0; d < DifficultyRecord::kDifficultyCount; ++d)
            table.SetCell(col, static_cast<int32_t>(d) + 1,
                          record.fields[DifficultyRecord::Field(c, d)]);
    }
    return true;
}
