// Converting the largest accepted picture (799 x 599), PCX -> DC6 and DC6 -> PCX, each against
// a baseline that only reads the same input and writes an output of the same size. The
// conversion should stay within 3x its baseline. The "/plain" cases run without the fast paths,
// and the routines are timed on their own, in memory, with and without them: a fast path that
// does not clearly beat its plain path is not worth keeping.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "graphics/Dc6Converter.h"
#include "platform/FileSystem.h"

namespace {

constexpr int kWidth = 799;
constexpr int kHeight = 599;

// A folder with the two inputs: an item-like picture (an object of textured colours on a
// transparent background) as PCX and as the DC6 made from it.
class CBenchFiles {
public:
    CBenchFiles() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "tarvane-bench-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            std::abort();
        m_folder = pattern;
        pcx = m_folder + "/picture.pcx";
        dc6 = m_folder + "/picture.dc6";

        CIndexedImage image;
        image.width = kWidth;
        image.height = kHeight;
        image.pixels.assign(static_cast<size_t>(kWidth) * kHeight, 0);
        uint32_t seed = 12345;
        for (int y = 0; y < kHeight; ++y) {
            for (int x = 0; x < kWidth; ++x) {
                const double dx = (x - kWidth / 2.0) / (kWidth * 0.45);
                const double dy = (y - kHeight / 2.0) / (kHeight * 0.45);
                seed = seed * 1103515245u + 12345u;
                if (dx * dx + dy * dy < 1.0)
                    image.pixels[static_cast<size_t>(y) * kWidth + x] =
                        static_cast<uint8_t>(1 + (seed >> 16) % 255);
            }
        }
        CDc6Converter run;
        std::string bytes;
        if (!run.BuildPcx(image, bytes) || !WriteFileAtomically(pcx, bytes, false))
            std::abort();
        if (run.Dc6ConMain({"dc6con", pcx, "-transcol", "0"}) != 0)
            std::abort();
    }
    ~CBenchFiles() {
        std::error_code ec;
        std::filesystem::remove_all(m_folder, ec);
    }

    std::string pcx, dc6;

private:
    std::string m_folder;
};

CBenchFiles& Files() {
    static CBenchFiles files;
    return files;
}

size_t FileSize(const std::string& path) {
    std::string bytes;
    CDc6Converter::LoadFile(path, bytes);
    return bytes.size();
}

// Reads `input` and writes `size` bytes beside it, the same way a conversion does.
void ReadAndWrite(benchmark::State& state, const std::string& input, const std::string& output,
                  size_t size) {
    for (auto _ : state) {
        // Both buffers belong to the run, as in a conversion.
        const std::string out(size, '\x5A');
        std::string bytes;
        if (!CDc6Converter::LoadFile(input, bytes) || !WriteFileAtomically(output, out, false))
            state.SkipWithError("I/O failed");
        benchmark::DoNotOptimize(bytes.data());
    }
}

void PcxToDc6(benchmark::State& state, bool fast) {
    for (auto _ : state) {
        CDc6Converter run;
        run.SetFastPaths(fast);
        if (run.Dc6ConMain({"dc6con", Files().pcx, "-transcol", "0"}) != 0)
            state.SkipWithError(run.Error().c_str());
    }
}

void PcxToDc6Baseline(benchmark::State& state) {
    ReadAndWrite(state, Files().pcx, Files().dc6 + ".copy", FileSize(Files().dc6));
}

void Dc6ToPcx(benchmark::State& state, bool fast) {
    for (auto _ : state) {
        CDc6Converter run;
        run.SetFastPaths(fast);
        if (run.Dc6ConMain({"dc6con", Files().dc6}) != 0)
            state.SkipWithError(run.Error().c_str());
    }
}

void Dc6ToPcxBaseline(benchmark::State& state) {
    ReadAndWrite(state, Files().dc6, Files().pcx + ".copy", FileSize(Files().pcx));
}

// The picture of the bench files, in memory.
const CIndexedImage& Picture() {
    static const CIndexedImage image = [] {
        std::string bytes;
        CIndexedImage picture;
        CDc6Converter run;
        if (!CDc6Converter::LoadFile(Files().pcx, bytes) || !run.ReadPcx(bytes, picture))
            std::abort();
        return picture;
    }();
    return image;
}

void ReadPcx(benchmark::State& state, bool fast) {
    std::string bytes;
    CDc6Converter::LoadFile(Files().pcx, bytes);
    CDc6Converter run;
    run.SetFastPaths(fast);
    CIndexedImage image;
    for (auto _ : state) {
        if (!run.ReadPcx(bytes, image))
            state.SkipWithError(run.Error().c_str());
        benchmark::DoNotOptimize(image.pixels.data());
    }
}

void BuildPcx(benchmark::State& state, bool fast) {
    CDc6Converter run;
    run.SetFastPaths(fast);
    std::string file;
    for (auto _ : state) {
        run.BuildPcx(Picture(), file);
        benchmark::DoNotOptimize(file.data());
    }
}

void WriteDc6(benchmark::State& state, bool fast) {
    CDc6Converter run;
    run.SetFastPaths(fast);
    run.SetTransparency(true, 0);
    std::string file;
    for (auto _ : state) {
        file.clear();
        run.WriteDc6(file, Picture());
        benchmark::DoNotOptimize(file.data());
    }
}

BENCHMARK_CAPTURE(PcxToDc6, fast, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(PcxToDc6, plain, false)->Unit(benchmark::kMicrosecond);
BENCHMARK(PcxToDc6Baseline)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Dc6ToPcx, fast, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(Dc6ToPcx, plain, false)->Unit(benchmark::kMicrosecond);
BENCHMARK(Dc6ToPcxBaseline)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ReadPcx, fast, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(ReadPcx, plain, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BuildPcx, fast, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(BuildPcx, plain, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteDc6, fast, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(WriteDc6, plain, false)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
