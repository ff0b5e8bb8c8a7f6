// Find in all tables over a game's worth of tables (60 tables, about 5 MB, the size of 1.13c's),
// against a baseline in the same run, as a ratio of medians: memmem over the same bytes, the least
// any substring search must read. Target: under 200 ms for any find.
#include "model/AllTablesFind.h"
#include "table/TxtTable.h"

#include "MedianReporter.h"
#include "TableText.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kTables = 60;

struct Game {
    Game() {
        // Tables of many shapes, from a few rows to one as wide and long as the monster table.
        for (int i = 0; i < kTables; ++i) {
            const int rows = i == 0 ? 735 : 20 + (i * 37) % 600;
            const int columns = i == 0 ? 255 : 10 + (i * 53) % 120;
            texts.push_back(bench::MakeTableText(rows, columns));
            tables.push_back(std::make_unique<CTxtTable>());
            tables.back()->LoadFromBytes(texts.back());
            named.push_back({"table" + std::to_string(i) + ".txt", tables.back().get()});
            bytes += texts.back().size();
        }
    }
    static const Game& Get() {
        static const Game game;
        return game;
    }
    std::vector<std::string> texts;
    std::vector<std::unique_ptr<CTxtTable>> tables;
    std::vector<NamedTable> named;
    size_t bytes = 0;
};

// The finds: a row name (few matches), a number everywhere (hundreds of thousands of matches).
const char* const kTexts[] = {"onster12", "1"};

void BM_MemmemBaseline(benchmark::State& state) {
    const Game& game = Game::Get();
    const std::string text = kTexts[state.range(0)];
    for (auto _ : state) {
        size_t found = 0;
        for (const std::string& bytes : game.texts)
            for (const char *at = bytes.data(), *end = at + bytes.size();
                 (at = static_cast<const char*>(
                      memmem(at, static_cast<size_t>(end - at), text.data(), text.size())));
                 ++at)
                ++found;
        benchmark::DoNotOptimize(found);
    }
}

void BM_FindInAllTables(benchmark::State& state) {
    const Game& game = Game::Get();
    const QString text = kTexts[state.range(0)];
    const FindOptions options{.wholeCell = state.range(1) == 1, .matchCase = state.range(2) == 1};
    size_t found = 0;
    for (auto _ : state)
        found = FindInAllTables(game.named, text, options).size();
    state.counters["matches"] = static_cast<double>(found);
}

void Shapes(benchmark::internal::Benchmark* run) {
    run->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
}

} // namespace

BENCHMARK(BM_MemmemBaseline)->Arg(0)->Arg(1)->Apply(Shapes);
// Arguments: the text, whole cell, match case.
BENCHMARK(BM_FindInAllTables)
    ->Args({0, 0, 0})
    ->Args({0, 0, 1})
    ->Args({0, 1, 0})
    ->Args({1, 0, 0})
    ->Args({1, 1, 1})
    ->Apply(Shapes);

int main(int argc, char** argv) {
    bench::CMedianReporter reporter;
    if (!bench::RunAll(argc, argv, reporter))
        return 1;
    std::printf("%d tables, %.1f MB\n", kTables, static_cast<double>(Game::Get().bytes) / 1e6);
    reporter.PrintRatio("row name, ignoring case / memmem", "BM_FindInAllTables/0/0/0",
                        "BM_MemmemBaseline/0");
    reporter.PrintRatio("row name, match case / memmem", "BM_FindInAllTables/0/0/1",
                        "BM_MemmemBaseline/0");
    reporter.PrintRatio("a number everywhere / memmem", "BM_FindInAllTables/1/0/0",
                        "BM_MemmemBaseline/1");
    std::printf("slowest find %.1f ms (target 200)\n",
                std::max({reporter.MedianMs("BM_FindInAllTables/0/0/0"),
                          reporter.MedianMs("BM_FindInAllTables/0/0/1"),
                          reporter.MedianMs("BM_FindInAllTables/0/1/0"),
                          reporter.MedianMs("BM_FindInAllTables/1/0/0"),
                          reporter.MedianMs("BM_FindInAllTables/1/1/1")}));
    return 0;
}
