// The converter's fast paths against its plain ones: on every input, reading PCX data, writing
// PCX and writing DC6 must give the same result and the same bytes either way.
//
// The first five bytes choose the picture: width (two bytes), height, transparent index and
// options; the rest is the PCX pixel stream to read and the pixels to write. With option bit 0
// the stream is made mostly of single pixels (0xC1 escapes and plain bytes, with a run now and
// then), which is what the fast reader takes; raw bytes reach it far less often.
#include <cstdlib>
#include <string>

#include "graphics/Dc6Converter.h"

namespace {

std::string PcxHeader(int width, int height) {
    std::string header(128, '\0');
    header[0] = 0x0A;
    header[1] = 5;
    header[2] = 1;
    header[3] = 8;
    header[8] = static_cast<char>((width - 1) & 0xFF);
    header[9] = static_cast<char>((width - 1) >> 8);
    header[10] = static_cast<char>((height - 1) & 0xFF);
    header[11] = static_cast<char>((height - 1) >> 8);
    return header;
}

// Bytes from 0xF8 up start a run of 0..7 pixels of the next byte, other high bytes become an
// escaped single pixel, the rest stay plain pixels.
std::string MostlySinglePixels(const uint8_t* data, size_t size) {
    std::string stream;
    for (size_t i = 0; i < size; ++i) {
        const uint8_t b = data[i];
        if (b >= 0xF8) {
            stream += static_cast<char>(0xC0 | (b & 7));
            if (i + 1 < size)
                stream += static_cast<char>(data[++i]);
        } else if (b >= 0xC0) {
            stream += '\xC1';
            stream += static_cast<char>(b);
        } else {
            stream += static_cast<char>(b);
        }
    }
    return stream;
}

void Check(bool same) {
    if (!same)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 5)
        return 0;
    const int width = 1 + (data[0] | data[1] << 8) % (CDc6Converter::kMaxPcxWidth - 1);
    const int height = 1 + data[2] % 64;
    const int key = data[3];
    const uint8_t options = data[4];
    data += 5;
    size -= 5;

    CDc6Converter fast, plain;
    plain.SetFastPaths(false);
    // The transparent index fills the pictures the readers make; an index outside 0..255 codes
    // no pixel as transparent.
    const int transparent = options & 4 ? (options & 8 ? -1 : 256) : key;
    for (CDc6Converter* run : {&fast, &plain})
        run->SetTransparency((options & 2) != 0, transparent);

    const std::string stream = options & 1 ? MostlySinglePixels(data, size)
                                           : std::string(reinterpret_cast<const char*>(data), size);
    const std::string pcx = PcxHeader(width, height) + stream;
    CIndexedImage fastImage, plainImage;
    const bool fastRead = fast.ReadPcx(pcx, fastImage);
    Check(fastRead == plain.ReadPcx(pcx, plainImage));
    Check(fast.Error() == plain.Error());
    if (fastRead)
        Check(fastImage.pixels == plainImage.pixels);

    // The input bytes as pixels, in lines of `width`.
    CIndexedImage picture;
    picture.width = width;
    picture.height = static_cast<int32_t>(size / static_cast<size_t>(width));
    if (picture.height == 0)
        return 0;
    picture.pixels.assign(data, data + static_cast<size_t>(width) * picture.height);

    std::string fastFile, plainFile;
    Check(fast.BuildPcx(picture, fastFile) == plain.BuildPcx(picture, plainFile));
    Check(fastFile == plainFile);

    fastFile.clear();
    plainFile.clear();
    fast.WriteDc6(fastFile, picture);
    plain.WriteDc6(plainFile, picture);
    Check(fastFile == plainFile);
    return 0;
}
