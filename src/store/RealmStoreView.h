#pragma once

#include "store/ModStore.h"

#include <string>

// The classic realm's copies of a Resurrected store's tables seen as its tables: a name under
// data\global\excel\ stands for the same name under data\global\excel\base\. Everything else
// passes through unchanged.
class CRealmStoreView : public CModStore {
public:
    explicit CRealmStoreView(CModStore& store) : m_store(store) {}

    // "Data\Global\Excel\Armor.txt" -> "Data\Global\Excel\base\Armor.txt".
    static std::string ClassicName(const std::string& archivedName);

    std::string DisplayName() const override { return m_store.DisplayName(); }
    bool HasFile(const std::string& archivedName) const override;
    bool ReadFile(const std::string& archivedName, std::string& bytes) const override;
    std::vector<std::string> ListExcelTables() const override;
    bool WriteBatch(const std::vector<std::pair<std::string, std::string>>& files,
                    std::string& error) override;

private:
    CModStore& m_store;
};
