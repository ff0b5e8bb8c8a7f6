#pragma once

#include <cstddef>
#include <cstdint>

// The fast paths of the picture converter. Each one does a part of what a plain routine in
// Dc6Converter.cpp does, more bytes at a time; the plain routine is the reference, and the
// converter's fuzz target checks on every input that both give the same bytes. Nothing here is
// needed for correct results: CDc6Converter::SetFastPaths(false) runs without any of it.

// Where the PCX reader stands: the next input byte, the next output pixel and the place in the
// current line. Always at the start of a coded token (never between an escape and its value).
struct PcxCursor {
    size_t pos = 0;
    size_t at = 0;
    int32_t x = 0;
};

// Reads the single-pixel tokens of PCX data (bytes below 0xC0, and 0xC1 escapes with their
// value) sixteen bytes at a time as long as `width` - x, `total` - at and `size` - pos all leave
// room for sixteen. Stops before a word holding any other token (a run longer than one pixel, or
// one of zero), or where room runs out, and leaves the rest to the plain reader. Does nothing
// on processors without SSSE3.
void ReadPcxSinglePixels(const uint8_t* data, size_t size, uint8_t* out, size_t total,
                         int32_t width, PcxCursor& cursor);

// How many of `count` pixels are from 0xC0 up (each needs an escape in PCX).
size_t CountPcxEscapes(const uint8_t* pixels, size_t count);

// Writes the PCX coding of `count` pixels, one token each (0xC1 before values from 0xC0 up),
// and returns the end of it. Writes up to 8 bytes of scratch past that end, so `out` must have
// room for count + escapes + 8 bytes.
uint8_t* WritePcxPixels(const uint8_t* pixels, size_t count, uint8_t* out);

// How many bytes of `row` from `from` on, below `limit`, are (`equal` set) or are not `key`.
int32_t CountKeyStretch(const uint8_t* row, int32_t from, int32_t limit, uint8_t key, bool equal);
