#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Picture files as the rest of the program meets them: one call converts a file, names its
// result or reads its size. Each conversion is one CDc6Converter run.

// Converts one PCX picture into a DC6 file of the same name beside it (the extension replaced by
// ".dc6"), with colour 0 transparent. False when nothing could be written; `error` then holds
// the reason. Backslash paths are accepted.
bool ConvertPicture(const std::string& path, std::string* error = nullptr);

// Width and height of a PCX file that the converter accepts; (0, 0) when the file cannot be
// read or its header fails a check. Only the header is looked at.
struct PcxSize {
    int32_t width = 0;
    int32_t height = 0;
};
PcxSize GetPcxSize(const std::string& path);
// The same for a file already in memory.
PcxSize PcxSizeOfBytes(std::string_view bytes);

// The name of the DC6 file made from the PCX picture `pcxName`: its extension replaced by ".dc6"
// ("inv.pcx" -> "inv.dc6"). The converter writes there unless told otherwise, and a save
// archives a picture under this name, so the two always agree.
std::string Dc6NameForPcx(const std::string& pcxName);

// Converts one PCX picture into a DC6 file at `output`, whatever its name, with colour 0
// transparent. False when nothing could be written; `error` then holds the reason.
bool ConvertPictureTo(const std::string& path, const std::string& output,
                      std::string* error = nullptr);
