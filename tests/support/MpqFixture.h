#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// Archives for the tests, built and read with StormLib directly (not through CMpqArchive).
// Paths are native.

// Archived name, then content.
using ArchiveFiles = std::vector<std::pair<std::string, std::string>>;

struct ArchiveOptions {
    // The game's own archives carry no "(listfile)": their names are unknown to StormLib.
    bool listFile = true;
    // Files stored encrypted, as in the game's archives.
    bool encrypted = false;
    std::uint32_t maxFiles = 1000;
    // StormLib file flags (MPQ_FILE_...) for single files, besides the ones above; compressed
    // files are compressed with PKWARE.
    std::map<std::string, std::uint32_t> flagsByName = {};
};

// Makes a version-1 archive at `path` (which must not exist). False on any StormLib failure. A
// name given twice replaces the earlier file, which leaves its space unused, as saves do.
bool MakeArchive(const std::string& path, const ArchiveFiles& files,
                 const ArchiveOptions& options = {});

// The content of an archived file, or nothing when the archive or the name cannot be read.
std::optional<std::string> ReadArchived(const std::string& path, const std::string& name);

// Number of files the archive holds (its own "(listfile)" included), or -1 if it does not open.
int CountArchived(const std::string& path);

// Every file StormLib finds in the archive, by the name it finds: its content, or nothing where
// StormLib cannot read it. Without a list of names StormLib makes up names from the block numbers.
std::map<std::string, std::optional<std::string>> ReadEveryFile(const std::string& path);

// The hash table size of the archive, 0 when it does not open.
std::uint32_t HashTableSize(const std::string& path);

// Block flags and the raw bytes of the archived file as stored (compressed), for checking how
// it was stored. Nothing when it cannot be read.
struct StoredFile {
    std::uint32_t flags = 0;
    std::uint32_t sectorSize = 0; // of the archive
    std::string raw;
};
std::optional<StoredFile> ReadStored(const std::string& path, const std::string& name);

// Bytes that do not compress (the same for the same seed): stored sizes tell how much data an
// archive carries, and copying a large archive takes a while.
std::string Noise(std::size_t size, unsigned seed);
