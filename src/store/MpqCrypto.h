#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

// The MPQ format's name hashes and its block cipher, as the game's own Storm library has them.
class CMpqCrypto {
public:
    // What a name hash is for: the hash table slot, the two check values, or a file's key.
    enum class HashType : std::uint32_t { TableOffset = 0, NameA = 1, NameB = 2, FileKey = 3 };

    // Keys of the archive's two tables.
    static constexpr std::uint32_t kHashTableKey = 0xC3AF3770;
    static constexpr std::uint32_t kBlockTableKey = 0xEC83B3A3;

    // The hash of an archived name: ASCII letters ignore case and "/" counts as "\".
    static std::uint32_t HashString(std::string_view name, HashType type);

    // Encrypts or decrypts the whole 32-bit little-endian words of `bytes` in place; a tail of
    // fewer than four bytes stays as it is, as the format wants.
    static void Encrypt(std::uint8_t* bytes, std::size_t size, std::uint32_t key);
    static void Decrypt(std::uint8_t* bytes, std::size_t size, std::uint32_t key);

    // The key of an encrypted file from its archived name; files stored with a key that depends
    // on their place mix in their offset and size.
    static std::uint32_t FileKey(std::string_view name, std::uint32_t offset, std::uint32_t size,
                                 bool fixedToPlace);

    // The key of a compressed file from its encrypted sector offset table (`size` bytes), whose
    // first entry is the table's own size: the key the file's sectors use (the table itself is
    // encrypted with one less). Nothing unless exactly one key gives a table whose offsets
    // rise and stay within `storedSize`.
    static std::optional<std::uint32_t>
    KeyFromSectorTable(const std::uint8_t* table, std::uint32_t size, std::uint32_t storedSize);

    // True when the encrypted sector offset table decrypts, for the file key `key`, to offsets
    // that start with the table's own size, rise and stay within `storedSize`.
    static bool SectorTableFits(const std::uint8_t* table, std::uint32_t size,
                                std::uint32_t storedSize, std::uint32_t key);
};
