#pragma once

// Game-sized archives for the benchmarks: 10,250 files and 250 MB as the game's d2data.mpq,
// with a list of names (as archives made by tools carry) or without (as the game's own).
// 250 files of 1 MB of noise (so that nothing compresses) and 10,000 small ones, plus whatever
// files a benchmark puts in beside them.

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

// Whether an archive carries its list of names.
enum class Names { Listed, Unlisted };

inline const char* NamesLabel(Names names) {
    return names == Names::Listed ? "with list of names" : "without list of names";
}

// Makes the archive at `path` with `large` files of 1 MB, `small` files of 512 bytes and `files`
// (archived name, content).
inline bool MakeArchive(const std::string& path,
                        const std::vector<std::pair<std::string, std::string>>& files, Names names,
                        int large, int small) {
    constexpr size_t kLargeFileSize = size_t{1} << 20;
    constexpr size_t kSmallFileSize = 512;
    const DWORD count = static_cast<DWORD>(large + small) + static_cast<DWORD>(files.size());
    DWORD hashTable = 1024;
    while (hashTable < count + count / 4)
        hashTable *= 2;
    HANDLE archive = nullptr;
    const DWORD flags = MPQ_CREATE_ARCHIVE_V1 | (names == Names::Listed ? MPQ_CREATE_LISTFILE : 0);
    if (!SFileCreateArchive(path.c_str(), flags, hashTable, &archive))
        return false;
    bool ok = true;
    for (int i = 0; ok && i < large; ++i)
        ok = AddFromMemory(archive, "Data\\bulk\\file" + std::to_string(i) + ".bin",
                           Bytes(kLargeFileSize, static_cast<unsigned>(i)));
    for (int i = 0; ok && i < small; ++i)
        ok = AddFromMemory(archive, "Data\\global\\small" + std::to_string(i) + ".dat",
                           Bytes(kSmallFileSize, 5000u + static_cast<unsigned>(i)));
    for (const auto& [name, content] : files)
        ok = ok && AddFromMemory(archive, name, content);
    return SFileCloseArchive(archive) && ok;
}

// The game-sized archive at `path`, holding `files` besides its own.
inline bool MakeLargeArchive(const std::string& path,
                             const std::vector<std::pair<std::string, std::string>>& files,
                             Names names = Names::Listed) {
    return MakeArchive(path, files, names, 250, 10000);
}

} // namespace bench
