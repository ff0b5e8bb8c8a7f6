// A save adds the nine tables to the archive as one batch, on a copy of the whole archive that
// is then renamed over it. This measures that save on game-sized archives, with and without a
// list of names, against copying the archive once, in the same run (ratios of medians), and how
// much the archive grows per save. The copy a save makes leaves out the space replaced files
// left: that copy alone is measured against the plain copy too, and thirty saves into an archive
// of the 1.13c tables' size tell whether the archive still grows.

#include "data/MpqArchive.h"
#include "platform/FileSystem.h"
#include "store/MpqCompactor.h"

#include "LargeArchive.h"
#include "MedianReporter.h"

#include <StormLib.h>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <iterator>
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

// The compacting copy alone, of the archive without a list of names after the saves above have
// left their gaps in it.
void BM_CompactingCopy(benchmark::State& state) {
    const std::string copy = g_folder + "/compacted.mpq";
    double takenOutMB = 0;
    for (auto _ : state) {
        ::sync();
        auto start = std::chrono::steady_clock::now();
        CMpqCompactor::Result result = CMpqCompactor::Copy(g_archives[1], copy, {});
        state.SetIterationTime(Since(start));
        if (!result.Ok())
            state.SkipWithError("compacting copy failed");
        takenOutMB = static_cast<double>(result.takenOut) / (1 << 20);
        std::filesystem::remove(copy);
    }
    state.counters["taken_out_MB"] = takenOutMB;
}

// Thirty saves of ten tables of the 1.13c tables' sizes (1 MB in all) into an 8.5 MB archive
// without a list of names, as the game's Patch_D2.mpq: its size after the last save against its
// size after the first.
void BM_ThirtySaves(benchmark::State& state) {
    constexpr size_t kSizes[] = {76370, 586,    66615, 118,   432634,
                                 26815, 173535, 88253, 73610, 118029};
    const std::string path = g_folder + "/thirty/Patch_D2.mpq";
    std::filesystem::create_directories(g_folder + "/thirty");
    std::vector<std::pair<std::string, std::string>> tables;
    CMpqArchive::FileList batch;
    for (size_t table = 0; table < std::size(kSizes); ++table) {
        const std::string name = TableName(static_cast<int>(table));
        tables.emplace_back(name, bench::Bytes(kSizes[table], 7000u + table));
        const std::string local = g_folder + "/thirty/tmp" + std::to_string(table) + ".txt";
        std::ofstream(local, std::ios::binary) << bench::Bytes(kSizes[table], 8000u + table);
        batch.push_back({local, name});
    }
    if (!bench::MakeArchive(path, tables, bench::Names::Unlisted, 7, 1000)) {
        state.SkipWithError("cannot make the archive");
        return;
    }
    std::uintmax_t first = 0;
    for (auto _ : state) {
        for (int save = 0; save < 30; ++save) {
            if (!CMpqArchive(path).AddFiles(batch, false)) {
                state.SkipWithError("save failed");
                return;
            }
            if (save == 0)
                first = ArchiveSize(path);
        }
    }
    state.counters["MB_after_first"] = static_cast<double>(first) / (1 << 20);
    state.counters["MB_after_30th"] = static_cast<double>(ArchiveSize(path)) / (1 << 20);
    state.counters["growth_percent"] =
        100.0 * (static_cast<double>(ArchiveSize(path)) / static_cast<double>(first) - 1);
}

} // namespace

BENCHMARK(BM_CopyArchive)->Arg(0)->Arg(1)->Apply(bench::OneRunPerRepetition);
BENCHMARK(BM_AddNineTables)->Arg(0)->Arg(1)->Apply(bench::OneRunPerRepetition);

BENCHMARK(BM_CompactingCopy)->Apply(bench::OneRunPerRepetition);
BENCHMARK(BM_ThirtySaves)->Iterations(1)->Unit(benchmark::kMillisecond);

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
    reporter.PrintRatio("compacting copy / copy (without list of names)", "BM_CompactingCopy",
                        "BM_CopyArchive/0", "(target: at most 1.1)");
    std::error_code ec;
    std::filesystem::remove_all(g_folder, ec);
    return 0;
}
