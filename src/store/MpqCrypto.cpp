#include "store/MpqCrypto.h"

#include <array>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kCryptTableSize = 0x500;
constexpr std::uint32_t kSeed2Start = 0xEEEEEEEE;

// The format's fixed table of 1280 words, the same every time.
const std::array<std::uint32_t, kCryptTableSize>& CryptTable() {
    static const std::array<std::uint32_t, kCryptTableSize> table = [] {
        std::array<std::uint32_t, kCryptTableSize> values{};
        std::uint32_t seed = 0x00100001;
        for (std::size_t first = 0; first < 0x100; ++first)
            for (std::size_t index = first; index < kCryptTableSize; index += 0x100) {
                seed = (seed * 125 + 3) % 0x2AAAAB;
                const std::uint32_t high = (seed & 0xFFFF) << 16;
                seed = (seed * 125 + 3) % 0x2AAAAB;
                values[index] = high | (seed & 0xFFFF);
            }
        return values;
    }();
    return table;
}

std::uint32_t LoadWord(const std::uint8_t* bytes) {
    return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
           std::uint32_t{bytes[3]} << 24;
}

void StoreWord(std::uint8_t* bytes, std::uint32_t word) {
    for (int i = 0; i < 4; ++i)
        bytes[i] = static_cast<std::uint8_t>(word >> (8 * i));
}

std::uint32_t NextSeed1(std::uint32_t seed1) {
    return ((~seed1 << 0x15) + 0x11111111) | (seed1 >> 0x0B);
}

// Both directions share the key stream; it follows the plain words.
template <bool kEncrypt> void Crypt(std::uint8_t* bytes, std::size_t size, std::uint32_t key) {
    const auto& table = CryptTable();
    std::uint32_t seed1 = key;
    std::uint32_t seed2 = kSeed2Start;
    for (std::size_t at = 0; at + 4 <= size; at += 4) {
        seed2 += table[0x400 + (seed1 & 0xFF)];
        const std::uint32_t in = LoadWord(bytes + at);
        const std::uint32_t out = in ^ (seed1 + seed2);
        const std::uint32_t plain = kEncrypt ? in : out;
        seed1 = NextSeed1(seed1);
        seed2 = plain + seed2 + (seed2 << 5) + 3;
        StoreWord(bytes + at, out);
    }
}

} // namespace

std::uint32_t CMpqCrypto::HashString(std::string_view name, HashType type) {
    const auto& table = CryptTable();
    const std::size_t base = static_cast<std::size_t>(type) * 0x100;
    std::uint32_t seed1 = 0x7FED7FED;
    std::uint32_t seed2 = kSeed2Start;
    for (char c : name) {
        std::uint32_t ch = static_cast<unsigned char>(c);
        if (ch >= 'a' && ch <= 'z')
            ch -= 'a' - 'A';
        else if (ch == '/')
            ch = '\\';
        seed1 = table[base + ch] ^ (seed1 + seed2);
        seed2 = ch + seed1 + seed2 + (seed2 << 5) + 3;
    }
    return seed1;
}

void CMpqCrypto::Encrypt(std::uint8_t* bytes, std::size_t size, std::uint32_t key) {
    Crypt<true>(bytes, size, key);
}

void CMpqCrypto::Decrypt(std::uint8_t* bytes, std::size_t size, std::uint32_t key) {
    Crypt<false>(bytes, size, key);
}

std::uint32_t CMpqCrypto::FileKey(std::string_view name, std::uint32_t offset, std::uint32_t size,
                                  bool fixedToPlace) {
    // Only the part after the last folder counts.
    const std::size_t slash = name.find_last_of("\\/");
    if (slash != std::string_view::npos)
        name.remove_prefix(slash + 1);
    const std::uint32_t key = HashString(name, HashType::FileKey);
    return fixedToPlace ? (key + offset) ^ size : key;
}

bool CMpqCrypto::SectorTableFits(const std::uint8_t* table, std::uint32_t size,
                                 std::uint32_t storedSize, std::uint32_t key) {
    if (size < 8 || size % 4 != 0)
        return false;
    std::vector<std::uint8_t> plain(table, table + size);
    Decrypt(plain.data(), size, key - 1);
    for (std::uint32_t at = 4; at < size; at += 4)
        if (LoadWord(&plain[at]) < LoadWord(&plain[at - 4]))
            return false;
    return LoadWord(plain.data()) == size && LoadWord(&plain[size - 4]) <= storedSize;
}

std::optional<std::uint32_t> CMpqCrypto::KeyFromSectorTable(const std::uint8_t* table,
                                                            std::uint32_t size,
                                                            std::uint32_t storedSize) {
    if (size < 8 || size % 4 != 0)
        return std::nullopt;
    // The first plain word is known, so the key's low byte is the only unknown: try each.
    const auto& crypt = CryptTable();
    const std::uint32_t stream = LoadWord(table) ^ size;
    std::optional<std::uint32_t> found;
    for (std::uint32_t low = 0; low < 0x100; ++low) {
        const std::uint32_t key = stream - kSeed2Start - crypt[0x400 + low];
        if ((key & 0xFF) != low || !SectorTableFits(table, size, storedSize, key + 1))
            continue;
        // Two keys that both fit leave the file's key unknown.
        if (found)
            return std::nullopt;
        found = key + 1;
    }
    return found;
}
