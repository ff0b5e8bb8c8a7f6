#include "graphics/Dc6Converter.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "platform/AsciiText.h"
#include "platform/FileSystem.h"

namespace {

constexpr size_t kPcxHeaderSize = 128;
constexpr size_t kDc6HeaderSize = 24;
constexpr size_t kFrameHeaderSize = 32;
constexpr uint8_t kRowEnd = 0x80;

const uint8_t* Bytes(std::string_view bytes) {
    return reinterpret_cast<const uint8_t*>(bytes.data());
}

int32_t ReadInt32(const uint8_t* p) {
    uint32_t v = static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
                 static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
    return static_cast<int32_t>(v);
}

uint16_t ReadUInt16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | p[1] << 8);
}

void AppendInt32(std::string& out, int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    char b[4] = {static_cast<char>(v & 0xFF), static_cast<char>((v >> 8) & 0xFF),
                 static_cast<char>((v >> 16) & 0xFF), static_cast<char>((v >> 24) & 0xFF)};
    out.append(b, 4);
}

void PutInt32(std::string& out, size_t at, int32_t value) {
    uint32_t v = static_cast<uint32_t>(value);
    for (int i = 0; i < 4; ++i)
        out[at + static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

void PutUInt16(std::string& out, size_t at, uint32_t value) {
    out[at] = static_cast<char>(value & 0xFF);
    out[at + 1] = static_cast<char>((value >> 8) & 0xFF);
}

// Reads a decimal integer the way atoi does (leading blanks, a sign, digits up to the first
// other character), saturating instead of overflowing.
int ParseDecimal(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{std::numeric_limits<int>::max()} + 1)
            value = int64_t{std::numeric_limits<int>::max()} + 1;
    }
    if (negative)
        value = -value;
    return static_cast<int>(std::clamp<int64_t>(value, std::numeric_limits<int>::min(),
                                                std::numeric_limits<int>::max()));
}

} // namespace

int CDc6Converter::Dc6ConMain(int argc, const char* const argv[]) {
    std::vector<std::string> args;
    for (int i = 0; i < argc; ++i)
        args.emplace_back(argv[i] ? argv[i] : "");
    return Dc6ConMain(args);
}

int CDc6Converter::Dc6ConMain(const std::vector<std::string>& args) {
    m_args = args;
    Reset();
    bool ok = Run();
    m_input.clear();
    m_input.shrink_to_fit();
    return ok ? 0 : 1;
}

void CDc6Converter::Reset() {
    m_strError.clear();
    m_bTransparent = false;
    m_nTransIndex = 0;
    m_palette = kBuiltinPalette;
    m_input.clear();
    m_frames.clear();
    m_bFrameMode = false;
    m_current = FrameInfo();
}

bool CDc6Converter::Fail(std::string text) {
    m_strError = std::move(text);
    return false;
}

void CDc6Converter::SetTransparency(bool on, int index) {
    m_bTransparent = on;
    m_nTransIndex = index;
}

void CDc6Converter::SetPalette(const Palette& bgr) {
    m_palette = bgr;
    SwapPaletteOrder(m_palette);
}

bool CDc6Converter::Run() {
    if (m_args.size() < 2)
        return Fail("Usage: dc6con <input> [-transcol N] [-pal file]\n");

    if (int i = FindArg("-transcol"))
        SetTransparency(true, ParseDecimal(m_args[static_cast<size_t>(i) + 1]));

    if (int i = FindArg("-pal")) {
        const std::string& name = m_args[static_cast<size_t>(i) + 1];
        std::string bytes;
        if (!LoadFile(name, bytes))
            return Fail("Palette file not found " + name + "\n");
        if (bytes.size() != kPaletteSize)
            return Fail("Invalid palette file\n");
        std::memcpy(m_palette.data(), bytes.data(), kPaletteSize);
    }
    SwapPaletteOrder(m_palette);

    const std::string& input = m_args[1];
    if (!LoadFile(input, m_input))
        return Fail("File not found " + input + "\n");
    if (!input.empty() && input.back() == '6')
        return Dc6ToPcx(input);
    return PcxToDc6(input);
}

