// The mod folder journal reader on any bytes: it must never read outside them, and a journal it
// accepts must name only paths inside the folder and be exactly what the writer makes of it.
#include "store/ModFolderJournal.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string error;
    const auto renames = CModFolderJournal::Read(bytes, error);
    if (!renames) {
        if (error.empty())
            std::abort();
        return 0;
    }
    for (const CModFolderJournal::Rename& rename : *renames)
        if (!CModFolderJournal::IsSafeRelativePath(rename.temporary) ||
            !CModFolderJournal::IsSafeRelativePath(rename.target))
            std::abort();
    if (CModFolderJournal::Write(*renames) != bytes)
        std::abort();
    return 0;
}
