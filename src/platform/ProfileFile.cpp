#include "platform/ProfileFile.h"

#include "platform/AsciiText.h"
#include "platform/FileSystem.h"

#include <optional>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace {

std::string_view Trim(std::string_view text) {
    auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && isBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

std::vector<std::string> SplitLines(const std::string& bytes) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string::npos)
            end = bytes.size();
        std::string line = bytes.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The section name of a "[name]" line, or nothing for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
    line = Trim(line);
    if (line.empty() || line.front() != '[')
        return std::nullopt;
    auto close = line.find(']');
    if (close == std::string_view::npos)
        return std::nullopt;
    return Trim(line.substr(1, close - 1));
}

// Key and value of a "key=value" line.
bool SplitEntry(std::string_view line, std::string_view& key, std::string_view& value) {
    auto eq = line.find('=');
    if (eq == std::string_view::npos)
        return false;
    key = Trim(line.substr(0, eq));
    value = Trim(line.substr(eq + 1));
    return true;
}

} // namespace

std::string CProfileFile::ReadString(const std::string& path, const std::string& section,
                                     const std::string& key, const std::string& defaultValue) {
    std::string bytes;
    if (!ReadWholeFile(path, bytes))
        return defaultValue.substr(0, kMaxValueLength);
    bool inSection = false;
    for (const std::string& line : SplitLines(bytes)) {
        if (auto name = SectionName(line)) {
            inSection = EqualsIgnoringAsciiCase(*name, section);
            continue;
        }
        std::string_view k, v;
        if (inSection && SplitEntry(line, k, v) && EqualsIgnoringAsciiCase(k, key)) {
            // A value in matching quotes is given without them.
            if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
                v = v.substr(1, v.size() - 2);
            return std::string(v.substr(0, kMaxValueLength));
        }
    }
    return defaultValue.substr(0, kMaxValueLength);
}

bool CProfileFile::WriteString(const std::string& path, const std::string& section,
                               const std::string& key, const std::string& value) {
    // A line break would add lines of its own to the file (a folder name with a line feed).
    auto hasLineBreak = [](const std::string& text) {
        return text.find_first_of("\r\n") != std::string::npos;
    };
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value))
        return false;
    std::string bytes;
    // Only a missing file is written new. One that is there but cannot be read (no read
    // permission, a link to nothing) holds settings we cannot see: writing would lose them.
    struct stat st;
    if (!ReadWholeFile(path, bytes) && ::lstat(NativePath(path).c_str(), &st) == 0)
        return false;
    std::vector<std::string> lines = SplitLines(bytes);
    const std::string entry = key + "=" + value;

    bool inSection = false;
    std::optional<size_t> sectionEnd; // index after the last non-blank line of the section
    bool done = false;
    for (size_t i = 0; i < lines.size() && !done; ++i) {
        if (auto name = SectionName(lines[i])) {
            if (inSection)
                break; // the next section starts: the key was not in ours
            inSection = EqualsIgnoringAsciiCase(*name, section);
            if (inSection)
                sectionEnd = i + 1;
            continue;
        }
        if (!inSection)
            continue;
        std::string_view k, v;
        if (SplitEntry(lines[i], k, v) && EqualsIgnoringAsciiCase(k, key)) {
            lines[i] = entry;
            done = true;
        } else if (!Trim(lines[i]).empty()) {
            sectionEnd = i + 1;
        }
    }
    if (!done) {
        if (sectionEnd) {
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(*sectionEnd), entry);
        } else {
            lines.push_back("[" + section + "]");
            lines.push_back(entry);
        }
    }

    std::string out;
    for (const std::string& line : lines) {
        out += line;
        out += "\r\n";
    }
    return WriteFileAtomically(path, out, true);
}
