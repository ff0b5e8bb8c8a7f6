// The problem rules over a generated mod of 60 tables and about 5 MB, shaped like the game's
// 1.13c tables (monsters, areas, items, unique items, treasure classes, properties, skills and
// 48 other tables), against a baseline in the same run, as medians:
//  - baseline: every cell of every table read once, the least a check of all must do;
//  - every rule over every table, as after opening a mod;
//  - re-checking after one cell of the monster table changed (the table most rules read).
#include "check/ProblemChecker.h"
#include "platform/AsciiText.h"
#include "table/TxtTable.h"

#include "MedianReporter.h"
#include "TableText.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

// A table whose header is `named` followed by "colN" columns up to `columns`, and `rows` rows
// whose cells come from `cell(row, col)`.
template <typename Cell>
std::string MakeTable(const std::vector<std::string>& named, int columns, int rows, Cell cell) {
    std::string text;
    for (int col = 0; col < columns; ++col)
        text += (col ? "\t" : "") +
                (col < static_cast<int>(named.size()) ? named[col] : "col" + std::to_string(col));
    text += "\r\n";
    for (int row = 1; row <= rows; ++row) {
        for (int col = 0; col < columns; ++col)
            text += (col ? "\t" : "") + cell(row, col);
        text += "\r\n";
    }
    return text;
}

std::string Number(int row, int col) {
    return std::to_string((row * 31 + col * 17) % 200);
}

struct Mod {
    Mod() {
        const int monsters = 735, items = 300, classes = 850;
        Put("monstats.txt",
            MakeTable({"Id", "hcIdx", "NameStr", "A1TH", "TreasureClass1", "TreasureClass2"}, 255,
                      monsters, [](int row, int col) {
                          if (col == 0)
                              return "monster" + std::to_string(row);
                          if (col == 2)
                              return std::string("Name");
                          if (col == 4 || col == 5)
                              return "class" + std::to_string(row % 850 + 1);
                          return Number(row, col);
                      }));
        std::vector<std::string> levelHeaders = {"Name", "LevelName"};
        for (const char* group : {"mon", "nmon", "umon"})
            for (int n = 1; n <= 10; ++n)
                levelHeaders.push_back(group + std::to_string(n));
        Put("Levels.txt", MakeTable(levelHeaders, 140, 150, [](int row, int col) {
                if (col < 2)
                    return "Area " + std::to_string(row);
                if (col < 32)
                    return "monster" + std::to_string((row * 7 + col) % monsters + 1);
                return Number(row, col);
            }));
        for (const char* table : {"Armor.txt", "Weapons.txt", "Misc.txt"})
            Put(table, MakeTable({"name", "code", "level"}, 160, items, [table](int row, int col) {
                    if (col < 2)
                        return table[0] + std::to_string(row);
                    return Number(row, col);
                }));
        Put("Properties.txt", MakeTable({"code", "func1"}, 34, 270, [](int row, int col) {
                return col == 0 ? "prop" + std::to_string(row) : std::to_string(row % 23);
            }));
        Put("Skills.txt", MakeTable({"skill", "Id"}, 256, 357, [](int row, int col) {
                return col == 0   ? "Skill " + std::to_string(row)
                       : col == 1 ? std::to_string(row - 1)
                                  : Number(row, col);
            }));
        std::vector<std::string> uniqueHeaders = {"index", "enabled", "code"};
        for (int n = 1; n <= 12; ++n)
            for (const char* part : {"prop", "par", "min", "max"})
                uniqueHeaders.push_back(part + std::to_string(n));
        Put("UniqueItems.txt", MakeTable(uniqueHeaders, 70, 400, [](int row, int col) {
                if (col == 0)
                    return "Unique " + std::to_string(row);
                if (col == 1)
                    return std::string("1");
                if (col == 2)
                    return "A" + std::to_string(row % items + 1);
                if (col < 51 && (col - 3) % 4 == 0)
                    return "prop" + std::to_string((row + col) % 270 + 1);
                if (col < 51 && (col - 3) % 4 == 1)
                    return std::to_string((row + col) % 357);
                return Number(row, col);
            }));
        Put("SetItems.txt", MakeTable({"index", "item"}, 100, 130, [](int row, int col) {
                return col == 0 ? "Set item " + std::to_string(row) : Number(row, col);
            }));
        Put("ItemTypes.txt",
            MakeTable({"ItemType", "Code", "TreasureClass"}, 40, 110, [](int row, int col) {
                return col < 2 ? "type" + std::to_string(row) : std::to_string(row % 2);
            }));
        std::vector<std::string> classHeaders = {"Treasure Class", "Picks"};
        for (int n = 1; n <= 10; ++n) {
            classHeaders.push_back("Item" + std::to_string(n));
            classHeaders.push_back("Prob" + std::to_string(n));
        }
        Put("TreasureClassEx.txt", MakeTable(classHeaders, 33, classes, [](int row, int col) {
                if (col == 0)
                    return "class" + std::to_string(row);
                if (col >= 2 && col < 22 && col % 2 == 0)
                    return row % 3 == 0   ? "A" + std::to_string((row + col) % items + 1)
                           : row % 3 == 1 ? "Unique " + std::to_string((row + col) % 400 + 1)
                                          : "class" + std::to_string((row + col) % 850 + 1);
                return Number(row, col);
            }));
        for (int n = 0; static_cast<int>(tables.size()) < 60; ++n)
            Put("Other" + std::to_string(n) + ".txt", bench::MakeTableText(300, 60));
    }
    void Put(const std::string& fileName, const std::string& text) {
        names.push_back(fileName);
        bytes += text.size();
        tables[AsciiUpperCopy(fileName)].LoadFromBytes(text);
        game[AsciiUpperCopy(fileName)].LoadFromBytes(text);
    }
    TableLookup Lookup(std::map<std::string, CTxtTable>& of) {
        return [&of](const std::string& fileName) -> const CTxtTable* {
            auto found = of.find(AsciiUpperCopy(fileName));
            return found == of.end() ? nullptr : &found->second;
        };
    }
    std::vector<std::string> names;
    std::map<std::string, CTxtTable> tables, game;
    size_t bytes = 0;
};

