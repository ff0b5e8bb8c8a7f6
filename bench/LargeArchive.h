#pragma once

// The 250 MB archive the save benchmarks write into: 250 files of 1 MB of noise (so that
// nothing compresses) plus whatever files a benchmark puts in beside them.

#include <StormLib.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

namespace bench {

inline std::string Bytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<char>(seed >> 16);
    }
    return bytes;
}

inline bool AddFromMemory(HANDLE archive, const std::string& name, const std::string& content) {
    HANDLE file = nullptr;
    if (!SFileCreateFile(archive, name.c_str(), 0, static_cast<DWORD>(content.size()), 0,
                         MPQ_FILE_REPLACEEXISTING, &file))
        return false;
    bool written = SFileWriteFile(file, content.data(), static_cast<DWORD>(content.size()), 0);
    return SFileFinishFile(file) && written;
}

// A fresh folder under the temporary folder; "" when it cannot be made.
inline std::string MakeTempFolder() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "tarvane-bench-XXXXXX").string();
    return ::mkdtemp(pattern.data()) == nullptr ? "" : pattern;
}

// Makes the archive at `path` with the bulk files and `files` (archived name, content).
inline bool MakeLargeArchive(const std::string& path,
                             const std::vector<std::pair<std::string, std::string>>& files) {
    constexpr int kBulkFiles = 250;
    constexpr size_t kBulkFileSize = size_t{1} << 20;
    HANDLE archive = nullptr;
    if (!SFileCreateArchive(path.c_str(), MPQ_CREATE_LISTFILE | MPQ_CREATE_ARCHIVE_V1, 1000,
                            &archive))
        return false;
    bool ok = true;
    for (int i = 0; ok && i < kBulkFiles; ++i)
        ok = AddFromMemory(archive, "Data\\bulk\\file" + std::to_string(i) + ".bin",
                           Bytes(kBulkFileSize, static_cast<unsigned>(i)));
    for (const auto& [name, content] : files)
        ok = ok && AddFromMemory(archive, name, content);
    return SFileCloseArchive(archive) && ok;
}

} // namespace bench
