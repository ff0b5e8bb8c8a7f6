#include "store/MpqTables.h"

#include "store/MpqCrypto.h"

#include <algorithm>
#include <array>

namespace {

constexpr std::uint32_t kSignature = 0x1A51504D; // "MPQ\x1A"
constexpr std::uint32_t kEmptySlot = 0xFFFFFFFF;
constexpr std::uint32_t kDeletedSlot = 0xFFFFFFFE;
constexpr std::uint64_t kHeaderAlignment = 512;
// Sectors above 256 MB are no archive's.
constexpr std::uint16_t kLargestSectorShift = 19;
// No archive has tables this long (the game reads 65536 hash entries at most); a damaged header
// could otherwise have memory taken for the whole file.
constexpr std::uint32_t kMostEntries = 1u << 20;

std::uint32_t Word(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

void AppendWord(std::string& out, std::uint32_t word) {
    for (int i = 0; i < 4; ++i)
        out += static_cast<char>(word >> (8 * i));
}

// Reads and decrypts a table of `entries` entries at `offset` from the header.
bool ReadTable(const CMpqTables::ReadAt& readAt, std::uint64_t at, std::uint32_t entries,
               std::uint32_t key, std::vector<std::uint8_t>& bytes) {
    bytes.resize(std::size_t{entries} * CMpqTables::kEntrySize);
    if (!bytes.empty() && !readAt(at, bytes.data(), bytes.size()))
        return false;
    CMpqCrypto::Decrypt(bytes.data(), bytes.size(), key);
    return true;
}

// True when the table of `entries` entries at `offset` lies inside the archive's bytes.
bool TableFits(std::uint32_t offset, std::uint32_t entries, std::uint64_t archiveBytes) {
    return std::uint64_t{offset} + std::uint64_t{entries} * CMpqTables::kEntrySize <= archiveBytes;
}

std::nullopt_t Damaged(std::string& reason, const std::string& detail) {
    reason = "the archive is damaged (" + detail + ")";
    return std::nullopt;
}

std::nullopt_t Unreadable(std::string& reason) {
    reason = "the archive could not be read";
    return std::nullopt;
}

} // namespace

std::optional<CMpqTables> CMpqTables::Read(std::uint64_t fileSize, const ReadAt& readAt,
                                           std::string& reason) {
    CMpqTables tables;
    std::array<std::uint8_t, kHeaderSize> header{};
    // The header starts at the first 512-byte boundary that holds the signature.
    bool found = false;
    for (std::uint64_t at = 0; !found && at + kHeaderSize <= fileSize; at += kHeaderAlignment) {
        if (!readAt(at, header.data(), header.size())) {
            return Unreadable(reason);
        }
        found = Word(header.data()) == kSignature;
        tables.m_archiveOffset = at;
    }
    if (!found) {
        return Damaged(reason, "no MPQ header was found");
    }
    const std::uint32_t headerSize = Word(&header[4]);
    const std::uint16_t version = static_cast<std::uint16_t>(header[12] | header[13] << 8);
    tables.m_sectorSizeShift = static_cast<std::uint16_t>(header[14] | header[15] << 8);
    const std::uint32_t hashOffset = Word(&header[16]);
    const std::uint32_t blockOffset = Word(&header[20]);
    const std::uint32_t hashEntries = Word(&header[24]);
    const std::uint32_t blockEntries = Word(&header[28]);
    tables.m_archiveBytes = fileSize - tables.m_archiveOffset;
    if (version != 0) {
        reason = "the archive is of MPQ format version " + std::to_string(version + 1) +
                 ", which Diablo II does not read";
        return std::nullopt;
    }
    if (headerSize < kHeaderSize || headerSize > tables.m_archiveBytes) {
        return Damaged(reason, "its header gives a wrong size");
    }
    if (tables.m_sectorSizeShift > kLargestSectorShift) {
        return Damaged(reason, "its header gives a wrong sector size");
    }
    if (hashEntries > kMostEntries || blockEntries > kMostEntries) {
        return Damaged(reason, "its tables are larger than any archive's");
    }
    if (!TableFits(hashOffset, hashEntries, tables.m_archiveBytes) ||
        !TableFits(blockOffset, blockEntries, tables.m_archiveBytes)) {
        return Damaged(reason, "its tables reach past the end of the file");
    }
    std::vector<std::uint8_t> bytes;
    if (!ReadTable(readAt, tables.m_archiveOffset + hashOffset, hashEntries,
                   CMpqCrypto::kHashTableKey, bytes)) {
        return Unreadable(reason);
    }
    for (std::size_t at = 0; at < bytes.size(); at += kEntrySize)
        tables.m_hashTable.push_back(
            {Word(&bytes[at]), Word(&bytes[at + 4]), Word(&bytes[at + 8]), Word(&bytes[at + 12])});
    if (!ReadTable(readAt, tables.m_archiveOffset + blockOffset, blockEntries,
                   CMpqCrypto::kBlockTableKey, bytes)) {
        return Unreadable(reason);
    }
    for (std::size_t at = 0; at < bytes.size(); at += kEntrySize)
        tables.m_blockTable.push_back(
            {Word(&bytes[at]), Word(&bytes[at + 4]), Word(&bytes[at + 8]), Word(&bytes[at + 12])});

    tables.m_live.assign(blockEntries, false);
    for (const HashEntry& entry : tables.m_hashTable) {
        if (entry.blockIndex == kEmptySlot || entry.blockIndex == kDeletedSlot)
            continue;
        if (entry.blockIndex >= blockEntries) {
            return Damaged(reason, "its hash table names a block its block table does not have");
        }
        tables.m_live[entry.blockIndex] = true;
    }
    // Every live block lies after the header and inside the file, and no two share a byte: a
    // copy would otherwise take bytes that are not the file's, or take them twice.
    std::uint64_t end = headerSize;
    for (std::uint32_t index : tables.LiveBlocksInFileOrder()) {
        const BlockEntry& block = tables.m_blockTable[index];
        const char* problem = nullptr;
        if (block.offset < headerSize)
            problem = "a file overlaps its header";
        else if (block.offset < end)
            problem = "two of its files share the same bytes";
        else if (std::uint64_t{block.offset} + block.storedSize >
                 std::min<std::uint64_t>(tables.m_archiveBytes, UINT32_MAX))
            problem = "a file reaches past the end of the file";
        if (problem != nullptr)
            return Damaged(reason, problem);
        end = std::uint64_t{block.offset} + block.storedSize;
    }
    return tables;
}

std::vector<std::uint32_t> CMpqTables::LiveBlocksInFileOrder() const {
    std::vector<std::uint32_t> blocks;
    for (std::uint32_t index = 0; index < m_blockTable.size(); ++index)
        if (m_live[index] && m_blockTable[index].storedSize != 0)
            blocks.push_back(index);
    std::stable_sort(blocks.begin(), blocks.end(), [this](std::uint32_t a, std::uint32_t b) {
        return m_blockTable[a].offset < m_blockTable[b].offset;
    });
    return blocks;
}

std::vector<std::uint32_t> CMpqTables::BlocksOf(std::string_view name) const {
    std::vector<std::uint32_t> blocks;
    const std::size_t size = m_hashTable.size();
    if (size == 0)
        return blocks;
    using Type = CMpqCrypto::HashType;
    const std::uint32_t nameA = CMpqCrypto::HashString(name, Type::NameA);
    const std::uint32_t nameB = CMpqCrypto::HashString(name, Type::NameB);
    // The search starts at the name's slot and ends at the first slot never used.
    std::size_t slot = CMpqCrypto::HashString(name, Type::TableOffset) % size;
    for (std::size_t step = 0; step < size; ++step, slot = (slot + 1) % size) {
        const HashEntry& entry = m_hashTable[slot];
        if (entry.blockIndex == kEmptySlot)
            break;
        if (entry.nameA == nameA && entry.nameB == nameB && entry.blockIndex < m_live.size())
            blocks.push_back(entry.blockIndex);
    }
    return blocks;
}

std::uint64_t CMpqTables::DeadBytes() const {
    std::uint64_t used =
        kHeaderSize + std::uint64_t{kEntrySize} * (m_hashTable.size() + m_blockTable.size());
    for (std::uint32_t index : LiveBlocksInFileOrder())
        used += m_blockTable[index].storedSize;
    return m_archiveBytes > used ? m_archiveBytes - used : 0;
}

std::string CMpqTables::Header(std::uint32_t tablesOffset) const {
    const auto hashBytes = static_cast<std::uint32_t>(m_hashTable.size() * kEntrySize);
    const auto blockBytes = static_cast<std::uint32_t>(m_blockTable.size() * kEntrySize);
    std::string header;
    AppendWord(header, kSignature);
    AppendWord(header, kHeaderSize);
    AppendWord(header, tablesOffset + hashBytes + blockBytes);
    AppendWord(header, std::uint32_t{m_sectorSizeShift} << 16); // format version 0
    AppendWord(header, tablesOffset);
    AppendWord(header, tablesOffset + hashBytes);
    AppendWord(header, static_cast<std::uint32_t>(m_hashTable.size()));
    AppendWord(header, static_cast<std::uint32_t>(m_blockTable.size()));
    return header;
}

std::string CMpqTables::EncryptedTables() const {
    std::string hash, block;
    for (const HashEntry& entry : m_hashTable)
        for (std::uint32_t word :
             {entry.nameA, entry.nameB, entry.localeAndPlatform, entry.blockIndex})
            AppendWord(hash, word);
    for (const BlockEntry& entry : m_blockTable)
        for (std::uint32_t word : {entry.offset, entry.storedSize, entry.fileSize, entry.flags})
            AppendWord(block, word);
    auto encrypt = [](std::string& bytes, std::uint32_t key) {
        CMpqCrypto::Encrypt(reinterpret_cast<std::uint8_t*>(bytes.data()), bytes.size(), key);
    };
    encrypt(hash, CMpqCrypto::kHashTableKey);
    encrypt(block, CMpqCrypto::kBlockTableKey);
    return hash + block;
}
