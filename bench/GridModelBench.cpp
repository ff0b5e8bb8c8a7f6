// The grid's model over a table of 10,000 rows x 250 columns, each against a baseline in the
// same run, as a ratio of medians:
//  - pasting a block of 10,000 cells (100 x 100) and undoing it; baseline: writing the same
//    cells straight into the table, the least any paste or undo must do;
//  - one page of scrolling: every role a view asks of the 40 x 20 cells of a screen page;
//    baseline: the same cells' bytes turned into text without the model. A real view scrolled
//    by one page and painted offscreen is measured too, as the cost a user sees.
#include "model/TableBlock.h"
#include "model/TableModel.h"
#include "table/TxtTable.h"

#include "MedianReporter.h"
#include "SilentPrompts.h"
#include "TableText.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QTableView>
#include <QUndoStack>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kRows = 10000, kColumns = 250, kBlock = 100, kPageRows = 40, kPageColumns = 20;

// A monster-table-like table: a header, then rows of names, small numbers and empty cells.
const std::string& TableBytes() {
    static const std::string bytes = bench::MakeTableText(kRows, kColumns);
    return bytes;
}

// A block as a spreadsheet puts it on the clipboard: numbers unlike the table's.
QString ClipboardBlock() {
    QString text;
    for (int row = 0; row < kBlock; ++row) {
        for (int col = 0; col < kBlock; ++col)
            text += (col > 0 ? "\t" : "") + QString::number(row * kBlock + col + 5000);
        text += "\r\n";
    }
    return text;
}

// One grid per benchmark, kept over its repetitions: the table's buffer grows once, on its first
// change after the load, and is then steady.
struct Grid {
    Grid() { table.LoadFromBytes(TableBytes()); }
    static Grid& For(const std::string& benchmark) {
        std::unique_ptr<Grid>& grid = All()[benchmark];
        if (!grid)
            grid = std::make_unique<Grid>();
        return *grid;
    }
    // Before the application ends: models outlive no QApplication.
    static void ReleaseAll() { All().clear(); }
    static std::map<std::string, std::unique_ptr<Grid>>& All() {
        static std::map<std::string, std::unique_ptr<Grid>> grids;
        return grids;
    }
    CTxtTable table;
    QUndoStack undo;
    CSilentPrompts prompts;
    CTableModel model{table, undo, prompts};
};

// The block's cells as the baseline writes them, row by row from table row 500, column 100.
void WriteBlockDirectly(CTxtTable& table, const std::vector<std::string>& cells) {
    size_t i = 0;
    for (int row = 0; row < kBlock; ++row)
        for (int col = 0; col < kBlock; ++col)
            table.SetCell(100 + col, 500 + row, cells[i++]);
}

std::vector<std::string> BlockCells(const CTxtTable* current) {
    std::vector<std::string> cells;
    for (int row = 0; row < kBlock; ++row)
        for (int col = 0; col < kBlock; ++col)
            cells.push_back(current ? std::string(current->CellView(100 + col, 500 + row))
                                    : std::to_string(row * kBlock + col + 5000));
    return cells;
}

template <typename Action> double Seconds(Action action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void BM_WriteBlockBaseline(benchmark::State& state) {
    Grid& grid = Grid::For("BM_WriteBlockBaseline");
    const std::vector<std::string> pasted = BlockCells(nullptr), old = BlockCells(&grid.table);
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] { WriteBlockDirectly(grid.table, pasted); }));
        WriteBlockDirectly(grid.table, old);
    }
}

void BM_PasteBlock(benchmark::State& state) {
    Grid& grid = Grid::For("BM_PasteBlock");
    const QString block = ClipboardBlock();
    const QModelIndex at = grid.model.IndexOf(100, 500);
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] { PasteBlock(grid.model, at, block); }));
        grid.undo.undo();
    }
    if (grid.prompts.messages != 0 || grid.undo.count() != 1 || grid.undo.index() != 0)
        state.SkipWithError("the paste did not go in");
}

