// The table grid on a table of 10,000 rows x 250 columns, offscreen:
//  - opening: make the model and the grid, show it and render its cells once, close;
//    baseline: the same for an empty dialog;
//  - a page of scrolling: scroll down one page and render the cells; baseline: render the same
//    page again without scrolling;
//  - memory: the heap the table takes once loaded, and the heap it and an open grid over it take
//    after the grid was scrolled through twenty pages.
#include "editors/FrozenColumnTable.h"
#include "editors/TableGridDlg.h"
#include "model/TableModel.h"
#include "table/TxtTable.h"

#include <QApplication>
#include <QImage>
#include <QScrollBar>
#include <QUndoStack>

#include "MedianReporter.h"
#include "SilentPrompts.h"
#include "TableText.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kRows = 10000;
constexpr int kColumns = 250;

const CTxtTable& LargeTable() {
    static CTxtTable table = [] {
        CTxtTable loaded;
        if (!loaded.LoadFromBytes(bench::MakeTableText(kRows, kColumns)))
            std::fprintf(stderr, "cannot load the generated table\n");
        return loaded;
    }();
    return table;
}

// The cells as the screen would get them.
void RenderCells(QAbstractScrollArea& view, QImage& image) {
    view.viewport()->render(&image);
}

void BM_OpenGrid(benchmark::State& state) {
    CTxtTable table = LargeTable();
    CSilentPrompts prompts;
    QUndoStack undo;
    QImage image(900, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        CTableModel model(table, undo, prompts);
        CTableGridDlg grid(model, "Large.txt", "");
        grid.show();
        QApplication::processEvents();
        RenderCells(*grid.View(), image);
        grid.hide();
    }
    state.counters["messages"] = prompts.messages;
}

void BM_OpenEmptyDialog(benchmark::State& state) {
    QImage image(900, 600, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QDialog dialog;
        dialog.resize(900, 600);
        dialog.show();
        QApplication::processEvents();
        dialog.render(&image);
        dialog.hide();
    }
}

// Scrolls a page (state.range(0) = 1) or stays (0) before each rendering.
void BM_ScrollPage(benchmark::State& state) {
    CTxtTable table = LargeTable();
    CSilentPrompts prompts;
    QUndoStack undo;
    CTableModel model(table, undo, prompts);
    CTableGridDlg grid(model, "Large.txt", "");
    grid.show();
    QApplication::processEvents();
    QScrollBar* bar = grid.View()->verticalScrollBar();
    QImage image(grid.View()->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    const bool scroll = state.range(0) != 0;
    for (auto _ : state) {
        if (scroll)
            bar->setValue(bar->value() + bar->pageStep() >= bar->maximum()
                              ? 0
                              : bar->value() + bar->pageStep());
        RenderCells(*grid.View(), image);
    }
}

// The heap in use now (glibc's count of allocated bytes, large blocks included).
double HeapBytes() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd);
}

void BM_GridMemory(benchmark::State& state) {
    const std::string text = bench::MakeTableText(kRows, kColumns);
    CSilentPrompts prompts;
    QImage image(900, 600, QImage::Format_ARGB32_Premultiplied);
    double tableBytes = 0;
    double withGrid = 0;
    for (auto _ : state) {
        const double before = HeapBytes();
        CTxtTable table;
        table.LoadFromBytes(text);
        tableBytes = HeapBytes() - before;
        QUndoStack undo;
        CTableModel model(table, undo, prompts);
        CTableGridDlg grid(model, "Large.txt", "");
        grid.show();
        QApplication::processEvents();
        QScrollBar* bar = grid.View()->verticalScrollBar();
        for (int page = 0; page < 20; ++page) {
            bar->setValue(bar->value() + bar->pageStep());
            RenderCells(*grid.View(), image);
        }
        withGrid = HeapBytes() - before;
        grid.hide();
    }
    state.counters["table_MB"] = tableBytes / 1e6;
    state.counters["with_grid_MB"] = withGrid / 1e6;
    state.counters["ratio"] = tableBytes > 0 ? withGrid / tableBytes : 0;
}

BENCHMARK(BM_OpenGrid)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_OpenEmptyDialog)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(BM_GridMemory)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(3);
BENCHMARK(BM_ScrollPage)
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::CMedianReporter reporter;
    if (!bench::RunAll(argc, argv, reporter))
        return 1;
    reporter.PrintRatio("opening the grid / an empty dialog", "BM_OpenGrid", "BM_OpenEmptyDialog");
    reporter.PrintRatio("a page of scrolling / rendering the page in place", "BM_ScrollPage/1",
                        "BM_ScrollPage/0");
    const double open = reporter.MedianMs("BM_OpenGrid");
    const double page = reporter.MedianMs("BM_ScrollPage/1");
    if (open >= 0 && page >= 0)
        std::printf("%d rows x %d columns: opening %.2f ms (target 100), a page of scrolling "
                    "%.2f ms (target 16)\n",
                    kRows, kColumns, open, page);
    return 0;
}
