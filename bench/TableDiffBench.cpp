// The comparison of a mod's table with the game's, on tables of 10,000 rows x 250 columns, against
// a baseline in the same run, as a ratio of medians:
//  - baseline: two equal tables compared cell by cell at the same row and column, the least any
//    comparison must do;
//  - the comparison by key of a mod that changed a few cells, inserted a row in the middle and
//    removed another, so that every row below the insertion sits one place lower.
#include "model/TableDiff.h"
#include "table/TxtTable.h"

#include "MedianReporter.h"
#include "TableText.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kRows = 10000, kColumns = 250;

const std::string& GameBytes() {
    static const std::string bytes = bench::MakeTableText(kRows, kColumns);
    return bytes;
}

struct Tables {
    Tables() {
        game.LoadFromBytes(GameBytes());
        same.LoadFromBytes(GameBytes());
        // The mod: a row inserted at row 5,000, row 7,000 removed, a few cells changed.
        std::string bytes = GameBytes();
        const auto lineStart = [&](int row) {
            size_t at = 0;
            for (int i = 0; i < row; ++i)
                at = bytes.find('\n', at) + 1;
            return at;
        };
        const size_t removedAt = lineStart(7000);
        bytes.erase(removedAt, bytes.find('\n', removedAt) + 1 - removedAt);
        bytes.insert(lineStart(5000), "newmonster\t1\t2\t3\r\n");
        mod.LoadFromBytes(bytes);
        for (int row = 100; row < kRows; row += 1000)
            mod.SetCell(row % kColumns, row, "changed");
    }
    CTxtTable game, same, mod;
};

const Tables& TheTables() {
    static const Tables tables;
    return tables;
}

void BM_CompareBaseline(benchmark::State& state) {
    const Tables& tables = TheTables();
    for (auto _ : state) {
        int64_t differing = 0;
        for (int32_t row = 0; row < tables.game.Rows(); ++row)
            for (int32_t col = 0; col < tables.game.Columns(); ++col)
                differing += tables.game.CellView(col, row) != tables.same.CellView(col, row);
        benchmark::DoNotOptimize(differing);
    }
}

void BM_CompareByKey(benchmark::State& state) {
    const Tables& tables = TheTables();
    for (auto _ : state)
        benchmark::DoNotOptimize(CTableDiff::Compare(tables.game, tables.mod));
    const CTableDiff diff = CTableDiff::Compare(tables.game, tables.mod);
    if (diff.counts.rowsAdded != 1 || diff.counts.rowsRemoved != 1 || diff.counts.cells != 10)
        state.SkipWithError("the comparison did not find the mod's changes");
}

} // namespace

BENCHMARK(BM_CompareBaseline)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(BM_CompareByKey)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

int main(int argc, char** argv) {
    bench::CMedianReporter reporter;
    if (!bench::RunAll(argc, argv, reporter))
        return 1;
    reporter.PrintRatio("comparison by key / baseline", "BM_CompareByKey", "BM_CompareBaseline");
    std::printf("comparing a 10,000 x 250 table by key %.2f ms (target 50)\n",
                reporter.MedianMs("BM_CompareByKey"));
    return 0;
}
