// A whole File > Save: the demo's nine tables plus ten overrides files into a 250 MB archive,
// against copying that archive once, in the same run. The game version here reads no compiled
// tables, so the save is the tables and the overrides in one batch.

#include "data/GameDataSet.h"
#include "data/ModSaver.h"
#include "data/MpqArchive.h"
#include "platform/FileSystem.h"
#include "platform/NoteLog.h"
#include "platform/UserPrompts.h"

#include "LargeArchive.h"

#include "SilentPrompts.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace {

constexpr int kIterations = 15;

std::string g_folder;
std::string g_archive;
CGameDataSet g_data;
std::map<std::string, double> g_seconds;

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
    g_archive = g_folder + "/Patch_D2.mpq";
    return bench::MakeLargeArchive(g_archive, old);
}

void BM_CopyArchive(benchmark::State& state) {
    const std::string copy = g_folder + "/copy.mpq";
    double seconds = 0;
    for (auto _ : state) {
        ::sync();
        auto start = std::chrono::steady_clock::now();
        bool ok = std::filesystem::copy_file(g_archive, copy);
        auto stop = std::chrono::steady_clock::now();
        seconds += std::chrono::duration<double>(stop - start).count();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        if (!ok)
            state.SkipWithError("copy failed");
        std::filesystem::remove(copy);
    }
    g_seconds["copy"] = seconds / static_cast<double>(state.iterations());
}

void BM_WholeSave(benchmark::State& state) {
    CMpqArchive archive(g_archive);
    CSilentPrompts prompts;
    CNoNotes notes;
    double seconds = 0;
    for (auto _ : state) {
        // The archive a save replaced is freed in the background while the user goes on; wait
        // for it here, as the copy's removal below is outside the baseline's timing too.
        WaitForBackgroundRemovals();
        ::sync();
        g_data.m_bModified = true;
        auto start = std::chrono::steady_clock::now();
        CModSaver(g_data, &archive, "", prompts, notes).Save();
        auto stop = std::chrono::steady_clock::now();
        seconds += std::chrono::duration<double>(stop - start).count();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        if (g_data.m_bModified)
            state.SkipWithError("save failed");
    }
    g_seconds["save"] = seconds / static_cast<double>(state.iterations());
    state.counters["archive_MB"] =
        static_cast<double>(std::filesystem::file_size(g_archive)) / (1 << 20);
}

} // namespace

BENCHMARK(BM_CopyArchive)->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WholeSave)->UseManualTime()->Iterations(kIterations)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!MakeFixture()) {
        std::fprintf(stderr, "cannot make the benchmark's archive in %s\n", g_folder.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_seconds.count("save") && g_seconds.count("copy"))
        std::printf("save / copy: %.2f (target: at most 1.5)\n",
                    g_seconds["save"] / g_seconds["copy"]);
    std::filesystem::current_path("/");
    std::error_code ec;
    std::filesystem::remove_all(g_folder, ec);
    return 0;
}
