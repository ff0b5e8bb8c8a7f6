// A save adds the nine tables to the archive as one batch, on a copy of the whole archive that
// is then renamed over it. This measures that save on a 250 MB archive against copying the
// archive once, in the same run, and how much the archive grows per save.

#include "data/MpqArchive.h"
#include "platform/FileSystem.h"

#include "LargeArchive.h"

#include <StormLib.h>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <unistd.h>

namespace {

constexpr int kTables = 9;
constexpr size_t kTableSize = 200 * 1024;
constexpr int kIterations = 15;

std::string g_folder;
std::string g_archive;
CMpqArchive::FileList g_tables;
// Seconds per iteration, by benchmark name, for the ratios printed at the end.
std::map<std::string, double> g_seconds;

std::string TableName(int table) {
    return "Data\\Global\\Excel\\table" + std::to_string(table) + ".txt";
}

// A 250 MB archive that already holds the nine tables, and the nine new tables on disk.
bool MakeFixture() {
    g_folder = bench::MakeTempFolder();
    if (g_folder.empty())
        return false;
    g_archive = g_folder + "/Patch_D2.mpq";
    std::vector<std::pair<std::string, std::string>> tables;
    for (int table = 0; table < kTables; ++table) {
        tables.emplace_back(TableName(table), bench::Bytes(kTableSize, 1000u + table));
        std::string local = g_folder + "/tmp" + std::to_string(table) + ".txt";
        std::ofstream(local, std::ios::binary) << bench::Bytes(kTableSize, 2000u + table);
        g_tables.push_back({local, TableName(table)});
    }
    return bench::MakeLargeArchive(g_archive, tables);
}

std::uintmax_t ArchiveSize() {
    return std::filesystem::file_size(g_archive);
}

void Record(benchmark::State& state, const std::string& name, double seconds) {
    g_seconds[name] = seconds / static_cast<double>(state.iterations());
}

// Baseline: the archive copied once, as a file manager would (argument 0), or copied and
// flushed to disk as a save must (argument 1).
void BM_CopyArchive(benchmark::State& state) {
    const bool flush = state.range(0) != 0;
    const std::string copy = g_folder + "/copy.mpq";
    double seconds = 0;
    for (auto _ : state) {
        ::sync(); // start every iteration with nothing left to write from the last one
        auto start = std::chrono::steady_clock::now();
        bool ok = std::filesystem::copy_file(g_archive, copy);
        if (flush) {
            int fd = ::open(copy.c_str(), O_RDONLY);
            ok = ok && fd >= 0 && ::fsync(fd) == 0;
            if (fd >= 0)
                ::close(fd);
        }
        auto stop = std::chrono::steady_clock::now();
        seconds += std::chrono::duration<double>(stop - start).count();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        if (!ok)
            state.SkipWithError("copy failed");
        std::filesystem::remove(copy);
    }
    Record(state, flush ? "copy+flush" : "copy", seconds);
}

// One save: the nine 200 KB tables added as one batch.
void BM_AddNineTables(benchmark::State& state) {
    CMpqArchive archive(g_archive);
    double seconds = 0;
    std::uintmax_t grown = 0, shrunk = 0;
    for (auto _ : state) {
        // The archive a save replaced is freed in the background while the user goes on; wait
        // for it here, as the copy's removal is outside the baseline's timing too.
        WaitForBackgroundRemovals();
        ::sync();
        auto before = ArchiveSize();
        auto start = std::chrono::steady_clock::now();
        bool ok = archive.AddFiles(g_tables, false);
        auto stop = std::chrono::steady_clock::now();
        seconds += std::chrono::duration<double>(stop - start).count();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        if (!ok)
            state.SkipWithError("save failed");
        auto after = ArchiveSize();
        if (after >= before)
            grown += after - before;
        else
            ++shrunk;
    }
    state.counters["growth_KB_per_save"] =
        static_cast<double>(grown) / 1024.0 / static_cast<double>(state.iterations());
    state.counters["compactions"] = static_cast<double>(shrunk);
    state.counters["archive_MB"] = static_cast<double>(ArchiveSize()) / (1 << 20);
    Record(state, "save", seconds);
}

// Saves go on until one finds enough dead space to compact the archive; that save is timed.
void BM_SaveThatCompacts(benchmark::State& state) {
    CMpqArchive archive(g_archive);
    int saves = 0;
    double seconds = 0;
    std::uintmax_t largest = 0;
    for (auto _ : state) {
        while (true) {
            WaitForBackgroundRemovals();
            ::sync();
            auto before = ArchiveSize();
            largest = std::max(largest, before);
            auto start = std::chrono::steady_clock::now();
            if (!archive.AddFiles(g_tables, false) || ++saves > 1000) {
                state.SkipWithError("save failed");
                break;
            }
            seconds =
                std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            if (ArchiveSize() < before)
                break;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["saves_until_compaction"] = saves;
    state.counters["largest_MB"] = static_cast<double>(largest) / (1 << 20);
    state.counters["compacted_MB"] = static_cast<double>(ArchiveSize()) / (1 << 20);
}

} // namespace

BENCHMARK(BM_CopyArchive)
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AddNineTables)
    ->UseManualTime()
    ->Iterations(kIterations)
    ->Unit(benchmark::kMillisecond);

BENCHMARK(BM_SaveThatCompacts)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!MakeFixture()) {
        std::fprintf(stderr, "cannot make the 250 MB archive in %s\n", g_folder.c_str());
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_seconds.count("save") && g_seconds.count("copy") && g_seconds.count("copy+flush"))
        std::printf("save / copy: %.2f   save / (copy+flush): %.2f   (target: at most 1.5)\n",
                    g_seconds["save"] / g_seconds["copy"],
                    g_seconds["save"] / g_seconds["copy+flush"]);
    std::error_code ec;
    std::filesystem::remove_all(g_folder, ec);
    return 0;
}