int CDc6Converter::FindArg(std::string_view option) const {
    for (size_t i = 1; i < m_args.size(); ++i) {
        if (EqualsIgnoringAsciiCase(m_args[i], option))
            return i + 1 < m_args.size() ? static_cast<int>(i) : 0;
    }
    return 0;
}

void CDc6Converter::StripExtension(std::string& name) {
    // Both separators count: names reach us in the program's backslash form and, from the
    // command line, in the native one.
    for (size_t i = name.size(); i-- > 0;) {
        char c = name[i];
        if (c == '\\' || c == '/')
            return;
        if (c == '.') {
            if (i > 0)
                name.resize(i);
            return;
        }
    }
}

bool CDc6Converter::LoadFile(const std::string& path, std::string& bytes) {
    if (!ReadWholeFile(path, bytes) || bytes.empty()) {
        bytes.clear();
        return false;
    }
    return true;
}

bool CDc6Converter::AllocImage(int64_t width, int64_t height, CIndexedImage& image) {
    if (width < 0 || height < 0 || width > std::numeric_limits<int32_t>::max() ||
        height > std::numeric_limits<int32_t>::max() ||
        (width > 0 && height > m_nMaxImagePixels / width))
        return Fail("Not enough memory\n");
    image.width = static_cast<int32_t>(width);
    image.height = static_cast<int32_t>(height);
    image.pixels.assign(static_cast<size_t>(width * height), static_cast<uint8_t>(m_nTransIndex));
    return true;
}

void CDc6Converter::SwapPaletteOrder(Palette& palette) {
    for (size_t i = 0; i + 2 < palette.size(); i += 3)
        std::swap(palette[i], palette[i + 2]);
}

bool CDc6Converter::ReadPcx(std::string_view bytes, CIndexedImage& image) {
    const uint8_t* p = Bytes(bytes);
    size_t size = bytes.size();
    if (size < 12 || p[0] != 0x0A || p[1] != 5 || p[2] != 1 || p[3] != 8)
        return Fail("Bad pcx file\n");
    int32_t width = ReadUInt16(p + 8) + 1;
    int32_t height = ReadUInt16(p + 10) + 1;
    if (width >= kMaxPcxWidth || height >= kMaxPcxHeight)
        return Fail("Bad pcx file\n");
    if (!AllocImage(width, height, image))
        return false;

    // One output position runs through the whole image: a run longer than the rest of its
    // line carries over into the next one, and what passes the image's end is dropped.
    uint8_t* out = image.pixels.data();
    const size_t total = image.pixels.size();
    size_t at = 0;
    size_t pos = kPcxHeaderSize;
    for (int32_t line = 0; line < height; ++line) {
        int32_t x = 0;
        while (x < width) {
            // A file that ends before its last line is damaged; better refuse it than put a
            // half picture into the game.
            if (pos >= size)
                return Fail("Bad pcx file\n");
            uint8_t b = p[pos++];
            uint8_t value = b;
            int32_t run = 1;
            if (b >= 0xC0) {
                if (pos >= size)
                    return Fail("Bad pcx file\n");
                run = b & 0x3F;
                value = p[pos++];
            }
            if (at < total) {
                size_t n = std::min(static_cast<size_t>(run), total - at);
                std::memset(out + at, value, n);
            }
            at += static_cast<size_t>(run);
            x += run;
        }
    }
    return true;
}

