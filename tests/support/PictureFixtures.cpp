#include "PictureFixtures.h"

namespace {

std::string PcxHeader(int width, int height, int bytesPerLine) {
    std::string h(128, '\0');
    h[0] = 0x0A;
    h[1] = 5;
    h[2] = 1;
    h[3] = 8;
    h[8] = static_cast<char>((width - 1) & 0xFF);
    h[9] = static_cast<char>((width - 1) >> 8);
    h[10] = static_cast<char>((height - 1) & 0xFF);
    h[11] = static_cast<char>((height - 1) >> 8);
    h[65] = 1;
    h[66] = static_cast<char>(bytesPerLine & 0xFF);
    h[67] = static_cast<char>(bytesPerLine >> 8);
    h[68] = 1;
    return h;
}

} // namespace

std::string MakePcxWithData(int width, int height, const std::string& data) {
    return PcxHeader(width, height, width) + data;
}

std::string MakePcx(int width, int height, const Pixels& pixels, int lineExtra) {
    std::string out = PcxHeader(width, height, width + lineExtra);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t v = pixels[static_cast<size_t>(y) * width + x];
            if (v >= 0xC0)
                out += '\xC1';
            out += static_cast<char>(v);
        }
        out.append(static_cast<size_t>(lineExtra), '\0');
    }
    out += '\x0C';
    for (int i = 0; i < 768; ++i)
        out += static_cast<char>(i / 3);
    return out;
}

uint32_t ReadU32(const std::string& b, size_t at) {
    return static_cast<uint32_t>(static_cast<uint8_t>(b.at(at))) |
           static_cast<uint32_t>(static_cast<uint8_t>(b.at(at + 1))) << 8 |
           static_cast<uint32_t>(static_cast<uint8_t>(b.at(at + 2))) << 16 |
           static_cast<uint32_t>(static_cast<uint8_t>(b.at(at + 3))) << 24;
}

uint16_t ReadU16(const std::string& b, size_t at) {
    return static_cast<uint16_t>(static_cast<uint8_t>(b.at(at)) | static_cast<uint8_t>(b.at(at + 1))
                                                                      << 8);
}

void PutU32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b.at(at + static_cast<size_t>(i)) = static_cast<char>((v >> (8 * i)) & 0xFF);
}

std::string MakeDc6(const std::vector<TestFrame>& frames, const std::string& termination) {
    std::string out(24 + 4 * frames.size(), '\0');
    PutU32(out, 0, 6);
    PutU32(out, 4, 1);
    out.replace(12, 4, termination);
    PutU32(out, 16, 1);
    PutU32(out, 20, static_cast<uint32_t>(frames.size()));
    for (size_t i = 0; i < frames.size(); ++i) {
        const TestFrame& f = frames[i];
        PutU32(out, 24 + 4 * i, static_cast<uint32_t>(out.size()));
        std::string header(32, '\0');
        PutU32(header, 4, static_cast<uint32_t>(f.width));
        PutU32(header, 8, static_cast<uint32_t>(f.height));
        PutU32(header, 12, static_cast<uint32_t>(f.offsetX));
        PutU32(header, 16, static_cast<uint32_t>(f.offsetY));
        PutU32(header, 28, static_cast<uint32_t>(static_cast<int>(f.data.size()) + f.lengthDelta));
        out += header + f.data + f.tail;
    }
    return out;
}

Pixels DecodePcxPixels(const std::string& pcx) {
    const int width = ReadU16(pcx, 8) + 1, height = ReadU16(pcx, 10) + 1;
    Pixels out;
    size_t pos = 128;
    while (out.size() < static_cast<size_t>(width) * height) {
        uint8_t b = static_cast<uint8_t>(pcx.at(pos++));
        if (b >= 0xC0)
            out.insert(out.end(), b & 0x3F, static_cast<uint8_t>(pcx.at(pos++)));
        else
            out.push_back(b);
    }
    return out;
}

Pixels PatternPixels(int width, int height, unsigned seed) {
    Pixels p(static_cast<size_t>(width) * height);
    unsigned s = seed * 2654435761u + 1;
    for (size_t i = 0; i < p.size(); ++i) {
        s = s * 1103515245u + 12345u;
        unsigned r = (s >> 16) & 0xFF;
        // Long transparent stretches as well as single ones, and every value.
        p[i] = ((s >> 8) % 4 == 0 || (i / 97) % 5 == 0) ? 0 : static_cast<uint8_t>(r);
    }
    return p;
}
