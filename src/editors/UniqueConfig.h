#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The property descriptions of "uniq.cfg": each line is "<code> <unused> <description>", the
// description being the rest of the line. A line is kept only as a whole pair, so that a line
// without a code or without a description never shifts the later codes onto other
// descriptions. Reading ends at the first empty line.
struct UniqueConfig {
    struct Entry {
        std::string code;
        std::string description;
    };

    std::vector<Entry> entries;
    // Lines before the end that gave no code or no description.
    size_t skippedLines = 0;

    static UniqueConfig Parse(std::string_view text);
};
