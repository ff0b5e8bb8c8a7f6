// The settings file reader and writer on any file: neither may read outside the file, a value
// read is never longer than the reader's limit, a value written reads back as written, and
// writing one setting leaves what another reads unchanged.
#include "platform/ProfileFile.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

// One settings file per fuzzing process, in the temporary folder; removed at exit.
const std::string& SettingsPath() {
    static const std::string path = [] {
        std::string pattern = "/tmp/tarvane-fuzz-ini-XXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0)
            std::abort();
        ::close(fd);
        std::atexit([] { std::remove(SettingsPath().c_str()); });
        return pattern;
    }();
    return path;
}

void WriteFile(const std::string& path, const uint8_t* data, size_t size) {
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr || std::fwrite(data, 1, size, file) != size || std::fclose(file) != 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string& path = SettingsPath();
    WriteFile(path, data, size);
    // A section and key named by the input's first bytes, and the ones the program uses.
    const std::string named(reinterpret_cast<const char*>(data), size < 8 ? size : 8);
    if (CProfileFile::ReadString(path, named, named, "").size() > CProfileFile::kMaxValueLength)
        std::abort();
    const std::string other = CProfileFile::ReadString(path, "Diablo II", "Folder", "none");
    const std::string value = "C:\\Games\\Diablo II [1.13c] = ok";
    if (!CProfileFile::WriteString(path, "Tarvane", "ArmourEditorSelected", value))
        std::abort();
    if (CProfileFile::ReadString(path, "tarvane", "armoureditorselected", "") != value ||
        CProfileFile::ReadString(path, "Diablo II", "Folder", "none") != other)
        std::abort();
    return 0;
}