void BM_UndoPaste(benchmark::State& state) {
    Grid& grid = Grid::For("BM_UndoPaste");
    if (grid.undo.count() == 0)
        PasteBlock(grid.model, grid.model.IndexOf(100, 500), ClipboardBlock());
    for (auto _ : state) {
        state.SetIterationTime(Seconds([&] { grid.undo.undo(); }));
        grid.undo.redo();
    }
}

// The roles a QTableView's delegate asks of every cell it paints.
constexpr Qt::ItemDataRole kPaintRoles[] = {
    Qt::DisplayRole,    Qt::DecorationRole, Qt::FontRole,      Qt::TextAlignmentRole,
    Qt::ForegroundRole, Qt::BackgroundRole, Qt::CheckStateRole};

void BM_PageBaseline(benchmark::State& state) {
    Grid& grid = Grid::For("BM_PageBaseline");
    int top = 1;
    for (auto _ : state) {
        for (int row = top; row < top + kPageRows; ++row)
            for (int col = 0; col < kPageColumns; ++col) {
                const std::string_view cell = grid.table.CellView(col, row);
                benchmark::DoNotOptimize(
                    QString::fromLatin1(cell.data(), static_cast<qsizetype>(cell.size())));
            }
        top = top + kPageRows < kRows - kPageRows ? top + kPageRows : 1;
    }
}

void BM_PageData(benchmark::State& state) {
    Grid& grid = Grid::For("BM_PageData");
    int top = 0;
    for (auto _ : state) {
        for (int row = top; row < top + kPageRows; ++row)
            for (int col = 0; col < kPageColumns; ++col) {
                const QModelIndex index = grid.model.index(row, col);
                for (Qt::ItemDataRole role : kPaintRoles)
                    benchmark::DoNotOptimize(grid.model.data(index, role));
            }
        top = top + kPageRows < kRows - kPageRows ? top + kPageRows : 0;
    }
}

// A real view one page down, painted into an image as the screen would be.
void BM_ScrollPageView(benchmark::State& state) {
    Grid& grid = Grid::For("BM_ScrollPageView");
    QTableView view;
    view.setModel(&grid.model);
    view.resize(1600, 1000);
    view.show();
    QImage screen(view.size(), QImage::Format_ARGB32_Premultiplied);
    QScrollBar& bar = *view.verticalScrollBar();
    for (auto _ : state) {
        bar.setValue(bar.value() + bar.pageStep() < bar.maximum() ? bar.value() + bar.pageStep()
                                                                  : 0);
        view.render(&screen);
    }
}

} // namespace

BENCHMARK(BM_WriteBlockBaseline)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(15)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PasteBlock)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(15)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_UndoPaste)
    ->UseManualTime()
    ->Iterations(5)
    ->Repetitions(15)
    ->ReportAggregatesOnly()
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PageBaseline)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_PageData)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_ScrollPageView)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::CMedianReporter reporter;
    if (!bench::RunAll(argc, argv, reporter))
        return 1;
    reporter.PrintRatio("paste / baseline", "BM_PasteBlock", "BM_WriteBlockBaseline");
    reporter.PrintRatio("undo / baseline", "BM_UndoPaste", "BM_WriteBlockBaseline");
    reporter.PrintRatio("page of data / baseline", "BM_PageData", "BM_PageBaseline");
    std::printf("pasting 10,000 cells %.2f ms (target 100), undoing it %.2f ms (target 50), "
                "a page of data %.3f ms and a page scrolled and painted %.2f ms (target 16)\n",
                reporter.MedianMs("BM_PasteBlock"), reporter.MedianMs("BM_UndoPaste"),
                reporter.MedianMs("BM_PageData"), reporter.MedianMs("BM_ScrollPageView"));
    Grid::ReleaseAll();
    return 0;
}
