// Opening a Diablo II: Resurrected mod folder whose game tables folder holds 87 tables (about
// 5 MB, the size of a Resurrected version's), in the main window as File > Open Mod Folder does;
// baseline: reading the bytes of the nine tables the open loads, file by file.
#include "app/ModEngineDlg.h"
#include "app/ModFolderCommands.h"
#include "data/GameDataSet.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"

#include <QApplication>

#include "MedianReporter.h"
#include "SilentPrompts.h"
#include "TableText.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr int kTables = 87;

// A game folder with its extracted tables and a mod folder holding two of them, once a run.
const fs::path& Game() {
    static const fs::path game = [] {
        char pattern[] = "/tmp/tarvane-bench-XXXXXX";
        const fs::path root = mkdtemp(pattern);
        const fs::path excel = root / "tables" / "data" / "global" / "excel";
        fs::create_directories(excel / "base");
        fs::create_directories(root / "mods" / "bench" / "bench.mpq" / "data" / "global" / "excel");
        auto write = [](const fs::path& path, const std::string& text) {
            std::ofstream(path, std::ios::binary) << text;
        };
        int others = 0;
        for (int i = 0; i < kTables; ++i) {
            std::string name = i < static_cast<int>(CGameDataSet::kTableCount)
                                   ? CGameDataSet::FileName(CGameDataSet::kDeclarationOrder[i])
                                   : "Other" + std::to_string(others++) + ".txt";
            write(excel / name, bench::MakeTableText(240, 100)); // about 57 KB
        }
        write(root / "mods" / "bench" / "bench.mpq" / "modinfo.json",
              "{\"name\": \"bench\", \"savepath\": \"bench/\"}");
        write(root / "mods" / "bench" / "bench.mpq" / "data" / "global" / "excel" / "Armor.txt",
              bench::MakeTableText(240, 100));
        return root;
    }();
    return game;
}

void BM_OpenModFolder(benchmark::State& state) {
    const fs::path game = Game();
    CSilentPrompts prompts;
    const fs::path work = game / "work";
    fs::create_directories(work);
    fs::current_path(work);
    CProfileFile::WriteString("Tarvane.ini", "Resurrected", "TablesFolder",
                              (game / "tables").string());
    CModEngineDlg window(prompts);
    for (auto _ : state)
        if (!window.ModFolder().Open((game / "mods" / "bench").string()))
            state.SkipWithError("the mod folder did not open");
    state.counters["messages"] = prompts.messages;
}

void BM_ReadNineTables(benchmark::State& state) {
    const fs::path excel = Game() / "tables" / "data" / "global" / "excel";
    for (auto _ : state) {
        for (CGameDataSet::TableId id : CGameDataSet::kDeclarationOrder) {
            std::string bytes;
            ReadWholeFile((excel / CGameDataSet::FileName(id)).string(), bytes);
            benchmark::DoNotOptimize(bytes);
        }
    }
}

BENCHMARK(BM_OpenModFolder)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();
BENCHMARK(BM_ReadNineTables)->Unit(benchmark::kMillisecond)->Repetitions(9)->ReportAggregatesOnly();

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    bench::CMedianReporter reporter;
    const bool ran = bench::RunAll(argc, argv, reporter);
    std::error_code ec;
    fs::current_path("/tmp", ec);
    fs::remove_all(Game(), ec);
    if (!ran)
        return 1;
    reporter.PrintRatio("opening a mod folder / reading its nine tables", "BM_OpenModFolder",
                        "BM_ReadNineTables");
    const double open = reporter.MedianMs("BM_OpenModFolder");
    if (open >= 0)
        std::printf("a mod folder over %d game tables: opening %.2f ms (target 300)\n", kTables,
                    open);
    return 0;
}