Mod& TheMod() {
    static Mod mod;
    return mod;
}

void BM_ReadEveryCellBaseline(benchmark::State& state) {
    Mod& mod = TheMod();
    for (auto _ : state) {
        size_t length = 0;
        for (const auto& [name, table] : mod.tables)
            for (int32_t row = 0; row < table.Rows(); ++row)
                for (int32_t col = 0; col < table.Columns(); ++col)
                    length += table.CellView(col, row).size();
        benchmark::DoNotOptimize(length);
    }
}

void BM_CheckAll(benchmark::State& state) {
    Mod& mod = TheMod();
    size_t found = 0;
    for (auto _ : state) {
        CProblemChecker checker(mod.names, mod.Lookup(mod.tables), mod.Lookup(mod.game));
        checker.Update();
        found = checker.Count();
    }
    if (found != 0)
        state.SkipWithError("the generated mod should have no problems");
}

void BM_RecheckOneCell(benchmark::State& state) {
    Mod& mod = TheMod();
    CProblemChecker checker(mod.names, mod.Lookup(mod.tables), mod.Lookup(mod.game));
    checker.Update();
    CTxtTable& monsters = mod.tables.at("MONSTATS.TXT");
    const int32_t col = monsters.FindColumn("TreasureClass1", 0);
    bool broken = false;
    for (auto _ : state) {
        broken = !broken;
        monsters.SetCell(col, 5, broken ? "no such class" : "class6");
        checker.TableChanged("monstats.txt");
        checker.Update();
    }
    if (checker.Count() != (broken ? 1u : 0u))
        state.SkipWithError("the re-check did not follow the edit");
}

} // namespace

BENCHMARK(BM_ReadEveryCellBaseline)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(BM_CheckAll)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_RecheckOneCell)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

int main(int argc, char** argv) {
    std::printf("generated mod: %zu tables, %.1f MB\n", TheMod().names.size(),
                static_cast<double>(TheMod().bytes) / 1e6);
    bench::CMedianReporter reporter;
    if (!bench::RunAll(argc, argv, reporter))
        return 1;
    reporter.PrintRatio("all checks / baseline", "BM_CheckAll", "BM_ReadEveryCellBaseline");
    std::printf("all checks %.2f ms (target 100), one cell re-checked %.2f ms (target 10)\n",
                reporter.MedianMs("BM_CheckAll"), reporter.MedianMs("BM_RecheckOneCell"));
    return 0;
}
