#pragma once

#include <cstdint>
#include <vector>

// A picture of 8-bit palette indices, rows from the top, each row `width` bytes after the last.
struct CIndexedImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;

    uint8_t* Row(int32_t y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint8_t* Row(int32_t y) const { return pixels.data() + static_cast<size_t>(y) * width; }
};