void CDc6Converter::WriteDc6(std::string& file, const CIndexedImage& image) const {
    const int32_t w = image.width, h = image.height;
    const int32_t blocks =
        static_cast<int32_t>(std::ceil(w * 0.00390625) * std::ceil(h * 0.00390625));
    const size_t start = file.size();
    file.reserve(start + kDc6HeaderSize + static_cast<size_t>(blocks) * 40 +
                 static_cast<size_t>(w) * static_cast<size_t>(h) * 9 / 8 +
                 static_cast<size_t>(h) * 4);
    AppendInt32(file, 6);
    AppendInt32(file, 1);
    AppendInt32(file, 0);
    file.append(4, static_cast<char>(0xEE));
    AppendInt32(file, 1);
    AppendInt32(file, blocks);
    const size_t pointers = file.size();
    file.append(static_cast<size_t>(blocks) * 4, '\0');

    int32_t index = 0;
    for (int32_t y0 = 0; y0 < h; y0 += kBlockSize) {
        for (int32_t x0 = 0; x0 < w; x0 += kBlockSize, ++index) {
            const int32_t bw = std::min(kBlockSize, w - x0);
            const int32_t bh = std::min(kBlockSize, h - y0);
            const size_t frame = file.size();
            PutInt32(file, pointers + 4 * static_cast<size_t>(index),
                     static_cast<int32_t>(frame - start));
            AppendInt32(file, 0); // flip
            AppendInt32(file, bw);
            AppendInt32(file, bh);
            AppendInt32(file, 0); // offset x
            AppendInt32(file, 0); // offset y
            AppendInt32(file, 0); // reserved
            const size_t q = file.size();
            file.append(8, '\0');
            EncodeDc6Block(image.pixels.data() + static_cast<size_t>(y0) * w + x0, file, bw, bh, w);
            const size_t e = file.size();
            PutInt32(file, q, static_cast<int32_t>(e - start + 3));
            PutInt32(file, q + 4, static_cast<int32_t>(e - q - 8));
            file.append(3, static_cast<char>(0xEE));
        }
    }
}

void CDc6Converter::EncodeDc6Block(const uint8_t* topLeft, std::string& file, int32_t bw,
                                   int32_t bh, int32_t stride) const {
    const bool transparent = m_bTransparent;
    const int key = m_nTransIndex;
    for (int32_t row = bh - 1; row >= 0; --row) {
        const uint8_t* px = topLeft + static_cast<size_t>(row) * static_cast<size_t>(stride);
        int32_t x = 0;
        while (x < bw) {
            if (transparent && px[x] == key) {
                int32_t end = x + 1;
                while (end < bw && px[end] == key)
                    ++end;
                if (end == bw)
                    break; // trailing transparent pixels are never coded
                const int32_t k = std::min(end - x, 127);
                file.push_back(static_cast<char>(0x80 + k));
                x += k;
            } else {
                int32_t n = std::min(bw - x, 127);
                if (transparent) {
                    int32_t i = 1;
                    while (i < n && px[x + i] != key)
                        ++i;
                    n = i;
                }
                file.push_back(static_cast<char>(n));
                file.append(reinterpret_cast<const char*>(px + x), static_cast<size_t>(n));
                x += n;
            }
        }
        file.push_back(static_cast<char>(kRowEnd));
    }
}

bool CDc6Converter::GetFileInfoDC6(std::string_view bytes) {
    const uint8_t* p = Bytes(bytes);
    const size_t size = bytes.size();
    m_frames.clear();
    m_bFrameMode = false;
    if (size < 4 || ReadInt32(p) != 6)
        return Fail("GetFileInfoDC6: dc6 file is not version 6\n");
    if (size < kDc6HeaderSize)
        return Fail("DC6 file has invalid number of blocks\n");
    std::memcpy(m_termination, p + 12, 3);
    const int32_t count = ReadInt32(p + 20);
    if (count < 1 || count > kMaxFrames)
        return Fail("DC6 file has invalid number of blocks\n");

    // Frame pointers, headers and sizes come from outside: every one is checked against the
    // file before anything is read through it.
    if (size < kDc6HeaderSize + 4 * static_cast<size_t>(count))
        return Fail("Bad dc6 file\n");
    for (int32_t i = 0; i < count; ++i) {
        const int32_t pointer = ReadInt32(p + kDc6HeaderSize + 4 * static_cast<size_t>(i));
        if (pointer < 0 || static_cast<size_t>(pointer) > size ||
            size - static_cast<size_t>(pointer) < kFrameHeaderSize)
            return Fail("Bad dc6 file\n");
        const uint8_t* f = p + pointer;
        FrameInfo frame;
        frame.width = ReadInt32(f + 4);
        frame.height = ReadInt32(f + 8);
        frame.offsetX = ReadInt32(f + 12);
        frame.offsetY = ReadInt32(f + 16);
        if (frame.width < 0 || frame.height < 0)
            return Fail("Bad dc6 file\n");
        frame.dataOffset = static_cast<size_t>(pointer) + kFrameHeaderSize;
        // A length beyond the file only means less data: the decoder stops at the file's end.
        const int32_t length = ReadInt32(f + 28);
        frame.length = std::min(static_cast<size_t>(std::max(length, 0)), size - frame.dataOffset);
        if (frame.offsetX != 0 || frame.offsetY != 0)
            m_bFrameMode = true;
        m_frames.push_back(frame);
    }
    return true;
}

