#include "graphics/PictureFiles.h"

#include "graphics/Dc6Converter.h"
#include "graphics/LittleEndian.h"

bool ConvertPicture(const std::string& path, std::string* error) {
    CDc6Converter run;
    const bool ok = run.Dc6ConMain({"dc6con", path, "-transcol", "0"}) == 0;
    if (error)
        *error = run.Error();
    return ok;
}

PcxSize PcxSizeOfBytes(std::string_view bytes) {
    const auto* p = reinterpret_cast<const uint8_t*>(bytes.data());
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

std::string Dc6NameForPcx(const std::string& pcxName) {
    std::string name = pcxName;
    CDc6Converter::StripExtension(name);
    return name + ".dc6";
}

bool ConvertPictureTo(const std::string& path, const std::string& output, std::string* error) {
    CDc6Converter run;
    const bool ok = run.Dc6ConMain({"dc6con", path, "-transcol", "0", "-out", output}) == 0;
    if (error)
        *error = run.Error();
    return ok;
}
