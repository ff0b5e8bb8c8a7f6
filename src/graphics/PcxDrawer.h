#pragma once

#include <cstdint>
#include <string>
#include <vector>

// A picture of colours, rows from the top, each pixel 0xAARRGGBB; ready to be painted.
struct CRgbPicture {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// Decodes an 8-bit PCX picture (one plane, its palette at the end) into colours, once, so that
// painting never goes back to the file. Every byte of a line is a pixel, the padding byte of an
// odd width too, as the game's own tools draw it.
class CPcxDrawer {
public:
    // Only this much of the picture is decoded: a frame shows no more, and a huge file must
    // not cost more than the frame's size.
    int32_t m_nMaxWidth = 1024;
    int32_t m_nMaxHeight = 1024;

    // False, leaving `picture` empty, when the file cannot be read or is no 8-bit, single-plane
    // PCX with a palette. A file that ends early gives the rows decoded before the end.
    bool DecodeFile(const std::string& path, CRgbPicture& picture) const;
};
