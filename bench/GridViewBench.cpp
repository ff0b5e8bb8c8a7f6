// The table grid on a table of 10,000 rows x 250 columns, offscreen:
//  - opening: make the model and the grid, show it and render its cells once, close;
//    baseline: the same for an empty dialog;
//  - a page of scrolling: scroll down one page and render the cells; baseline: render the same
//    page again without scrolling.
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

BENCHMARK(BM_OpenGrid)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_OpenEmptyDialog)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();
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
