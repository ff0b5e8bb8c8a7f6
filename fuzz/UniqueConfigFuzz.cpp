// The uniq.cfg reader on any bytes: it must never read outside the text, every entry it keeps
// has a code (one word) and a description, and writing the entries out again reads back the
// same.
#include "editors/UniqueConfig.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const UniqueConfig config =
        UniqueConfig::Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    std::string again;
    for (const UniqueConfig::Entry& entry : config.entries) {
        if (entry.code.empty() || entry.description.empty() ||
            entry.code.find_first_of(" \n") != std::string::npos ||
            entry.description.find('\n') != std::string::npos)
            std::abort();
        again += entry.code + " - " + entry.description + "\r\n";
    }
    const UniqueConfig reread = UniqueConfig::Parse(again);
    if (reread.skippedLines != 0 || reread.entries.size() != config.entries.size())
        std::abort();
    for (size_t i = 0; i < reread.entries.size(); ++i)
        if (reread.entries[i].code != config.entries[i].code ||
            reread.entries[i].description != config.entries[i].description)
            std::abort();
    return 0;
}
