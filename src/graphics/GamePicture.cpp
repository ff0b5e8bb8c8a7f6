#include "graphics/GamePicture.h"

#include "graphics/BuiltinPalette.h"
#include "graphics/Dc6Converter.h"
#include "store/ModStore.h"

#include <algorithm>

namespace {

// Item pictures are a few cells of 28 pixels; a file claiming more is not one.
constexpr int64_t kMaxPictureBytes = 16 * 1024 * 1024;

bool DecodeDc6(const std::string& bytes, int32_t maxWidth, int32_t maxHeight,
               CRgbPicture& picture) {
    CDc6Converter converter;
    converter.SetMaxImagePixels(int64_t{4096} * 4096);
    CIndexedImage image;
    if (!converter.GetFileInfoDC6(bytes) || converter.FrameCount() < 1 ||
        !converter.DecodeFrame(bytes, 0, image))
        return false;
    picture.width = std::clamp(image.width, 0, std::max(maxWidth, 0));
    picture.height = std::clamp(image.height, 0, std::max(maxHeight, 0));
    picture.pixels.assign(static_cast<size_t>(picture.width) * picture.height, 0);
    for (int32_t y = 0; y < picture.height; ++y) {
        const uint8_t* in = image.Row(y);
        uint32_t* out = picture.pixels.data() + static_cast<size_t>(y) * picture.width;
        for (int32_t x = 0; x < picture.width; ++x) {
            const size_t at = size_t{in[x]} * 3;
            // The palette holds blue, green, red.
            if (in[x] != 0)
                out[x] = 0xFF000000u | (uint32_t{kBuiltinPalette[at + 2]} << 16) |
                         (uint32_t{kBuiltinPalette[at + 1]} << 8) | kBuiltinPalette[at];
        }
    }
    return true;
}

} // namespace

bool IsPlainPictureName(const std::string& invfile) {
    if (invfile.find_first_not_of(". ") == std::string::npos)
        return false;
    return std::none_of(invfile.begin(), invfile.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return c == '\\' || c == '/' || c == ':' || byte < 0x20 || byte == 0x7F;
    });
}

std::string GamePictureName(const std::string& invfile) {
    return "data\\global\\items\\" + invfile + ".dc6";
}

bool ReadGameItemPicture(const std::vector<const CModStore*>& stores, const std::string& invfile,
                         int32_t maxWidth, int32_t maxHeight, CRgbPicture& picture) {
    picture = CRgbPicture{};
    if (!IsPlainPictureName(invfile))
        return false;
    const std::string name = GamePictureName(invfile);
    for (const CModStore* store : stores) {
        std::string bytes;
        if (store->ReadFile(name, bytes) && bytes.size() <= kMaxPictureBytes &&
            DecodeDc6(bytes, maxWidth, maxHeight, picture))
            return true;
        picture = CRgbPicture{};
    }
    return false;
}
