// A save adds the nine tables to the archive as one batch, on a copy of the whole archive that
// is then renamed over it. This measures that save on game-sized archives, with and without a
// list of names, against copying the archive once, in the same run (ratios of medians), and how
// much the archive grows per save.

#include "data/MpqArchive.h"
#include "platform/FileSystem.h"

#include "LargeArchive.h"
#include "MedianReporter.h"

#include <StormLib.h>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

constexpr int kTables = 9;
constexpr size_t kTableSize = 200 * 1024;

std::string g_folder;
// By bench::Names: the archive with its list of names, then the one without.
std::string g_archives[2];
CMpqArchive::FileList g_tables;

std::string TableName(int table) {
    return "Data\\Global\\Excel\\table" + std::to_string(table) + ".txt";
}

// The two archives, each already holding the nine tables, and the nine new tables on disk.
bool MakeFixture() {
    g_folder = bench::MakeTempFolder();
    if (g_folder.empty())
        return false;
    std::vector<std::pair<std::string, std::string>> tables;
    for (int table = 0; table < kTables; ++table) {
        tables.emplace_back(TableName(table), bench::Bytes(kTableSize, 1000u + table));
        std::string local = g_folder + "/tmp" + std::to_string(table) + ".txt";
        std::ofstream(local, std::ios::binary) << bench::Bytes(kTableSize, 2000u + table);
        g_tables.push_back({local, TableName(table)});
    }
    g_archives[0] = g_folder + "/listed/Patch_D2.mpq";
    g_archives[1] = g_folder + "/unlisted/Patch_D2.mpq";
    std::filesystem::create_directories(g_folder + "/listed");
    std::filesystem::create_directories(g_folder + "/unlisted");
    return bench::MakeLargeArchive(g_archives[0], tables, bench::Names::Listed) &&
           bench::MakeLargeArchive(g_archives[1], tables, bench::Names::Unlisted);
}

std::uintmax_t ArchiveSize(const std::string& archive) {
    return std::filesystem::file_size(archive);
}

double Since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Baseline: the archive copied once, as a file manager would (argument 0), or copied and
// flushed to disk as a save must (argument 1).
void BM_CopyArchive(benchmark::State& state) {
    const bool flush = state.range(0) != 0;
    const std::string copy = g_folder + "/copy.mpq";
    for (auto _ : state) {
        ::sync(); // start every iteration with nothing left to write from the last one
        auto start = std::chrono::steady_clock::now();
        bool ok = std::filesystem::copy_file(g_archives[0], copy);
        if (flush) {
            int fd = ::open(copy.c_str(), O_RDONLY);
            ok = ok && fd >= 0 && ::fsync(fd) == 0;
            if (fd >= 0)
                ::close(fd);
        }
        state.SetIterationTime(Since(start));
        if (!ok)
            state.SkipWithError("copy failed");
        std::filesystem::remove(copy);
    }
}

// One save: the nine 200 KB tables added as one batch, into the archive with its list of names
// (argument 0) or without (argument 1).
void BM_AddNineTables(benchmark::State& state) {
    const std::string& path = g_archives[state.range(0)];
    CMpqArchive archive(path);
    std::uintmax_t grown = 0, shrunk = 0;
    for (auto _ : state) {
        // The archive a save replaced is freed in the background while the user goes on; wait
        // for it here, as the copy's removal is outside the baseline's timing too.
        WaitForBackgroundRemovals();
        ::sync();
        auto before = ArchiveSize(path);
        auto start = std::chrono::steady_clock::now();
        bool ok = archive.AddFiles(g_tables, false);
        state.SetIterationTime(Since(start));
        if (!ok)
            state.SkipWithError("save failed");
        auto after = ArchiveSize(path);
        if (after >= before)
            grown += after - before;
        else
            ++shrunk;
    }
    state.counters["growth_KB_per_save"] =
        static_cast<double>(grown) / 1024.0 / static_cast<double>(state.iterations());
    state.counters["compactions"] = static_cast<double>(shrunk);
    state.counters["archive_MB"] = static_cast<double>(ArchiveSize(path)) / (1 << 20);
}

// Saves go on until one finds enough dead space to compact the archive; that save is timed.
// Only an archive whose names are all known can be compacted.
void BM_SaveThatCompacts(benchmark::State& state) {
    CMpqArchive archive(g_archives[0]);
    int saves = 0;
    double seconds = 0;
    std::uintmax_t largest = 0;
    for (auto _ : state) {
        while (true) {
            WaitForBackgroundRemovals();
            ::sync();
            auto before = ArchiveSize(g_archives[0]);
            largest = std::max(largest, before);
            auto start = std::chrono::steady_clock::now();
            if (!archive.AddFiles(g_tables, false) || ++saves > 1000) {
                state.SkipWithError("save failed");
                break;
            }
            seconds = Since(start);
            if (ArchiveSize(g_archives[0]) < before)
                break;
        }
        state.SetIterationTime(seconds);
    }
    state.counters["saves_until_compaction"] = saves;
    state.counters["largest_MB"] = static_cast<double>(largest) / (1 << 20);
    state.counters["compacted_MB"] = static_cast<double>(ArchiveSize(g_archives[0])) / (1 << 20);
}

} // namespace

BENCHMARK(BM_CopyArchive)->Arg(0)->Arg(1)->Apply(bench::OneRunPerRepetition);
BENCHMARK(BM_AddNineTables)->Arg(0)->Arg(1)->Apply(bench::OneRunPerRepetition);

BENCHMARK(BM_SaveThatCompacts)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!MakeFixture()) {
        std::fprintf(stderr, "cannot make the 250 MB archives in %s\n", g_folder.c_str());
        return 1;
    }
    bench::CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (bench::Names names : {bench::Names::Listed, bench::Names::Unlisted}) {
        const std::string save = "BM_AddNineTables/" + std::to_string(static_cast<int>(names));
        const std::string label = std::string(" (") + bench::NamesLabel(names) + ")";
        reporter.PrintRatio("save / copy" + label, save, "BM_CopyArchive/0");
        reporter.PrintRatio("save / (copy+flush)" + label, save, "BM_CopyArchive/1",
                            "(target: at most 1.5)");
    }
    std::error_code ec;
    std::filesystem::remove_all(g_folder, ec);
    return 0;
}
