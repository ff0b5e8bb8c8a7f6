#include "store/TablesFolderStore.h"

#include "platform/AsciiText.h"
#include "platform/FileSystem.h"

#include <string_view>

namespace {

constexpr std::string_view kExcelPrefix = "data\\global\\excel\\";
// Larger than any table of the game by far.
constexpr std::uint64_t kMaxTableBytes = 256u << 20;

bool IsTableName(std::string_view name) {
    return name.size() > 4 && EqualsIgnoringAsciiCase(name.substr(name.size() - 4), ".txt");
}

bool HoldsTables(const std::string& folder) {
    for (const FolderEntry& entry : ListFolder(folder))
        if (entry.isRegular && !entry.isLink && IsTableName(entry.name))
            return true;
    return false;
}

} // namespace

std::optional<std::string> CTablesFolderStore::ExcelFolder(const std::string& chosen) {
    std::string folder = chosen;
    for (const char* step : {"data", "global", "excel"}) {
        std::optional<std::string> next = FindFileIgnoringCase(folder, step);
        if (!next || !IsFolder(*next)) {
            folder.clear();
            break;
        }
        folder = *next;
    }
    if (!folder.empty() && HoldsTables(folder))
        return folder;
    if (IsFolder(chosen) && HoldsTables(chosen))
        return chosen;
    return std::nullopt;
}

CTablesFolderStore::CTablesFolderStore(std::string excelFolder)
    : m_excelFolder(std::move(excelFolder)) {}

std::optional<std::string> CTablesFolderStore::Locate(const std::string& archivedName) const {
    const std::string_view name = archivedName;
    if (name.size() <= kExcelPrefix.size() ||
        !EqualsIgnoringAsciiCase(name.substr(0, kExcelPrefix.size()), kExcelPrefix))
        return std::nullopt;
    std::string_view rest = name.substr(kExcelPrefix.size());
    std::string folder = m_excelFolder;
    // The classic realm's copies, one folder down; nothing deeper.
    if (const size_t slash = rest.find('\\'); slash != std::string_view::npos) {
        if (!EqualsIgnoringAsciiCase(rest.substr(0, slash), "base"))
            return std::nullopt;
        std::optional<std::string> base = FindFileIgnoringCase(folder, "base");
        if (!base || !IsFolder(*base))
            return std::nullopt;
        folder = *base;
        rest = rest.substr(slash + 1);
    }
    if (rest.empty() || rest.front() == '.' || rest.find_first_of("\\/:") != std::string::npos)
        return std::nullopt;
    std::optional<std::string> file = FindFileIgnoringCase(folder, std::string(rest));
    if (!file || !IsRegularFile(*file))
        return std::nullopt;
    return file;
}

bool CTablesFolderStore::HasFile(const std::string& archivedName) const {
    return Locate(archivedName).has_value();
}

bool CTablesFolderStore::ReadFile(const std::string& archivedName, std::string& bytes) const {
    bytes.clear();
    const std::optional<std::string> file = Locate(archivedName);
    return file && ReadWholeFile(*file, bytes, kMaxTableBytes);
}

std::vector<std::string> CTablesFolderStore::ListExcelTables() const {
    std::vector<std::string> names;
    for (const FolderEntry& entry : ListFolder(m_excelFolder))
        if (entry.isRegular && !entry.isLink && IsTableName(entry.name))
            names.push_back(entry.name);
    return names;
}

bool CTablesFolderStore::WriteBatch(const std::vector<std::pair<std::string, std::string>>&,
                                    std::string& error) {
    error = "The game's own tables in " + NativePath(m_excelFolder) + " are never written.";
    return false;
}
