#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The header, hash table and block table of an MPQ archive of format version 1, the one
// Diablo II reads. Every field read is checked against the file before anything uses it, so a
// damaged archive is refused rather than copied wrongly.
class CMpqTables {
public:
    struct HashEntry {
        std::uint32_t nameA = 0;
        std::uint32_t nameB = 0;
        std::uint32_t localeAndPlatform = 0;
        std::uint32_t blockIndex = 0;
    };
    struct BlockEntry {
        std::uint32_t offset = 0; // from the header's start
        std::uint32_t storedSize = 0;
        std::uint32_t fileSize = 0;
        std::uint32_t flags = 0;
    };

    static constexpr std::uint32_t kImploded = 0x00000100;
    static constexpr std::uint32_t kCompressed = 0x00000200;
    static constexpr std::uint32_t kEncrypted = 0x00010000;
    static constexpr std::uint32_t kFixKey = 0x00020000;
    static constexpr std::uint32_t kSingleUnit = 0x01000000;
    static constexpr std::uint32_t kSectorCrc = 0x04000000;
    static constexpr std::uint32_t kHeaderSize = 32;
    static constexpr std::uint32_t kEntrySize = 16;

    // Reads `size` bytes at `offset` of the archive file; false when it cannot.
    using ReadAt = std::function<bool(std::uint64_t offset, std::uint8_t* into, std::size_t size)>;

    // The tables of the archive file of `fileSize` bytes. Nothing when it is not an archive of
    // version 1 or is damaged; `reason` then says why, to follow "is damaged" or "is": e.g.
    // "its block table reaches past the end of the file".
    static std::optional<CMpqTables> Read(std::uint64_t fileSize, const ReadAt& readAt,
                                          std::string& reason);

    // Where the header starts in the file (data in front of it, as in a self-extracting archive,
    // is not the archive's).
    std::uint64_t ArchiveOffset() const { return m_archiveOffset; }
    std::uint32_t SectorSize() const { return 512u << m_sectorSizeShift; }
    const std::vector<HashEntry>& HashTable() const { return m_hashTable; }
    const std::vector<BlockEntry>& BlockTable() const { return m_blockTable; }
    std::vector<BlockEntry>& BlockTable() { return m_blockTable; }

    // True for a block a hash table entry points to: a file of the archive.
    bool IsLive(std::uint32_t block) const { return m_live[block]; }
    // The live blocks holding data, in file order.
    std::vector<std::uint32_t> LiveBlocksInFileOrder() const;
    // The blocks the hash table gives for the archived name (one per locale).
    std::vector<std::uint32_t> BlocksOf(std::string_view name) const;

    // Bytes of the archive that neither the header, the tables nor a live block uses: mostly
    // the old copies of replaced files.
    std::uint64_t DeadBytes() const;

    // The header for tables written at `tablesOffset` (from the header's start), then the two
    // tables, encrypted: what ends a copy of the archive.
    std::string Header(std::uint32_t tablesOffset) const;
    std::string EncryptedTables() const;

private:
    std::uint64_t m_archiveOffset = 0;
    std::uint64_t m_archiveBytes = 0; // from the header to the end of the file
    std::uint16_t m_sectorSizeShift = 0;
    std::vector<HashEntry> m_hashTable;
    std::vector<BlockEntry> m_blockTable;
    std::vector<bool> m_live;
};
