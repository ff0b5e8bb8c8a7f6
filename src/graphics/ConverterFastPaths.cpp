#include "graphics/ConverterFastPaths.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

// What every routine here relies on:
// - Words are loaded with memcpy from byte buffers, so no alignment is needed, and byte j of a
//   word is bit 8j up: the processor is little-endian (checked below).
// - A word is only loaded when all of its bytes lie inside the buffer (the callers' room checks).
// - The masks of a word carry one bit per byte, bit j for byte j, so a table indexed by them
//   has 256 entries for 8 bytes; a 16-byte word is looked up in two halves.
// - In PCX data every byte from 0xC0 up starts a run whose value is the next byte, so of a row
//   of such bytes every second one, from the first, is a run and the others are values. A run
//   of one pixel (0xC1) is a single pixel like a plain byte; any other run ends a fast path.
// - A fast path stores a pixel only at a place the plain path would store the same value, or
//   at one it overwrites later; it never stores past the room the caller checked or gave.

namespace {

static_assert(std::endian::native == std::endian::little, "the word paths read words");

// One bit per byte of a little-endian word (bit j for byte j): the bytes from 0xC0 up.
uint32_t HighByteMask(uint64_t v) {
    const uint64_t high = v & (v << 1) & 0x8080808080808080ull;
    return static_cast<uint32_t>(((high >> 7) * 0x0102040810204080ull) >> 56);
}

// One bit per byte: the bytes equal to `value`.
uint32_t ByteMask(uint64_t v, uint8_t value) {
    const uint64_t y = v ^ (0x0101010101010101ull * value);
    const uint64_t zero =
        ~(((y & 0x7F7F7F7F7F7F7F7Full) + 0x7F7F7F7F7F7F7F7Full) | y) & 0x8080808080808080ull;
    return static_cast<uint32_t>(((zero >> 7) * 0x0102040810204080ull) >> 56);
}

// For each 8-bit mask of escape bytes: how many of the eight bytes are kept (all but the
// escapes, whose values take their places).
struct KeptTable {
    uint8_t kept[256] = {};
};
constexpr KeptTable MakeKeptTable() {
    KeptTable table;
    for (int mask = 0; mask < 256; ++mask)
        table.kept[mask] = static_cast<uint8_t>(8 - std::popcount(static_cast<unsigned>(mask)));
    return table;
}
constexpr KeptTable kKeptTable = MakeKeptTable();

// For each 8-bit mask of pixels from 0xC0 up: the place of every pixel's value in the coded
// bytes, each such pixel taking one more byte for its escape before it.
struct ExpandTable {
    uint64_t place[256] = {};
};
constexpr ExpandTable MakeExpandTable() {
    ExpandTable table;
    for (int mask = 0; mask < 256; ++mask) {
        int at = 0;
        for (int j = 0; j < 8; ++j) {
            at += mask >> j & 1;
            table.place[mask] |= static_cast<uint64_t>(at) << (8 * j);
            ++at;
        }
    }
    return table;
}
constexpr ExpandTable kExpandTable = MakeExpandTable();

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define TARVANE_PCX_SSSE3 1

// For each 8-bit mask of bytes to keep: their indices, packed to the front, for a byte shuffle.
struct ShuffleTable {
    uint8_t index[256][8] = {};
};
constexpr ShuffleTable MakeShuffleTable() {
    ShuffleTable table;
    for (int mask = 0; mask < 256; ++mask) {
        int n = 0;
        for (int j = 0; j < 8; ++j)
            if (mask >> j & 1)
                table.index[mask][n++] = static_cast<uint8_t>(j);
    }
    return table;
}
constexpr ShuffleTable kShuffleTable = MakeShuffleTable();

// Sixteen bytes at a time while they hold only single pixels: byte shuffles pack the kept
// bytes (all but the escapes) to the front of each half, and nothing branches on escapes, which
// come at random in real pictures. A word may end between an escape and its value: the escape
// is then carried, and the next word's first byte is its value. Returns the carry. Only called
// where the processor has SSSE3.
__attribute__((target("ssse3"))) uint32_t ReadPcxWords16(const uint8_t* p, size_t size,
                                                         uint8_t* out, size_t total, int32_t width,
                                                         PcxCursor& c) {
    uint32_t carry = 0;
    const __m128i highBits = _mm_set1_epi8(static_cast<char>(0xC0));
    const __m128i escape = _mm_set1_epi8(static_cast<char>(0xC1));
    const __m128i upperHalf = _mm_set1_epi8(8);
    while (width - c.x >= 16 && c.at + 16 <= total && c.pos + 16 <= size) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + c.pos));
        const uint32_t high = static_cast<uint32_t>(_mm_movemask_epi8(
                                  _mm_cmpeq_epi8(_mm_and_si128(v, highBits), highBits))) &
                              ~carry;
        // Of a row of high bytes every second one, from the first, is an escape: the even ones
        // of rows that start on an even byte, the odd ones of the others.
        const uint32_t starts = high & ~(high << 1);
        const uint32_t evenRuns = high & ~(high + (starts & 0x5555u));
        const uint32_t escapes = ((evenRuns & 0x5555u) | (high & ~evenRuns & 0xAAAAu)) & 0xFFFFu;
        if (escapes & ~static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, escape))))
            return carry; // a real run
        const uint32_t keepLow = ~escapes & 0xFFu, keepHigh = (~escapes >> 8) & 0xFFu;
        const __m128i low = _mm_shuffle_epi8(
            v, _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kShuffleTable.index[keepLow])));
        const __m128i highHalf = _mm_shuffle_epi8(
            v, _mm_add_epi8(
                   _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kShuffleTable.index[keepHigh])),
                   upperHalf));
        const uint32_t keptLow = kKeptTable.kept[escapes & 0xFFu];
        const uint32_t kept = keptLow + kKeptTable.kept[escapes >> 8];
        // Eight bytes stored from each place: within the sixteen the room check allows.
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + c.at), low);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out + c.at + keptLow), highHalf);
        c.pos += 16;
        c.at += kept;
        c.x += static_cast<int32_t>(kept);
        carry = escapes >> 15;
    }
    return carry;
}