void CDc6Converter::SetFrameInfo(int index) {
    m_current = m_frames[static_cast<size_t>(index)];
}

void CDc6Converter::DecodeDc6Frame(const uint8_t* data, size_t length, int32_t width,
                                   int32_t height, CIndexedImage& image, int64_t x0, int64_t y0) {
    if (width <= 0 || height <= 0)
        return;
    // Only the columns of the frame that land inside the image are stored.
    const int64_t colBegin = std::clamp<int64_t>(-x0, 0, width);
    const int64_t colEnd = std::clamp<int64_t>(int64_t{image.width} - x0, 0, width);
    uint8_t* rowBase = nullptr;
    auto selectRow = [&](int64_t row) {
        const int64_t y = y0 + row;
        rowBase = (y >= 0 && y < image.height && colBegin < colEnd)
                      ? image.Row(static_cast<int32_t>(y))
                      : nullptr;
    };

    int64_t row = height - 1; // rows are coded from the bottom up
    int32_t rowsDone = 0;
    int64_t x = 0;
    size_t pos = 0;
    selectRow(row);
    while (pos < length && rowsDone < height) {
        const uint8_t b = data[pos++];
        if (b == kRowEnd) {
            ++rowsDone;
            if (length - pos >= 3 && data[pos] == m_termination[0] &&
                data[pos + 1] == m_termination[1] && data[pos + 2] == m_termination[2])
                return;
            --row;
            x = 0;
            selectRow(row);
        } else if (b > kRowEnd) {
            x = std::min<int64_t>(x + (b - kRowEnd), width);
        } else if (b == 0) {
            if (m_pOutput)
                *m_pOutput << "found byte 00\n";
        } else {
            // Copy while the row has room; bytes of the run beyond the row are read again as
            // control bytes. A run cut by the end of the data ends the frame.
            for (int n = b; n > 0 && x < width; --n, ++x) {
                if (pos >= length)
                    return;
                const uint8_t value = data[pos++];
                if (rowBase && x >= colBegin && x < colEnd)
                    rowBase[x0 + x] = value;
            }
        }
    }
}

bool CDc6Converter::BuildPcx(const CIndexedImage& image, std::string& file) {
    const int32_t w = image.width, h = image.height;
    // The header keeps sizes in 16 bits, so nothing empty or wider.
    if (w < 1 || h < 1 || w > 65535 || h > 65535)
        return Fail("Picture size not supported by pcx\n");
    file.assign(kPcxHeaderSize, '\0');
    file[0] = 0x0A;
    file[1] = 5;
    file[2] = 1;
    file[3] = 8;
    PutUInt16(file, 8, static_cast<uint32_t>(w - 1));
    PutUInt16(file, 10, static_cast<uint32_t>(h - 1));
    PutUInt16(file, 12, static_cast<uint32_t>(w));
    PutUInt16(file, 14, static_cast<uint32_t>(h));
    file[65] = 1;
    PutUInt16(file, 66, static_cast<uint32_t>(w));
    PutUInt16(file, 68, 2);

    // Worst case every pixel takes two bytes; size once and fill through a pointer.
    const size_t pixels = image.pixels.size();
    file.resize(kPcxHeaderSize + 2 * pixels + 1 + kPaletteSize);
    uint8_t* out = reinterpret_cast<uint8_t*>(file.data()) + kPcxHeaderSize;
    const uint8_t* in = image.pixels.data();
    for (size_t i = 0; i < pixels; ++i) {
        const uint8_t v = in[i];
        if (v >= 0xC0)
            *out++ = 0xC1;
        *out++ = v;
    }
    *out++ = 0x0C;
    std::memcpy(out, m_palette.data(), kPaletteSize);
    out += kPaletteSize;
    file.resize(static_cast<size_t>(out - reinterpret_cast<uint8_t*>(file.data())));
    return true;
}

