// A whole File > Save: the demo's nine tables plus ten overrides files into a game-sized
// archive, with and without a list of names, against copying that archive once, in the same run
// (ratios of medians). The game version here reads no compiled tables, so the save is the tables
// and the overrides in one batch.

#include "data/GameDataSet.h"
#include "data/ModSaver.h"
#include "data/MpqArchive.h"
#include "platform/FileSystem.h"
#include "platform/NoteLog.h"
#include "platform/UserPrompts.h"

#include "LargeArchive.h"
#include "MedianReporter.h"

#include "SilentPrompts.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

std::string g_folder;
// By bench::Names: the archive with its list of names, then the one without.
std::string g_archives[2];
CGameDataSet g_data;

class CNoNotes : public CNoteLog {
public:
    void AppendNote(const std::string&) override {}
};

bool MakeFixture() {
    g_folder = bench::MakeTempFolder();
    if (g_folder.empty())
        return false;
    // The save works in the current folder, as the program does.
    std::filesystem::current_path(g_folder);
    std::filesystem::create_directory("overrides");
    std::vector<std::pair<std::string, std::string>> old;
    for (auto id : CGameDataSet::kDeclarationOrder) {
        std::string demo =
            std::string(TARVANE_DEMO_SOURCE) + "/tables/" + CGameDataSet::FileName(id);
        if (!g_data.Table(id).Load(demo))
            return false;
        old.emplace_back(CGameDataSet::ArchivePath(id), "old " + CGameDataSet::FileName(id));
    }
    for (int i = 0; i < 10; ++i)
        std::ofstream("overrides/data!global!excel!file" + std::to_string(i) + ".bin",
                      std::ios::binary)
            << bench::Bytes(20 * 1024, 3000u + i);
    g_archives[0] = g_folder + "/Patch_D2.mpq";
    g_archives[1] = g_folder + "/unlisted.mpq";
    return bench::MakeLargeArchive(g_archives[0], old, bench::Names::Listed) &&
           bench::MakeLargeArchive(g_archives[1], old, bench::Names::Unlisted);
}

void BM_CopyArchive(benchmark::State& state) {
    const std::string copy = g_folder + "/copy.mpq";
    for (auto _ : state) {
        ::sync();
        auto start = std::chrono::steady_clock::now();
        bool ok = std::filesystem::copy_file(g_archives[0], copy);
        auto stop = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        if (!ok)
            state.SkipWithError("copy failed");
        std::filesystem::remove(copy);
    }
}

// Into the archive with its list of names (argument 0) or without (argument 1).
void BM_WholeSave(benchmark::State& state) {
    const std::string& path = g_archives[state.range(0)];
    CMpqArchive archive(path);
    CSilentPrompts prompts;
    CNoNotes notes;
    for (auto _ : state) {
        // The archive a save replaced is freed in the background while the user goes on; wait
        // for it here, as the copy's removal below is outside the baseline's timing too.
        WaitForBackgroundRemovals();
        ::sync();
        g_data.m_bModified = true;
        auto start = std::chrono::steady_clock::now();
        CModSaver(g_data, &archive, "", prompts, notes).Save();
        auto stop = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        if (g_data.m_bModified)
            state.SkipWithError("save failed");
    }
    state.counters["archive_MB"] =
        static_cast<double>(std::filesystem::file_size(path)) / (1 << 20);
}

} // namespace

BENCHMARK(BM_CopyArchive)->Apply(bench::OneRunPerRepetition);
BENCHMARK(BM_WholeSave)->Arg(0)->Arg(1)->Apply(bench::OneRunPerRepetition);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!MakeFixture()) {
        std::fprintf(stderr, "cannot make the benchmark's archive in %s\n", g_folder.c_str());
        return 1;
    }
    bench::CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (bench::Names names : {bench::Names::Listed, bench::Names::Unlisted})
        reporter.PrintRatio(std::string("save / copy (") + bench::NamesLabel(names) + ")",
                            "BM_WholeSave/" + std::to_string(static_cast<int>(names)),
                            "BM_CopyArchive", "(target: at most 1.5)");
    std::filesystem::current_path("/");
    std::error_code ec;
    std::filesystem::remove_all(g_folder, ec);
    return 0;
}
