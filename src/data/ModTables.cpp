#include "data/ModTables.h"

#include "platform/AsciiText.h"

namespace {

std::vector<const CModStore*> AllStores(const CModStore& mod,
                                        const std::vector<const CModStore*>& game) {
    std::vector<const CModStore*> stores{&mod};
    stores.insert(stores.end(), game.begin(), game.end());
    return stores;
}

} // namespace

CModTables::CModTables(CGameDataSet& data) : m_data(data) {}

std::string CModTables::ArchivedName(const std::string& fileName) {
    return "Data\\Global\\Excel\\" + fileName;
}

void CModTables::Clear() {
    m_entries.clear();
    m_bases.clear();
    m_game.clear();
    m_pMod = nullptr;
    m_bFound = false;
}

void CModTables::Find(const CModStore& mod, const std::vector<const CModStore*>& game,
                      const std::string& tablesFolder, std::vector<std::string> names) {
    Clear();
    m_pMod = &mod;
    m_game = game;
    m_strTablesFolder = tablesFolder;
    for (const CModStore* store : AllStores(mod, game))
        for (std::string& name : store->ListExcelTables())
            names.push_back(std::move(name));

    for (CGameDataSet::TableId id : CGameDataSet::kDeclarationOrder) {
        Entry entry;
        entry.fileName = CGameDataSet::FileName(id);
        entry.id = id;
        entry.origin =
            mod.HasFile(CGameDataSet::ArchivePath(id)) ? Origin::ThisArchive : Origin::GameArchive;
        m_entries.push_back(std::move(entry));
    }
    for (const std::string& name : names) {
        // A name becomes a file in the working folder at the next save: a bare name only.
        if (name.empty() || name.front() == '.' ||
            name.find_first_of("/\\:") != std::string::npos || FindEntry(name) != nullptr)
            continue;
        Entry entry;
        entry.fileName = name;
        if (mod.HasFile(ArchivedName(name))) {
            entry.origin = Origin::ThisArchive;
            entry.source = &mod;
        } else {
            for (const CModStore* store : m_game) {
                if (store->HasFile(ArchivedName(name))) {
                    entry.source = store;
                    break;
                }
            }
            if (entry.source == nullptr)
                continue;
        }
        m_entries.push_back(std::move(entry));
    }
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

std::unique_ptr<CTxtTable> CModTables::ReadTable(const CModStore& store,
                                                 const std::string& fileName) {
    std::string bytes;
    auto table = std::make_unique<CTxtTable>();
    if (!store.ReadFile(ArchivedName(fileName), bytes) || !table->LoadFromBytes(std::move(bytes)))
        return nullptr;
    return table;
}

CTxtTable* CModTables::Open(Entry& entry, std::string& error) {
    if (CTxtTable* table = Loaded(entry))
        return table;
    std::unique_ptr<CTxtTable> table =
        entry.source ? ReadTable(*entry.source, entry.fileName) : nullptr;
    if (!table) {
        error = entry.fileName + " could not be read from " +
                (entry.source ? entry.source->DisplayName() : std::string("any store")) + ".";
        return nullptr;
    }
    table->SetPrompts(m_data.Table(CGameDataSet::TableId::Skills).Prompts());
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

std::vector<const CModTables::Entry*> CModTables::ToSave(bool elsewhere) const {
    std::vector<const Entry*> tables;
    for (const Entry& entry : m_entries)
        if (!entry.id && entry.own &&
            (entry.changed || (elsewhere && entry.origin == Origin::ThisArchive)))
            tables.push_back(&entry);
    return tables;
}

void CModTables::Saved(const CModStore& mod) {
    if (!m_bFound)
        return;
    const bool elsewhere = &mod != m_pMod;
    for (Entry& entry : m_entries) {
        // What the save wrote is this mod's from now on.
        if (entry.changed || (entry.id && elsewhere))
            entry.origin = Origin::ThisArchive;
        if (entry.origin == Origin::ThisArchive && !entry.id)
            entry.source = &mod;
    }
    m_pMod = &mod;
}

const CTxtTable* CModTables::Base(const std::string& fileName) {
    const std::string key = AsciiUpperCopy(fileName);
    if (auto known = m_bases.find(key); known != m_bases.end())
        return known->second.get();
    std::unique_ptr<CTxtTable> base;
    for (const CModStore* store : m_game) {
        if (store->HasFile(ArchivedName(fileName))) {
            base = ReadTable(*store, fileName);
            break;
        }
    }
    if (!base && !m_strTablesFolder.empty()) {
        const Entry* entry = FindEntry(fileName);
        auto copy = std::make_unique<CTxtTable>();
        if (entry != nullptr && entry->id && copy->Load(m_strTablesFolder + "\\" + entry->fileName))
            base = std::move(copy);
    }
    return (m_bases[key] = std::move(base)).get();
}