bool CDc6Converter::WritePcx(const std::string& name, const CIndexedImage& image) {
    std::string file;
    if (!BuildPcx(image, file))
        return false;
    return WriteOutput(name, file);
}

bool CDc6Converter::WriteOutput(const std::string& name, std::string_view bytes) {
    // Written beside and renamed into place: an output file is there whole or not at all.
    if (!WriteFileAtomically(name, bytes, false))
        return Fail("Cannot write " + name + "\n");
    return true;
}

bool CDc6Converter::PcxToDc6(const std::string& input) {
    CIndexedImage image;
    if (!ReadPcx(m_input, image))
        return false;
    std::string name = input;
    StripExtension(name);
    std::string file;
    WriteDc6(file, image);
    return WriteOutput(name + ".dc6", file);
}

bool CDc6Converter::Dc6ToPcx(const std::string& input) {
    if (!GetFileInfoDC6(m_input))
        return false;
    std::string name = input;
    StripExtension(name);
    return m_bFrameMode ? FrameModeRun(name) : TileMode(name);
}

bool CDc6Converter::TileMode(const std::string& baseName) {
    // Blocks of a full 256 width continue the band; any other width ends it. The file keeps no
    // layout, so this is all there is to go by.
    struct Place {
        int64_t x, y;
    };
    std::vector<Place> places;
    int64_t x = 0, height = 0;
    int32_t previousWidth = -1;
    for (int i = 0; i < FrameCount(); ++i) {
        SetFrameInfo(i);
        if (previousWidth != kBlockSize)
            x = 0;
        if (x == 0)
            height += m_current.height;
        places.push_back({x, height - m_current.height});
        x += m_current.width;
        previousWidth = m_current.width;
    }

    CIndexedImage image;
    if (!AllocImage(x, height, image))
        return false;
    const uint8_t* file = Bytes(m_input);
    for (int i = 0; i < FrameCount(); ++i) {
        SetFrameInfo(i);
        DecodeDc6Frame(file + m_current.dataOffset, m_current.length, m_current.width,
                       m_current.height, image, places[static_cast<size_t>(i)].x,
                       places[static_cast<size_t>(i)].y);
    }
    return WritePcx(baseName + ".pcx", image);
}

bool CDc6Converter::FrameModeRun(const std::string& baseName) {
    const uint8_t* file = Bytes(m_input);
    for (int i = 0; i < FrameCount(); ++i) {
        SetFrameInfo(i);
        CIndexedImage image;
        if (!AllocImage(m_current.width, m_current.height, image))
            return false;
        DecodeDc6Frame(file + m_current.dataOffset, m_current.length, m_current.width,
                       m_current.height, image, 0, 0);
        if (!WritePcx(baseName + std::to_string(i) + ".pcx", image))
            return false;
    }
    return true;
}

bool ConvertPicture(const std::string& path, std::string* error) {
    CDc6Converter run;
    const bool ok = run.Dc6ConMain({"dc6con", path, "-transcol", "0"}) == 0;
    if (error)
        *error = run.Error();
    return ok;
}

PcxSize PcxSizeOfBytes(std::string_view bytes) {
    const uint8_t* p = Bytes(bytes);
    if (bytes.size() < 12 || p[0] != 0x0A || p[1] != 5 || p[2] != 1 || p[3] != 8)
        return {};
    const int32_t width = ReadUInt16(p + 8) + 1;
    const int32_t height = ReadUInt16(p + 10) + 1;
    if (width >= CDc6Converter::kMaxPcxWidth || height >= CDc6Converter::kMaxPcxHeight)
        return {};
    return {width, height};
}

PcxSize GetPcxSize(const std::string& path) {
    std::string bytes;
    if (!CDc6Converter::LoadFile(path, bytes))
        return {};
    return PcxSizeOfBytes(bytes);
}
