#include "graphics/Dc6Converter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>

#include "graphics/ConverterFastPaths.h"
#include "graphics/LittleEndian.h"
#include "platform/AsciiText.h"
#include "platform/FileSystem.h"

namespace {

constexpr size_t kPcxHeaderSize = 128;
constexpr size_t kDc6HeaderSize = 24;
constexpr size_t kFrameHeaderSize = 32;
constexpr uint8_t kRowEnd = 0x80;
// The largest PCX is about 1 MB and a DC6 holds at most twelve frames; this leaves ample room.
constexpr long kMaxFileSize = 256L << 20;

const uint8_t* Bytes(std::string_view bytes) {
    return reinterpret_cast<const uint8_t*>(bytes.data());
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

// How many bytes of `row` from `from` on, below `limit`, are (`equal` set) or are not `key`.
int32_t KeyStretch(const uint8_t* row, int32_t from, int32_t limit, uint8_t key, bool equal) {
    int32_t i = from;
    while (i < limit && (row[i] == key) == equal)
        ++i;
    return i - from;
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
        return Fail("Usage: dc6con <input> [-transcol N] [-pal file] [-out file]\n");

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
    // Folders, pipes, devices and files far larger than any picture do not count as loaded.
    if (!ReadWholeFile(path, bytes, static_cast<std::uint64_t>(kMaxFileSize)) || bytes.empty()) {
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
    // A file without its whole header has no pixel data either.
    if (width >= kMaxPcxWidth || height >= kMaxPcxHeight || size < kPcxHeaderSize)
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
        for (int32_t token = 0; x < width; ++token) {
            // The fast path takes what it can and is tried again every few tokens after it.
            if (m_bFastPaths && token % 8 == 0) {
                PcxCursor cursor{pos, at, x};
                ReadPcxSinglePixels(p, size, out, total, width, cursor);
                pos = cursor.pos;
                at = cursor.at;
                x = cursor.x;
                if (x >= width)
                    break;
            }
            // A file that ends before its last line is damaged; better refuse it than put a
            // half picture into the game.
            if (pos >= size)
                return Fail("Bad pcx file\n");
            const uint8_t b = p[pos];
            const size_t isRun = b >= 0xC0;
            if (pos + isRun >= size)
                return Fail("Bad pcx file\n");
            const uint8_t value = p[pos + isRun];
            const int32_t run = isRun ? (b & 0x3F) : 1;
            pos += 1 + isRun;
            if (at < total) {
                // A run of 0 stores here too; the next pixel overwrites it, as x did not move.
                out[at] = value;
                if (run > 1)
                    std::memset(out + at + 1, value,
                                std::min(static_cast<size_t>(run - 1), total - at - 1));
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
    const size_t pointers = start + kDc6HeaderSize;
    file.resize(pointers + 4 * static_cast<size_t>(std::max(blocks, 0)));
    uint8_t* head = reinterpret_cast<uint8_t*>(file.data()) + start;
    StoreInt32(head, 6);
    StoreInt32(head + 4, 1);
    StoreInt32(head + 8, 0);
    std::memset(head + 12, 0xEE, 4);
    StoreInt32(head + 16, 1);
    StoreInt32(head + 20, blocks);

    // Each block is coded in a scratch buffer with room for its worst case (two bytes a pixel
    // for copy runs of one, and an end byte a row), then appended as far as it went.
    const size_t scratchSize = kFrameHeaderSize +
                               static_cast<size_t>(std::min(h, kBlockSize)) *
                                   (2 * static_cast<size_t>(std::min(w, kBlockSize)) + 1) +
                               3;
    auto scratch = std::make_unique_for_overwrite<uint8_t[]>(scratchSize);
    int32_t index = 0;
    for (int32_t y0 = 0; y0 < h; y0 += kBlockSize) {
        for (int32_t x0 = 0; x0 < w; x0 += kBlockSize, ++index) {
            const int32_t bw = std::min(kBlockSize, w - x0);
            const int32_t bh = std::min(kBlockSize, h - y0);
            const size_t frame = file.size();
            uint8_t* const f = scratch.get();
            StoreInt32(f, 0); // flip
            StoreInt32(f + 4, bw);
            StoreInt32(f + 8, bh);
            StoreInt32(f + 12, 0); // offset x
            StoreInt32(f + 16, 0); // offset y
            StoreInt32(f + 20, 0); // reserved
            uint8_t* const e =
                EncodeDc6Block(image.pixels.data() + static_cast<size_t>(y0) * w + x0,
                               f + kFrameHeaderSize, bw, bh, w);
            const size_t length = static_cast<size_t>(e - f) - kFrameHeaderSize;
            StoreInt32(f + 24, static_cast<int32_t>(frame - start + kFrameHeaderSize + length + 3));
            StoreInt32(f + 28, static_cast<int32_t>(length));
            std::memset(e, 0xEE, 3);
            file.append(reinterpret_cast<const char*>(f), kFrameHeaderSize + length + 3);
            StoreInt32(reinterpret_cast<uint8_t*>(file.data()) + pointers +
                           4 * static_cast<size_t>(index),
                       static_cast<int32_t>(frame - start));
        }
    }
}

uint8_t* CDc6Converter::EncodeDc6Block(const uint8_t* topLeft, uint8_t* out, int32_t bw, int32_t bh,
                                       int32_t stride) const {
    if (bw <= 0 || bh <= 0)
        return out;
    // An index outside 0..255 matches no pixel.
    const bool transparent = m_bTransparent && m_nTransIndex >= 0 && m_nTransIndex <= 255;
    const uint8_t key = static_cast<uint8_t>(m_nTransIndex);
    const auto stretch = m_bFastPaths ? CountKeyStretch : KeyStretch;
    for (int32_t row = bh - 1; row >= 0; --row) {
        const uint8_t* px = topLeft + static_cast<size_t>(row) * static_cast<size_t>(stride);
        int32_t x = 0;
        while (x < bw) {
            if (transparent && px[x] == key) {
                const int32_t end = x + stretch(px, x, bw, key, true);
                if (end == bw)
                    break; // trailing transparent pixels are never coded
                const int32_t k = std::min(end - x, 127);
                *out++ = static_cast<uint8_t>(0x80 + k);
                x += k;
            } else {
                int32_t n = std::min(bw - x, 127);
                if (transparent)
                    n = stretch(px, x, x + n, key, false);
                *out++ = static_cast<uint8_t>(n);
                std::memcpy(out, px + x, static_cast<size_t>(n));
                out += n;
                x += n;
            }
        }
        *out++ = kRowEnd;
    }
    return out;
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
            int64_t take = std::min<int64_t>(b, width - x);
            const bool cut = static_cast<size_t>(take) > length - pos;
            if (cut)
                take = static_cast<int64_t>(length - pos);
            if (rowBase) {
                const int64_t lo = std::max(x, colBegin), hi = std::min(x + take, colEnd);
                if (lo < hi)
                    std::memcpy(rowBase + x0 + lo, data + pos + (lo - x),
                                static_cast<size_t>(hi - lo));
            }
            pos += static_cast<size_t>(take);
            x += take;
            if (cut)
                return;
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

    // Count the escapes first so the file is sized once, exactly, and filled through a pointer.
    const size_t pixels = image.pixels.size();
    const uint8_t* in = image.pixels.data();
    size_t escapes = 0;
    if (m_bFastPaths) {
        escapes = CountPcxEscapes(in, pixels);
    } else {
        for (size_t i = 0; i < pixels; ++i)
            escapes += in[i] >= 0xC0;
    }
    file.resize(kPcxHeaderSize + pixels + escapes + 1 + kPaletteSize);
    uint8_t* out = reinterpret_cast<uint8_t*>(file.data()) + kPcxHeaderSize;
    if (m_bFastPaths) {
        // The palette trailer behind the pixel data is the room it needs for its scratch.
        static_assert(1 + kPaletteSize >= 8);
        out = WritePcxPixels(in, pixels, out);
    } else {
        for (size_t i = 0; i < pixels; ++i) {
            if (in[i] >= 0xC0)
                *out++ = 0xC1;
            *out++ = in[i];
        }
    }
    *out++ = 0x0C;
    std::memcpy(out, m_palette.data(), kPaletteSize);
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
    // "-out <file>" writes the picture elsewhere (a save converts to a temporary name).
    const int out = FindArg("-out");
    const std::string name = out ? m_args[static_cast<size_t>(out) + 1] : Dc6NameForPcx(input);
    // The input is done with: its memory takes the output.
    std::string file = std::move(m_input);
    file.clear();
    WriteDc6(file, image);
    return WriteOutput(name, file);
}

bool CDc6Converter::Dc6ToPcx(const std::string& input) {
    if (!GetFileInfoDC6(m_input))
        return false;
    // "-out <file>" names the picture; the pictures of frame mode are numbered after its name.
    const int out = FindArg("-out");
    const std::string& output = out ? m_args[static_cast<size_t>(out) + 1] : input;
    std::string baseName = output;
    StripExtension(baseName);
    if (m_bFrameMode)
        return FrameModeRun(baseName);
    return TileMode(out ? output : baseName + ".pcx");
}

bool CDc6Converter::TileMode(const std::string& output) {
    CIndexedImage image;
    return DecodeTiles(m_input, image) && WritePcx(output, image);
}

bool CDc6Converter::FrameModeRun(const std::string& baseName) {
    // The frames together are one output: twelve frames each within the limit would
    // otherwise write hundreds of MB from a file of a few hundred bytes.
    int64_t total = 0;
    for (const FrameInfo& frame : m_frames) {
        const int64_t room = m_nMaxImagePixels - total;
        if (frame.width > 0 && frame.height > room / frame.width)
            return Fail("Not enough memory\n");
        total += int64_t{frame.width} * frame.height;
    }
    for (int i = 0; i < FrameCount(); ++i) {
        CIndexedImage image;
        if (!DecodeFrame(m_input, i, image) ||
            !WritePcx(baseName + std::to_string(i) + ".pcx", image))
            return false;
    }
    return true;
}

bool CDc6Converter::DecodeTiles(std::string_view file, CIndexedImage& image) {
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
    if (!AllocImage(x, height, image))
        return false;
    for (int i = 0; i < FrameCount(); ++i) {
        SetFrameInfo(i);
        DecodeCurrentFrame(file, image, places[static_cast<size_t>(i)].x,
                           places[static_cast<size_t>(i)].y);
    }
    return true;
}

bool CDc6Converter::DecodeFrame(std::string_view file, int index, CIndexedImage& image) {
    SetFrameInfo(index);
    if (!AllocImage(m_current.width, m_current.height, image))
        return false;
    DecodeCurrentFrame(file, image, 0, 0);
    return true;
}

void CDc6Converter::DecodeCurrentFrame(std::string_view file, CIndexedImage& image, int64_t x0,
                                       int64_t y0) {
    // The frame table was read from this file; stay inside it all the same.
    if (m_current.dataOffset > file.size())
        return;
    const size_t length = std::min(m_current.length, file.size() - m_current.dataOffset);
    DecodeDc6Frame(Bytes(file) + m_current.dataOffset, length, m_current.width, m_current.height,
                   image, x0, y0);
}
