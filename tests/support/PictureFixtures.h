#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Builders and readers for the picture tests. They are written from the file layouts, apart from
// the converter, so a fault in it cannot hide behind the same fault here.

using Pixels = std::vector<uint8_t>;

// A PCX file: 8 bits, one plane, every pixel coded alone (values from 0xC0 up escaped).
// `lineExtra` adds that many zero bytes after each line, as writers that pad lines do.
std::string MakePcx(int width, int height, const Pixels& pixels, int lineExtra = 0);
// Only the 128-byte header, followed by `data` as the pixel stream.
std::string MakePcxWithData(int width, int height, const std::string& data);

uint32_t ReadU32(const std::string& bytes, size_t at);
uint16_t ReadU16(const std::string& bytes, size_t at);
void PutU32(std::string& bytes, size_t at, uint32_t value);

// A DC6 frame to build a file from.
struct TestFrame {
    int width = 0;
    int height = 0;
    int offsetX = 0;
    int offsetY = 0;
    std::string data;    // coded rows
    int lengthDelta = 0; // added to the stored length
    std::string tail = "\xEE\xEE\xEE";
};
std::string MakeDc6(const std::vector<TestFrame>& frames,
                    const std::string& termination = "\xEE\xEE\xEE\xEE");

// Reads the pixel data of a PCX file that every pixel codes alone or as a run.
Pixels DecodePcxPixels(const std::string& pcx);

// A picture with every kind of index, including 0 (transparent) and values from 0xC0 up.
Pixels PatternPixels(int width, int height, unsigned seed);
