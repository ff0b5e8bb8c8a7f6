// The listfile reader on any bytes: it must never read outside the text, and every name it gives
// must be a plain table file name that the text holds.
#include "data/TableNames.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view listfile(reinterpret_cast<const char*>(data), size);
    for (const std::string& name : ExcelNamesInListfile(listfile))
        if (name.size() <= 4 || name.find_first_of("\\/:\r\n;") != std::string::npos ||
            listfile.find(name) == std::string_view::npos)
            std::abort();
    return 0;
}
