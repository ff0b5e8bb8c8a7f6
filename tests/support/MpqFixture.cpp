#include "MpqFixture.h"

#include <StormLib.h>
#include <cstring>
#include <fstream>
#include <iterator>

namespace {

struct Archive {
    HANDLE handle = nullptr;
    ~Archive() {
        if (handle != nullptr)
            SFileCloseArchive(handle);
    }
};

bool OpenForReading(const std::string& path, Archive& archive) {
    return SFileOpenArchive(path.c_str(), 0, MPQ_OPEN_READ_ONLY, &archive.handle);
}

} // namespace

bool MakeArchive(const std::string& path, const ArchiveFiles& files,
                 const ArchiveOptions& options) {
    SFILE_CREATE_MPQ create;
    std::memset(&create, 0, sizeof create);
    create.cbSize = sizeof create;
    create.dwMpqVersion = MPQ_FORMAT_VERSION_1;
    create.dwFileFlags1 = options.listFile ? MPQ_FILE_DEFAULT_INTERNAL : 0;
    create.dwSectorSize = 0x1000;
    create.dwMaxFileCount = options.maxFiles;
    Archive archive;
    if (!SFileCreateArchive2(path.c_str(), &create, &archive.handle))
        return false;
    for (const auto& [name, content] : files) {
        auto extra = options.flagsByName.find(name);
        const DWORD flags = MPQ_FILE_REPLACEEXISTING |
                            (options.encrypted ? MPQ_FILE_ENCRYPTED : 0) |
                            (extra != options.flagsByName.end() ? extra->second : 0);
        const DWORD compression = (flags & MPQ_FILE_COMPRESS) != 0 ? MPQ_COMPRESSION_PKWARE : 0;
        HANDLE file = nullptr;
        if (!SFileCreateFile(archive.handle, name.c_str(), 0, static_cast<DWORD>(content.size()), 0,
                             flags, &file))
            return false;
        bool written =
            content.empty() ||
            SFileWriteFile(file, content.data(), static_cast<DWORD>(content.size()), compression);
        if (!SFileFinishFile(file) || !written)
            return false;
    }
    bool closed = SFileCloseArchive(archive.handle);
    archive.handle = nullptr;
    return closed;
}

namespace {

std::optional<std::string> ReadOpenArchive(HANDLE archive, const std::string& name) {
    HANDLE file = nullptr;
    if (!SFileOpenFileEx(archive, name.c_str(), SFILE_OPEN_FROM_MPQ, &file))
        return std::nullopt;
    std::string content(SFileGetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    bool ok =
        content.empty() ||
        (SFileReadFile(file, content.data(), static_cast<DWORD>(content.size()), &read, nullptr) &&
         read == content.size());
    SFileCloseFile(file);
    if (!ok)
        return std::nullopt;
    return content;
}

} // namespace

std::optional<std::string> ReadArchived(const std::string& path, const std::string& name) {
    Archive archive;
    if (!OpenForReading(path, archive))
        return std::nullopt;
    return ReadOpenArchive(archive.handle, name);
}

std::map<std::string, std::optional<std::string>> ReadEveryFile(const std::string& path) {
    std::map<std::string, std::optional<std::string>> files;
    Archive archive;
    if (!OpenForReading(path, archive))
        return files;
    SFILE_FIND_DATA found;
    HANDLE find = SFileFindFirstFile(archive.handle, "*", &found, nullptr);
    for (bool more = find != nullptr; more; more = SFileFindNextFile(find, &found))
        files[found.cFileName] = ReadOpenArchive(archive.handle, found.cFileName);
    if (find != nullptr)
        SFileFindClose(find);
    return files;
}

int CountArchived(const std::string& path) {
    Archive archive;
    if (!OpenForReading(path, archive))
        return -1;
    DWORD count = 0;
    if (!SFileGetFileInfo(archive.handle, SFileMpqNumberOfFiles, &count, sizeof count, nullptr))
        return -1;
    return static_cast<int>(count);
}

std::uint32_t HashTableSize(const std::string& path) {
    Archive archive;
    if (!OpenForReading(path, archive))
        return 0;
    DWORD size = 0;
    SFileGetFileInfo(archive.handle, SFileMpqHashTableSize, &size, sizeof size, nullptr);
    return size;
}

std::optional<StoredFile> ReadStored(const std::string& path, const std::string& name) {
    StoredFile stored;
    ULONGLONG offset = 0;
    DWORD storedSize = 0;
    {
        Archive archive;
        if (!OpenForReading(path, archive))
            return std::nullopt;
        HANDLE file = nullptr;
        if (!SFileOpenFileEx(archive.handle, name.c_str(), SFILE_OPEN_FROM_MPQ, &file))
            return std::nullopt;
        DWORD flags = 0;
        bool ok = SFileGetFileInfo(file, SFileInfoFlags, &flags, sizeof flags, nullptr) &&
                  SFileGetFileInfo(file, SFileInfoByteOffset, &offset, sizeof offset, nullptr) &&
                  SFileGetFileInfo(file, SFileInfoCompressedSize, &storedSize, sizeof storedSize,
                                   nullptr) &&
                  SFileGetFileInfo(archive.handle, SFileMpqSectorSize, &stored.sectorSize,
                                   sizeof stored.sectorSize, nullptr);
        SFileCloseFile(file);
        if (!ok)
            return std::nullopt;
        stored.flags = flags;
    }
    std::ifstream in(path, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset));
    stored.raw.resize(storedSize);
    if (!in.read(stored.raw.data(), static_cast<std::streamsize>(storedSize)))
        return std::nullopt;
    return stored;
}

std::string Noise(std::size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    for (auto& byte : bytes) {
        seed = seed * 1103515245u + 12345u;
        byte = static_cast<char>(seed >> 16);
    }
    return bytes;
}
