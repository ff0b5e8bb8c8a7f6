// The archive table reader on any bytes: it must never read outside the file, and tables it
// accepted, written after the files they describe, must read back the same.
#include "store/MpqTables.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>

namespace {

std::optional<CMpqTables> ReadFrom(const std::string& file) {
    std::string reason;
    auto tables = CMpqTables::Read(
        file.size(),
        [&file](std::uint64_t offset, std::uint8_t* into, std::size_t size) {
            if (offset > file.size() || size > file.size() - offset)
                return false;
            std::memcpy(into, file.data() + offset, size);
            return true;
        },
        reason);
    if (!tables && reason.empty())
        std::abort();
    return tables;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    std::optional<CMpqTables> tables = ReadFrom(file);
    if (!tables)
        return 0;
    tables->BlocksOf(file.substr(0, std::min<size_t>(size, 16)));
    std::uint64_t end = CMpqTables::kHeaderSize;
    for (std::uint32_t index : tables->LiveBlocksInFileOrder()) {
        const CMpqTables::BlockEntry& block = tables->BlockTable()[index];
        end = std::max<std::uint64_t>(end, std::uint64_t{block.offset} + block.storedSize);
    }
    if (tables->ArchiveOffset() + end > size || tables->DeadBytes() > size)
        std::abort();
    const auto tablesAt = static_cast<std::uint32_t>(end);
    std::string written = file.substr(0, tables->ArchiveOffset() + end) + tables->EncryptedTables();
    written.replace(tables->ArchiveOffset(), CMpqTables::kHeaderSize, tables->Header(tablesAt));
    std::optional<CMpqTables> again = ReadFrom(written);
    if (!again || again->BlockTable().size() != tables->BlockTable().size() ||
        again->HashTable().size() != tables->HashTable().size() ||
        again->LiveBlocksInFileOrder() != tables->LiveBlocksInFileOrder())
        std::abort();
    return 0;
}
