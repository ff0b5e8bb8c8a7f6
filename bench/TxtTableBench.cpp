// Load and Save of a table the size of the game's monster table (735 rows x 255 columns) and of
// one ten times longer, each against a baseline in the same run, as a ratio of medians:
//  - Load baseline: read the file and note where every tab and line end is, 16 bytes at a time
//    as memchr does (a byte-by-byte loop would flatter any load);
//  - Save baseline: write the same bytes with one write.
#include "table/TxtTable.h"

#include "MedianReporter.h"
#include "TableText.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

std::string Folder() {
    static std::string folder = [] {
        auto path = std::filesystem::temp_directory_path() /
                    ("tarvane-bench-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        return path.string();
    }();
    return folder;
}

// A monster-table-like file: a header, then rows of names, small numbers and empty cells.
std::string MakeTableFile(int rows, int columns) {
    std::string path = Folder() + "/table-" + std::to_string(rows) + ".txt";
    if (std::filesystem::exists(path))
        return path;
    const std::string bytes = bench::MakeTableText(rows, columns);
    FILE* f = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
    return path;
}

void ReadInto(const std::string& path, std::string& bytes) {
    int fd = ::open(path.c_str(), O_RDONLY);
    bytes.resize(static_cast<size_t>(::lseek(fd, 0, SEEK_END)));
    benchmark::DoNotOptimize(::pread(fd, bytes.data(), bytes.size(), 0));
    ::close(fd);
}

std::string ReadAll(const std::string& path) {
    std::string bytes;
    ReadInto(path, bytes);
    return bytes;
}

// The offset of every tab and line feed, in order.
void FindSeparators(const std::string& bytes, std::vector<uint32_t>& found) {
    found.clear();
    const char* data = bytes.data();
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    for (; i + 16 <= bytes.size(); i += 16) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        auto mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, tab), _mm_cmpeq_epi8(chunk, lineFeed))));
        for (; mask != 0; mask &= mask - 1)
            found.push_back(static_cast<uint32_t>(i + static_cast<size_t>(__builtin_ctz(mask))));
    }
#endif
    for (; i < bytes.size(); ++i)
        if (data[i] == '\t' || data[i] == '\n')
            found.push_back(static_cast<uint32_t>(i));
}

void BM_LoadBaseline(benchmark::State& state) {
    std::string path = MakeTableFile(static_cast<int>(state.range(0)), 255);
    std::string bytes; // reused, as the table reuses its buffer
    std::vector<uint32_t> separators;
    for (auto _ : state) {
        ReadInto(path, bytes);
        FindSeparators(bytes, separators);
        benchmark::DoNotOptimize(separators.data());
    }
}

void BM_Load(benchmark::State& state) {
    std::string path = MakeTableFile(static_cast<int>(state.range(0)), 255);
    CTxtTable table;
    for (auto _ : state) {
        table.Load(path);
        benchmark::DoNotOptimize(table.Rows());
    }
}

void BM_SaveBaseline(benchmark::State& state) {
    std::string bytes = ReadAll(MakeTableFile(static_cast<int>(state.range(0)), 255));
    std::string out = Folder() + "/baseline-out.txt";
    for (auto _ : state) {
        int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        benchmark::DoNotOptimize(::write(fd, bytes.data(), bytes.size()));
        ::close(fd);
    }
}

void BM_Save(benchmark::State& state) {
    CTxtTable table;
    table.Load(MakeTableFile(static_cast<int>(state.range(0)), 255));
    std::string out = Folder() + "/table-out.txt";
    for (auto _ : state)
        benchmark::DoNotOptimize(table.Save(out));
}

} // namespace

BENCHMARK(BM_LoadBaseline)->Arg(735)->Arg(7350)->Unit(benchmark::kMicrosecond)->Repetitions(9);
BENCHMARK(BM_Load)->Arg(735)->Arg(7350)->Unit(benchmark::kMicrosecond)->Repetitions(9);
BENCHMARK(BM_SaveBaseline)->Arg(735)->Arg(7350)->Unit(benchmark::kMicrosecond)->Repetitions(9);
BENCHMARK(BM_Save)->Arg(735)->Arg(7350)->Unit(benchmark::kMicrosecond)->Repetitions(9);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    bench::CMedianReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    for (const char* rows : {"735", "7350"}) {
        const std::string suffix = std::string("/") + rows;
        reporter.PrintRatio(std::string("load / baseline, ") + rows + " rows", "BM_Load" + suffix,
                            "BM_LoadBaseline" + suffix);
        reporter.PrintRatio(std::string("save / baseline, ") + rows + " rows", "BM_Save" + suffix,
                            "BM_SaveBaseline" + suffix);
    }
    std::filesystem::remove_all(Folder());
    return 0;
}
