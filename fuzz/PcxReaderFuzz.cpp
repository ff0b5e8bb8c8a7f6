// Any bytes as a PCX file: the reader must stay inside them, and every picture it accepts must
// come back unchanged through DC6 and through PCX.
#include <cstdlib>
#include <string_view>
#include <vector>

#include "graphics/Dc6Converter.h"

namespace {

// The reader as plainly as it can be written: one token at a time, line by line.
bool PlainRead(const uint8_t* p, size_t size, std::vector<uint8_t>& pixels) {
    if (size < 12 || p[0] != 0x0A || p[1] != 5 || p[2] != 1 || p[3] != 8)
        return false;
    const size_t width = (p[8] | p[9] << 8) + 1u, height = (p[10] | p[11] << 8) + 1u;
    if (width >= 800 || height >= 600)
        return false;
    pixels.assign(width * height, 0);
    size_t pos = 128, at = 0;
    for (size_t line = 0; line < height; ++line) {
        for (size_t x = 0; x < width;) {
            if (pos >= size)
                return false;
            size_t run = 1;
            uint8_t value = p[pos++];
            if (value >= 0xC0) {
                if (pos >= size)
                    return false;
                run = value & 0x3F;
                value = p[pos++];
            }
            for (size_t i = 0; i < run; ++i, ++at)
                if (at < pixels.size())
                    pixels[at] = value;
            x += run;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CDc6Converter run;
    // The first byte doubles as the transparency option; the header check ignores it.
    const bool transparent = size > 0 && (data[0] & 1);
    run.SetTransparency(transparent, size > 5 ? data[5] : 0);
    CIndexedImage image;
    std::vector<uint8_t> plain;
    const bool read = run.ReadPcx(bytes, image);
    if (read != PlainRead(data, size, plain) || (read && image.pixels != plain))
        std::abort();
    if (!read)
        return 0;

    std::string dc6;
    run.WriteDc6(dc6, image);
    if (!run.GetFileInfoDC6(dc6))
        std::abort();
    // Lay the blocks out as the writer made them: rows of 256 x 256, left to right.
    CIndexedImage back;
    if (!run.AllocImage(image.width, image.height, back))
        std::abort();
    const int across = (image.width + 255) / 256;
    for (int i = 0; i < run.FrameCount(); ++i) {
        run.SetFrameInfo(i);
        const auto& frame = run.CurrentFrame();
        run.DecodeDc6Frame(reinterpret_cast<const uint8_t*>(dc6.data()) + frame.dataOffset,
                           frame.length, frame.width, frame.height, back, 256 * (i % across),
                           256 * (i / across));
    }
    if (back.pixels != image.pixels)
        std::abort();

    std::string pcx;
    if (!run.BuildPcx(image, pcx) || !run.ReadPcx(pcx, back) || back.pixels != image.pixels)
        std::abort();
    return 0;
}
