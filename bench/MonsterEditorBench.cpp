// The monster editor on a table the size of the game's monster table (735 rows x 255 columns),
// offscreen:
//  - opening: construct, fill the list, show the first monster, run modally, paint once and
//    close; baseline: the same modal run of an empty dialog;
//  - a selection change: show another monster and let the dialog repaint; baseline: reading
//    the record alone.
#include "editors/ModFuncs.h"
#include "editors/MonsterEditorDlg.h"
#include "platform/UserPrompts.h"
#include "table/TxtTable.h"

#include <QApplication>
#include <QListWidget>
#include <QTimer>

#include "SilentPrompts.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace {

constexpr int kRows = 735;
constexpr int kColumns = 255;

// Class and namco first, the record's columns where the game keeps its statistics (from column
// 127 on), fillers elsewhere; an "Expansion" row about where the game has it, and a few rows
// that are not listed.
const CTxtTable& MonsterTable() {
    static CTxtTable table = [] {
        std::vector<std::string> headers(kColumns);
        for (int col = 0; col < kColumns; ++col)
            headers[static_cast<size_t>(col)] = "column" + std::to_string(col);
        headers[0] = "Class";
        headers[1] = "namco";
        for (size_t k = 1; k < MonsterRecord::kFieldCount; ++k)
            headers[127 + k] = kMonsterRecordHeaders[k];

        std::string bytes;
        auto addRow = [&bytes](const std::vector<std::string>& cells) {
            for (size_t col = 0; col < cells.size(); ++col)
                bytes += (col ? "\t" : "") + cells[col];
            bytes += "\r\n";
        };
        addRow(headers);
        for (int row = 1; row <= kRows; ++row) {
            std::vector<std::string> cells(kColumns);
            for (int col = 2; col < kColumns; ++col)
                if ((row + col) % 5 != 0)
                    cells[static_cast<size_t>(col)] = std::to_string((row * 31 + col * 17) % 2000);
            // Names in no particular order, so that the list has sorting to do.
            cells[0] = "class" + std::to_string(row);
            cells[1] = "Monster " + std::to_string((row * 7919) % 1000);
            if (row == 411)
                cells[0] = cells[1] = "Expansion";
            else if (row % 50 == 0)
                cells[0] = "unused";
            addRow(cells);
        }

        auto path = std::filesystem::temp_directory_path() /
                    ("tarvane-monster-bench-" + std::to_string(::getpid()) + ".txt");
        FILE* file = std::fopen(path.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
        CTxtTable loaded;
        if (!loaded.Load(path.string()))
            std::fprintf(stderr, "cannot load the generated table\n");
        std::filesystem::remove(path);
        return loaded;
    }();
    return table;
}

void BM_OpenEditor(benchmark::State& state) {
    CTxtTable table = MonsterTable();
    CModFuncs funcs;
    CSilentPrompts prompts;
    for (auto _ : state) {
        CMonsterEditorDlg dlg(prompts);
        dlg.m_pMonTable = &table;
        dlg.m_pFuncs = &funcs;
        dlg.m_bExpansion = true;
        QTimer::singleShot(0, &dlg, [&dlg] {
            dlg.repaint();
            dlg.reject();
        });
        benchmark::DoNotOptimize(dlg.exec());
    }
    CMonsterEditorDlg dlg(prompts);
    dlg.m_pMonTable = &table;
    dlg.m_pFuncs = &funcs;
    dlg.m_bExpansion = true;
    dlg.OnInitDialog();
    state.counters["listed"] = dlg.MonsterList()->count();
    state.counters["messages"] = prompts.messages;
}

void BM_OpenEmptyDialog(benchmark::State& state) {
    for (auto _ : state) {
        QDialog dlg;
        QTimer::singleShot(0, &dlg, [&dlg] {
            dlg.repaint();
            dlg.reject();
        });
        benchmark::DoNotOptimize(dlg.exec());
    }
}

void BM_SelectionChange(benchmark::State& state) {
    CTxtTable table = MonsterTable();
    CModFuncs funcs;
    CSilentPrompts prompts;
    CMonsterEditorDlg dlg(prompts);
    dlg.m_pMonTable = &table;
    dlg.m_pFuncs = &funcs;
    dlg.m_bExpansion = true;
    dlg.OnInitDialog();
    dlg.show();
    QApplication::processEvents();
    const int count = dlg.MonsterList()->count();
    int next = 0;
    for (auto _ : state) {
        next = (next + 337) % count;
        dlg.MonsterList()->setCurrentRow(next);
        QApplication::processEvents();
    }
}

void BM_ReadRecordOnly(benchmark::State& state) {
    const CTxtTable& table = MonsterTable();
    CModFuncs funcs;
    MonsterRecord record;
    int32_t row = 1;
    for (auto _ : state) {
        row = row % kRows + 1;
        funcs.ReadMonsterRecord(row, record, table);
        benchmark::DoNotOptimize(record);
    }
}

BENCHMARK(BM_OpenEditor)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_OpenEmptyDialog)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(BM_SelectionChange)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly();
BENCHMARK(BM_ReadRecordOnly)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
