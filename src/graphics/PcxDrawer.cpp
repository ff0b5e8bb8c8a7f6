#include "graphics/PcxDrawer.h"

#include "graphics/LittleEndian.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <array>
#include <fstream>

namespace {

constexpr std::streamoff kHeaderSize = 128;
// The palette marker byte and 256 entries of red, green, blue.
constexpr std::streamoff kPaletteTail = 769;

// Reads the run-length coded pixel data in chunks, so a huge file is never held whole.
class PacketReader {
public:
    explicit PacketReader(std::ifstream& file) : m_file(file) {}
    bool Next(uint8_t& byte) {
        if (m_pos == m_end) {
            m_file.read(reinterpret_cast<char*>(m_buffer.data()),
                        static_cast<std::streamsize>(m_buffer.size()));
            m_end = static_cast<size_t>(m_file.gcount());
            m_pos = 0;
            if (m_end == 0)
                return false;
        }
        byte = m_buffer[m_pos++];
        return true;
    }

private:
    std::ifstream& m_file;
    std::array<uint8_t, 16384> m_buffer{};
    size_t m_pos = 0;
    size_t m_end = 0;
};

} // namespace

bool CPcxDrawer::DecodeFile(const std::string& path, CRgbPicture& picture) const {
    picture = CRgbPicture{};
    if (!IsRegularFile(path))
        return false;
    std::ifstream file(NativePath(path), std::ios::binary);
    if (!file)
        return false;
    std::array<uint8_t, kHeaderSize> header{};
    if (!file.read(reinterpret_cast<char*>(header.data()), kHeaderSize))
        return false;
    const auto planes = static_cast<int8_t>(header[65]);
    if (planes > 1 || header[3] != 8)
        return false;

    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < kHeaderSize + kPaletteTail)
        return false;
    file.seekg(size - kPaletteTail);
    std::array<uint8_t, kPaletteTail> tail{};
    if (!file.read(reinterpret_cast<char*>(tail.data()), kPaletteTail) || tail[0] != 0x0C)
        return false;
    std::array<uint32_t, 256> colours{};
    for (size_t i = 0; i < colours.size(); ++i)
        colours[i] = 0xFF000000u | (uint32_t{tail[1 + 3 * i]} << 16) |
                     (uint32_t{tail[2 + 3 * i]} << 8) | tail[3 + 3 * i];

    const int32_t rows = int32_t{static_cast<int16_t>(ReadUInt16(header.data() + 10))} -
                         static_cast<int16_t>(ReadUInt16(header.data() + 6)) + 1;
    const int32_t lineBytes =
        int32_t{static_cast<int16_t>(ReadUInt16(header.data() + 66))} * planes;
    if (rows < 1 || lineBytes < 1)
        return true;
    const int32_t width = std::min(lineBytes, std::max(m_nMaxWidth, 0));
    const int32_t height = std::min(rows, std::max(m_nMaxHeight, 0));
    picture.width = width;
    picture.height = height;
    // Rows the file does not reach stay transparent.
    picture.pixels.assign(static_cast<size_t>(width) * static_cast<size_t>(height), 0);

    file.clear();
    file.seekg(kHeaderSize);
    PacketReader reader(file);
    for (int32_t y = 0; y < height; ++y) {
        uint32_t* out = picture.pixels.data() + static_cast<size_t>(y) * width;
        int32_t x = 0;
        while (x < lineBytes) {
            uint8_t byte = 0;
            if (!reader.Next(byte))
                return true;
            int32_t count = 1;
            if (byte >= 0xC0) {
                count = byte & 0x3F;
                if (!reader.Next(byte))
                    return true;
            }
            // A run may cross into the next line; what lies past this line is dropped, since
            // every line starts with a packet of its own.
            for (; count > 0 && x < lineBytes; --count, ++x)
                if (x < width)
                    out[x] = colours[byte];
        }
    }
    return true;
}