bool HasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}
#endif

} // namespace

void ReadPcxSinglePixels(const uint8_t* data, size_t size, uint8_t* out, size_t total,
                         int32_t width, PcxCursor& cursor) {
#ifdef TARVANE_PCX_SSSE3
    if (HasSsse3()) {
        // An escape taken last is given back, so the caller reads it with its value.
        cursor.pos -= ReadPcxWords16(data, size, out, total, width, cursor);
    }
#else
    (void)data, (void)size, (void)out, (void)total, (void)width, (void)cursor;
#endif
}

size_t CountPcxEscapes(const uint8_t* pixels, size_t count) {
    size_t escapes = 0, i = 0;
    while (count - i >= 8) {
        // One counter a byte, summed up before any of them can overflow.
        uint64_t counts = 0;
        const size_t words = std::min<size_t>((count - i) / 8, 255);
        for (size_t w = 0; w < words; ++w, i += 8) {
            uint64_t v;
            std::memcpy(&v, pixels + i, 8);
            counts += (v & (v << 1) & 0x8080808080808080ull) >> 7;
        }
        const uint64_t pairs =
            (counts & 0x00FF00FF00FF00FFull) + (counts >> 8 & 0x00FF00FF00FF00FFull);
        escapes += (pairs * 0x0001000100010001ull) >> 48;
    }
    for (; i < count; ++i)
        escapes += pixels[i] >= 0xC0;
    return escapes;
}

uint8_t* WritePcxPixels(const uint8_t* pixels, size_t count, uint8_t* out) {
    // Eight pixels at a time: sixteen escape bytes first, then every value at its place, which
    // leaves an escape just before each value from 0xC0 up. Of the sixteen, those past the
    // word's coding are scratch the next word (or the caller's room) takes.
    constexpr uint64_t kEscapes = 0xC1C1C1C1C1C1C1C1ull;
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        uint64_t v;
        std::memcpy(&v, pixels + i, 8);
        const uint32_t high = HighByteMask(v);
        const uint64_t places = kExpandTable.place[high];
        std::memcpy(out, &kEscapes, 8);
        std::memcpy(out + 8, &kEscapes, 8);
#pragma GCC unroll 8
        for (int k = 0; k < 8; ++k)
            out[(places >> (8 * k)) & 0xFF] = static_cast<uint8_t>(v >> (8 * k));
        out += (places >> 56) + 1; // just past the last value
    }
    for (; i < count; ++i) {
        if (pixels[i] >= 0xC0)
            *out++ = 0xC1;
        *out++ = pixels[i];
    }
    return out;
}

int32_t CountKeyStretch(const uint8_t* row, int32_t from, int32_t limit, uint8_t key, bool equal) {
    int32_t i = from;
    for (; limit - i >= 8; i += 8) {
        uint64_t v;
        std::memcpy(&v, row + i, 8);
        uint32_t other = ByteMask(v, key);
        if (equal)
            other = ~other & 0xFFu;
        if (other)
            return i + std::countr_zero(other) - from;
    }
    while (i < limit && (row[i] == key) == equal)
        ++i;
    return i - from;
}
