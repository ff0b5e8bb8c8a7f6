#include "store/MpqCompactor.h"

#include "platform/BinaryFile.h"
#include "platform/FileSystem.h"
#include "store/MpqCrypto.h"
#include "store/MpqTables.h"

#include <cerrno>
#include <map>
#include <optional>

namespace {

using Block = CMpqTables::BlockEntry;

// Names every archive made by the usual tools may hold besides its own files.
const char* const kInternalNames[] = {"(listfile)", "(attributes)", "(signature)"};

// Where a live block goes, and with which keys it is encrypted anew (none: copied unchanged).
struct Move {
    std::uint32_t block = 0;
    std::uint32_t from = 0;
    std::uint32_t to = 0;
    std::optional<std::uint32_t> oldKey;
};

bool NeedsKeyToMove(const Block& block) {
    const std::uint32_t fixed = CMpqTables::kEncrypted | CMpqTables::kFixKey;
    return (block.flags & fixed) == fixed;
}

bool HasSectorTable(const Block& block) {
    return (block.flags & (CMpqTables::kCompressed | CMpqTables::kImploded)) != 0 &&
           (block.flags & CMpqTables::kSingleUnit) == 0;
}

std::uint32_t SectorCount(const Block& block, std::uint32_t sectorSize) {
    return static_cast<std::uint32_t>((std::uint64_t{block.fileSize} + sectorSize - 1) /
                                      sectorSize);
}

// Bytes of a block's sector offset table; more than the block holds when its sizes are damaged.
std::uint64_t SectorTableSize(const Block& block, std::uint32_t sectorSize) {
    const std::uint64_t entries = std::uint64_t{SectorCount(block, sectorSize)} + 1 +
                                  ((block.flags & CMpqTables::kSectorCrc) != 0 ? 1 : 0);
    return entries * 4;
}

std::uint32_t Word(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

void Recrypt(std::uint8_t* bytes, std::uint32_t size, std::uint32_t oldKey, std::uint32_t newKey) {
    CMpqCrypto::Decrypt(bytes, size, oldKey);
    CMpqCrypto::Encrypt(bytes, size, newKey);
}

// Encrypts the stored bytes of a block anew for `newKey`. False when its sector table does not
// fit the block; the bytes are then not to be used.
bool Reencrypt(std::vector<std::uint8_t>& bytes, const Block& block, std::uint32_t sectorSize,
               std::uint32_t oldKey, std::uint32_t newKey) {
    const auto size = static_cast<std::uint32_t>(bytes.size());
    if ((block.flags & CMpqTables::kSingleUnit) != 0) {
        Recrypt(bytes.data(), size, oldKey, newKey);
        return true;
    }
    const std::uint32_t sectors = SectorCount(block, sectorSize);
    if (!HasSectorTable(block)) {
        for (std::uint32_t i = 0; i < sectors && std::uint64_t{i} * sectorSize < size; ++i) {
            const std::uint32_t start = i * sectorSize;
            Recrypt(&bytes[start], std::min(sectorSize, size - start), oldKey + i, newKey + i);
        }
        return true;
    }
    const std::uint64_t tableSize = SectorTableSize(block, sectorSize);
    if (tableSize > size)
        return false;
    const auto table = static_cast<std::uint32_t>(tableSize);
    CMpqCrypto::Decrypt(bytes.data(), table, oldKey - 1);
    // Sector checksums and anything after the last sector are never encrypted.
    for (std::uint32_t i = 0; i < sectors; ++i) {
        const std::uint32_t start = Word(&bytes[4 * i]);
        const std::uint32_t end = Word(&bytes[4 * (i + 1)]);
        if (start > end || end > size)
            return false;
        Recrypt(&bytes[start], end - start, oldKey + i, newKey + i);
    }
    CMpqCrypto::Encrypt(bytes.data(), table, newKey - 1);
    return true;
}

// The block's sector offset table as stored; empty when the block has none or it does not fit.
std::vector<std::uint8_t> StoredSectorTable(const CBinaryFile& in, std::uint64_t archiveOffset,
                                            const Block& block, std::uint32_t sectorSize) {
    const std::uint64_t tableSize = SectorTableSize(block, sectorSize);
    std::vector<std::uint8_t> table;
    if (!HasSectorTable(block) || tableSize > block.storedSize)
        return table;
    table.resize(tableSize);
    if (!in.ReadAt(archiveOffset + block.offset, table.data(), table.size()))
        table.clear();
    return table;
}

// The key of a block for its move, from its name when known, else from its sector offset table.
// A name's key is checked against the table too, where there is one.
std::optional<std::uint32_t> KeyOf(const CBinaryFile& in, const CMpqTables& tables,
                                   const Block& block, std::optional<std::uint32_t> keyByName) {
    const std::vector<std::uint8_t> table =
        StoredSectorTable(in, tables.ArchiveOffset(), block, tables.SectorSize());
    if (!HasSectorTable(block))
        return keyByName;
    if (table.empty())
        return std::nullopt;
    const auto size = static_cast<std::uint32_t>(table.size());
    if (!keyByName)
        return CMpqCrypto::KeyFromSectorTable(table.data(), size, block.storedSize);
    if (!CMpqCrypto::SectorTableFits(table.data(), size, block.storedSize, *keyByName))
        return std::nullopt;
    return keyByName;
}

// The new key of a block that moves from `from` to `to`: its key less its old place, plus its
// new one.
std::uint32_t MovedKey(std::uint32_t key, const Block& block, std::uint32_t from,
                       std::uint32_t to) {
    return (((key ^ block.fileSize) - from) + to) ^ block.fileSize;
}

bool WriteMoves(CBinaryFile& in, CBinaryFile& out, const CMpqTables& tables,
                const std::vector<Move>& moves) {
    const std::uint64_t base = tables.ArchiveOffset();
    if (base > 0 && !out.CopyFrom(in, 0, base, 0))
        return false;
    // Neighbours that move by the same distance go in one copy.
    for (std::size_t first = 0; first < moves.size();) {
        const Move& move = moves[first];
        const Block& block = tables.BlockTable()[move.block];
        if (move.oldKey) {
            std::vector<std::uint8_t> bytes(block.storedSize);
            const std::uint32_t newKey = MovedKey(*move.oldKey, block, move.from, move.to);
            if (!in.ReadAt(base + move.from, bytes.data(), bytes.size()))
                return false;
            if (!Reencrypt(bytes, block, tables.SectorSize(), *move.oldKey, newKey)) {
                errno = EINVAL;
                return false;
            }
            if (!out.WriteAt(base + move.to, bytes.data(), bytes.size()))
                return false;
            ++first;
            continue;
        }
        std::uint64_t length = block.storedSize;
        std::size_t next = first + 1;
        for (; next < moves.size() && !moves[next].oldKey &&
               moves[next].from == move.from + length && moves[next].to == move.to + length;
             ++next)
            length += tables.BlockTable()[moves[next].block].storedSize;
        if (!out.CopyFrom(in, base + move.from, length, base + move.to))
            return false;
        first = next;
    }
    return true;
}

} // namespace

CMpqCompactor::Result CMpqCompactor::Copy(const std::string& source, const std::string& target,
                                          const std::vector<std::string>& knownNames) {
    Result result;
    CBinaryFile in;
    if (!in.OpenForReading(source)) {
        result.error = errno != 0 ? errno : EIO;
        return result;
    }
    std::optional<CMpqTables> tables = CMpqTables::Read(
        in.Size(),
        [&in](std::uint64_t offset, std::uint8_t* into, std::size_t size) {
            return in.ReadAt(offset, into, size);
        },
        result.refusal);
    if (!tables)
        return result;
    // Nothing to take out: the plain copy, which the file system may even share.
    if (tables->DeadBytes() == 0) {
        if (!CopyToNewFile(source, target, false, &result.size))
            result.error = errno != 0 ? errno : EIO;
        return result;
    }

    const std::vector<Block>& blocks = tables->BlockTable();
    std::map<std::uint32_t, std::uint32_t> keysByName;
    std::vector<std::string> names = knownNames;
    names.insert(names.end(), std::begin(kInternalNames), std::end(kInternalNames));
    for (const std::string& name : names)
        for (std::uint32_t index : tables->BlocksOf(name))
            if (NeedsKeyToMove(blocks[index]))
                keysByName[index] =
                    CMpqCrypto::FileKey(name, blocks[index].offset, blocks[index].fileSize, true);

    std::vector<Move> moves;
    std::uint32_t end = CMpqTables::kHeaderSize;
    for (std::uint32_t index : tables->LiveBlocksInFileOrder()) {
        const Block& block = blocks[index];
        Move move{index, block.offset, end, std::nullopt};
        if (move.to != move.from && NeedsKeyToMove(block)) {
            auto known = keysByName.find(index);
            move.oldKey =
                KeyOf(in, *tables, block,
                      known != keysByName.end() ? std::optional(known->second) : std::nullopt);
            if (!move.oldKey) {
                move.to = move.from;
                ++result.keptInPlace;
            }
        }
        result.deadLeft += move.to - end;
        end = move.to + block.storedSize;
        moves.push_back(move);
    }

    CMpqTables compacted = *tables;
    for (std::uint32_t index = 0; index < blocks.size(); ++index) {
        Block& block = compacted.BlockTable()[index];
        if (!tables->IsLive(index))
            block = Block{}; // its bytes are not copied
        else if (block.storedSize == 0 && block.offset > end)
            block.offset = end;
    }
    for (const Move& move : moves)
        compacted.BlockTable()[move.block].offset = move.to;

    CBinaryFile out;
    if (!out.CreateNew(target)) {
        result.error = errno != 0 ? errno : EIO;
        return result;
    }
    const std::string header = compacted.Header(end);
    const std::string tail = compacted.EncryptedTables();
    const std::uint64_t base = tables->ArchiveOffset();
    // Offsets in a version-1 archive have 32 bits.
    if (std::uint64_t{end} + tail.size() > UINT32_MAX) {
        out.Close();
        RemoveFile(target);
        result.refusal = "the archive is too large for its format";
        return result;
    }
    result.size = base + end + tail.size();
    if (!WriteMoves(in, out, *tables, moves) || !out.WriteAt(base, header.data(), header.size()) ||
        !out.WriteAt(base + end, tail.data(), tail.size()) || !out.Resize(result.size) ||
        !out.Close()) {
        result.error = errno != 0 ? errno : EIO;
        out.Close();
        RemoveFile(target);
        return result;
    }
    result.takenOut = in.Size() > result.size ? in.Size() - result.size : 0;
    return result;
}
