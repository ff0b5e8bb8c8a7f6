#include "editors/UniqueConfig.h"

UniqueConfig UniqueConfig::Parse(std::string_view text) {
    UniqueConfig config;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        const size_t next = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view line = text.substr(start, next - start);
        while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
            line.remove_suffix(1);
        if (line.empty())
            break;
        start = next;

        const size_t p1 = line.find(' ');
        const size_t p2 = p1 == std::string_view::npos ? p1 : line.find(' ', p1 + 1);
        const std::string_view code =
            p1 == std::string_view::npos ? std::string_view() : line.substr(0, p1);
        const std::string_view description =
            p2 == std::string_view::npos ? line : line.substr(p2 + 1);
        if (code.empty() || description.empty()) {
            ++config.skippedLines;
            continue;
        }
        config.entries.push_back({std::string(code), std::string(description)});
    }
    return config;
}
