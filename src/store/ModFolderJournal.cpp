#include "store/ModFolderJournal.h"

#include "platform/TemporaryFiles.h"

#include <cstdint>
#include <cstdio>
#include <set>

namespace {

constexpr std::string_view kFirstLine = "Tarvane mod folder journal 1\n";
constexpr std::string_view kEnd = "end ";

// FNV-1a: enough to tell a cut or changed journal, with no library to bring in.
std::uint64_t Checksum(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (unsigned char c : bytes) {
        hash ^= c;
        hash *= 0x100000001b3ull;
    }
    return hash;
}

std::string EndLine(std::size_t count, std::string_view above) {
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(Checksum(above)));
    return std::string(kEnd) + std::to_string(count) + " " + hex + "\n";
}

// A temporary of `target` is its name with the temporary marker and digits added, in the same
// folder.
bool IsTemporaryOf(std::string_view temporary, std::string_view target) {
    return temporary.size() > target.size() && temporary.substr(0, target.size()) == target &&
           temporary.find('/', target.size()) == std::string_view::npos &&
           IsTemporaryName(temporary.substr(target.size()));
}

} // namespace

bool CModFolderJournal::IsSafeRelativePath(std::string_view path) {
    if (path.empty())
        return false;
    std::size_t start = 0;
    while (true) {
        const std::size_t slash = path.find('/', start);
        const std::string_view part = path.substr(start, slash - start);
        if (part.empty() || part == "." || part == "..")
            return false;
        for (unsigned char c : part)
            if (c < 0x20 || c == 0x7f || c == '\\')
                return false;
        if (slash == std::string_view::npos)
            return true;
        start = slash + 1;
    }
}

std::string CModFolderJournal::Write(const std::vector<Rename>& renames) {
    std::string text(kFirstLine);
    for (const Rename& rename : renames)
        text += rename.temporary + "\t" + rename.target + "\n";
    return text + EndLine(renames.size(), text);
}

std::optional<std::vector<CModFolderJournal::Rename>>
CModFolderJournal::Read(std::string_view bytes, std::string& error) {
    auto refuse = [&](const std::string& why) {
        error = why;
        return std::nullopt;
    };
    if (bytes.substr(0, kFirstLine.size()) != kFirstLine)
        return refuse("it does not start as a journal of this program does.");
    // The end line is the last one; everything above it is what the checksum covers.
    if (bytes.empty() || bytes.back() != '\n')
        return refuse("it is cut short.");
    const std::size_t endAt = bytes.rfind('\n', bytes.size() - 2) + 1;
    const std::string_view above = bytes.substr(0, endAt);
    std::vector<Rename> renames;
    std::set<std::string_view> targets;
    for (std::size_t at = kFirstLine.size(); at < endAt;) {
        const std::size_t lineEnd = bytes.find('\n', at);
        const std::string_view line = bytes.substr(at, lineEnd - at);
        at = lineEnd + 1;
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            return refuse("a line of it names no target.");
        Rename rename{std::string(line.substr(0, tab)), std::string(line.substr(tab + 1))};
        if (!IsSafeRelativePath(rename.temporary) || !IsSafeRelativePath(rename.target))
            return refuse("it names a file outside the mod folder.");
        if (!IsTemporaryOf(rename.temporary, rename.target))
            return refuse("it names a file that is not a temporary of its target.");
        if (!targets.insert(line.substr(tab + 1)).second)
            return refuse("it names a target twice.");
        renames.push_back(std::move(rename));
    }
    if (bytes.substr(endAt) != EndLine(renames.size(), above))
        return refuse("it is cut short or was changed.");
    return renames;
}
