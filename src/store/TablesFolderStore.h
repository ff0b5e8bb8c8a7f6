#pragma once

#include "store/ModStore.h"

#include <optional>
#include <string>

// The game's own tables as the user extracted them from Diablo II: Resurrected (whose storage no
// library here reads): a folder holding data/global/excel/, or that excel folder itself. The
// copies the classic realm reads are in its base/ folder. Read only.
class CTablesFolderStore : public CModStore {
public:
    // The excel folder a chosen folder stands for; nothing when it holds no table.
    static std::optional<std::string> ExcelFolder(const std::string& chosen);

    // `excelFolder` as ExcelFolder() gives it.
    explicit CTablesFolderStore(std::string excelFolder);

    std::string DisplayName() const override { return m_excelFolder; }
    bool HasFile(const std::string& archivedName) const override;
    bool ReadFile(const std::string& archivedName, std::string& bytes) const override;
    std::vector<std::string> ListExcelTables() const override;
    // The game's own tables are never written.
    bool WriteBatch(const std::vector<std::pair<std::string, std::string>>& files,
                    std::string& error) override;

private:
    // The file an archived name ("Data\Global\Excel\base\Armor.txt") stands for, any case.
    std::optional<std::string> Locate(const std::string& archivedName) const;

    std::string m_excelFolder;
};
