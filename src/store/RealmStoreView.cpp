#include "store/RealmStoreView.h"

#include "platform/AsciiText.h"

#include <string_view>

namespace {

constexpr std::string_view kExcelPrefix = "data\\global\\excel\\";

} // namespace

std::string CRealmStoreView::ClassicName(const std::string& archivedName) {
    const std::string_view name = archivedName;
    if (name.size() <= kExcelPrefix.size() ||
        !EqualsIgnoringAsciiCase(name.substr(0, kExcelPrefix.size()), kExcelPrefix) ||
        name.find('\\', kExcelPrefix.size()) != std::string_view::npos)
        return archivedName;
    return archivedName.substr(0, kExcelPrefix.size()) + "base\\" +
           archivedName.substr(kExcelPrefix.size());
}

bool CRealmStoreView::HasFile(const std::string& archivedName) const {
    return m_store.HasFile(ClassicName(archivedName));
}

bool CRealmStoreView::ReadFile(const std::string& archivedName, std::string& bytes) const {
    return m_store.ReadFile(ClassicName(archivedName), bytes);
}

std::vector<std::string> CRealmStoreView::ListExcelTables() const {
    // The store lists its expansion copies; the classic ones are looked up by those names.
    std::vector<std::string> names;
    for (std::string& name : m_store.ListExcelTables())
        if (HasFile(std::string(kExcelPrefix) + name))
            names.push_back(std::move(name));
    return names;
}

bool CRealmStoreView::WriteBatch(const std::vector<std::pair<std::string, std::string>>& files,
                                 std::string& error) {
    std::vector<std::pair<std::string, std::string>> classic;
    classic.reserve(files.size());
    for (const auto& [name, bytes] : files)
        classic.emplace_back(ClassicName(name), bytes);
    return m_store.WriteBatch(classic, error);
}
