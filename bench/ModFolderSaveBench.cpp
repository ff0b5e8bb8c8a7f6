// Saving 20 changed tables of about 100 KB into a Resurrected mod folder (temporaries, journal,
// renames, every flush) against writing the same bytes over 20 files with plain write calls and
// a flush each, in the same run (ratio of medians).

#include "store/ModFolderStore.h"

#include "LargeArchive.h"
#include "MedianReporter.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

std::string g_folder;
std::unique_ptr<CModFolderStore> g_store;
std::vector<std::pair<std::string, std::string>> g_tables;

bool MakeFixture() {
    g_folder = bench::MakeTempFolder();
    std::string error;
    if (g_folder.empty() || !CModFolderStore::Create(g_folder, "bench", error))
        return false;
    g_store = CModFolderStore::Open(g_folder + "/bench", error);
    std::vector<std::pair<std::string, std::string>> old;
    for (unsigned i = 0; i < 20; ++i) {
        const std::string name = "Data\\Global\\Excel\\Table" + std::to_string(i) + ".txt";
        old.emplace_back(name, bench::Bytes(100 * 1024, i));
        g_tables.emplace_back(name, bench::Bytes(100 * 1024, 100 + i));
    }
    std::filesystem::create_directory(g_folder + "/plain");
    return g_store && g_store->WriteBatch(old, error);
}

void BM_PlainWrites(benchmark::State& state) {
    for (auto _ : state) {
        ::sync();
        auto start = std::chrono::steady_clock::now();
        bool ok = true;
        for (std::size_t i = 0; i < g_tables.size(); ++i) {
            const std::string path = g_folder + "/plain/Table" + std::to_string(i) + ".txt";
            const std::string& bytes = g_tables[i].second;
            int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
            ok = fd >= 0 &&
                 ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                 ::fsync(fd) == 0 && ok;
            if (fd >= 0)
                ::close(fd);
        }
        auto stop = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        if (!ok)
            state.SkipWithError("write failed");
    }
}

void BM_ModFolderSave(benchmark::State& state) {
    std::string error;
    for (auto _ : state) {
        ::sync();
        auto start = std::chrono::steady_clock::now();
        const bool ok = g_store->WriteBatch(g_tables, error);
        auto stop = std::chrono::steady_clock::now();
        state.SetIterationTime(std::chrono::duration<double>(stop - start).count());
        if (!ok)
            state.SkipWithError(error.c_str());
    }
}

} // namespace

BENCHMARK(BM_PlainWrites)->Apply(bench::OneRunPerRepetition);
BENCHMARK(BM_ModFolderSave)->Apply(bench::OneRunPerRepetition);

int main(int argc, char** argv) {
    if (!MakeFixture()) {
        std::fprintf(stderr, "cannot make the benchmark's mod folder in %s\n", g_folder.c_str());
        return 1;
    }
    // The two take turns, so that other work on the disk weighs on both alike.
    std::vector<char*> arguments(argv, argv + argc);
    std::string interleave = "--benchmark_enable_random_interleaving=true";
    arguments.insert(arguments.begin() + 1, interleave.data());
    int count = static_cast<int>(arguments.size());
    bench::CMedianReporter reporter;
    if (!bench::RunAll(count, arguments.data(), reporter))
        return 1;
    reporter.PrintRatio("mod folder save / plain writes", "BM_ModFolderSave", "BM_PlainWrites",
                        "(target: at most 1.5)");
    g_store.reset();
    std::error_code ec;
    std::filesystem::remove_all(g_folder, ec);
    return 0;
}
