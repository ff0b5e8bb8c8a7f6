#include "data/ModTables.h"

#include "platform/AsciiText.h"
#include "platform/FileSystem.h"

namespace {

// Larger than any table of the game by far; a bigger file is no table.
constexpr std::uint64_t kMaxTableBytes = 256u << 20;

std::string LowerCopy(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = AsciiToLower(c);
    return lower;
}

} // namespace

CModTables::CModTables(CGameDataSet& data) : m_data(data) {}

std::string CModTables::ArchivedName(const std::string& fileName) {
    return "Data\\Global\\Excel\\" + fileName;
}

void CModTables::Clear() {
    m_entries.clear();
    m_bases.clear();
    m_cache.Close();
    m_gameArchives.clear();
    m_strOpened.clear();
    m_bFound = false;
}

void CModTables::Find(const std::string& openedArchive,
                      const std::vector<std::string>& gameArchives, const std::string& tablesFolder,
                      const std::vector<std::string>& names) {
    Clear();
    m_strOpened = openedArchive;
    m_strTablesFolder = tablesFolder;
    // The opened archive may be one of the game's: it is then this mod, not the game's own.
    for (const std::string& archive : gameArchives)
        if (!CArchiveReaderCache::SameFile(archive, openedArchive))
            m_gameArchives.push_back(archive);

    for (CGameDataSet::TableId id : CGameDataSet::kDeclarationOrder) {
        Entry entry;
        entry.fileName = CGameDataSet::FileName(id);
        entry.id = id;
        entry.origin = m_cache.HasFile(openedArchive, CGameDataSet::ArchivePath(id))
                           ? Origin::ThisArchive
                           : Origin::GameArchive;
        m_entries.push_back(std::move(entry));
    }
    for (const std::string& name : names) {
        // A name becomes a file in the working folder at the next save: a bare name only.
        if (name.empty() || name.front() == '.' ||
            name.find_first_of("/\\:") != std::string::npos || FindEntry(name) != nullptr)
            continue;
        Entry entry;
        entry.fileName = name;
        if (m_cache.HasFile(openedArchive, ArchivedName(name))) {
            entry.origin = Origin::ThisArchive;
            entry.archive = openedArchive;
        } else {
            for (const std::string& archive : m_gameArchives) {
                if (m_cache.HasFile(archive, ArchivedName(name))) {
                    entry.archive = archive;
                    break;
                }
            }
            if (entry.archive.empty())
                continue;
        }
        m_entries.push_back(std::move(entry));
    }
    // The opened archive is replaced by every save: it is opened anew for each read.
    m_cache.Close();
    m_bFound = true;
}

CModTables::Entry* CModTables::FindEntry(std::string_view fileName) {
    for (Entry& entry : m_entries)
        if (EqualsIgnoringAsciiCase(entry.fileName, fileName))
            return &entry;
    return nullptr;
}

CTxtTable* CModTables::Loaded(Entry& entry) {
    if (entry.id)
        return &m_data.Table(*entry.id);
    return entry.own.get();
}

CTxtTable* CModTables::Open(Entry& entry, std::string& error) {
    if (CTxtTable* table = Loaded(entry))
        return table;
    std::string bytes;
    const bool read =
        m_cache.ReadFile(entry.archive, ArchivedName(entry.fileName), bytes, kMaxTableBytes);
    m_cache.Close();
    auto table = std::make_unique<CTxtTable>();
    table->SetPrompts(m_data.Table(CGameDataSet::TableId::Skills).Prompts());
    if (!read || !table->LoadFromBytes(std::move(bytes))) {
        error = entry.fileName + " could not be read from " + NativePath(entry.archive) + ".";
        return nullptr;
    }
    entry.own = std::move(table);
    return entry.own.get();
}

std::vector<std::pair<std::string, CTxtTable*>> CModTables::LoadedTables() {
    std::vector<std::pair<std::string, CTxtTable*>> tables;
    for (Entry& entry : m_entries)
        if (CTxtTable* table = Loaded(entry); table != nullptr && table->IsLoaded())
            tables.emplace_back(entry.fileName, table);
    return tables;
}

std::vector<const CModTables::Entry*> CModTables::ToSave(const std::string& archivePath) const {
    const bool elsewhere = m_bFound && !CArchiveReaderCache::SameFile(archivePath, m_strOpened);
    std::vector<const Entry*> tables;
    for (const Entry& entry : m_entries)
        if (!entry.id && entry.own &&
            (entry.changed || (elsewhere && entry.origin == Origin::ThisArchive)))
            tables.push_back(&entry);
    return tables;
}

void CModTables::SetOpened(const std::string& archivePath) {
    if (!m_bFound)
        return;
    const bool elsewhere = !CArchiveReaderCache::SameFile(archivePath, m_strOpened);
    for (Entry& entry : m_entries) {
        // What the save wrote is this archive's from now on.
        if (entry.changed || (entry.id && elsewhere))
            entry.origin = Origin::ThisArchive;
        if (entry.origin == Origin::ThisArchive && !entry.id)
            entry.archive = archivePath;
    }
    m_strOpened = archivePath;
}

const CTxtTable* CModTables::Base(const std::string& fileName) {
    const std::string key = LowerCopy(fileName);
    if (auto known = m_bases.find(key); known != m_bases.end())
        return known->second.get();
    auto base = std::make_unique<CTxtTable>();
    bool loaded = false;
    for (const std::string& archive : m_gameArchives) {
        std::string bytes;
        if (m_cache.ReadFile(archive, ArchivedName(fileName), bytes, kMaxTableBytes)) {
            loaded = base->LoadFromBytes(std::move(bytes));
            break;
        }
    }
    if (!loaded && !m_strTablesFolder.empty()) {
        const Entry* entry = FindEntry(fileName);
        if (entry != nullptr && entry->id)
            loaded = base->Load(m_strTablesFolder + "\\" + entry->fileName);
    }
    if (!loaded)
        base.reset();
    return (m_bases[key] = std::move(base)).get();
}
