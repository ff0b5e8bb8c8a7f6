#pragma once

#include <string>
#include <utility>
#include <vector>

// Where a mod's files live: an archive, or a Resurrected mod folder. Editors and the data set
// see only this; the stores differ in where files come from and how a batch is written.
// Files are named as inside an archive, with backslashes ("Data\Global\Excel\Armor.txt"), and
// compared ignoring ASCII case.
class CModStore {
public:
    virtual ~CModStore() = default;

    // The name shown in the title and the notes.
    virtual std::string DisplayName() const = 0;
    virtual bool HasFile(const std::string& archivedName) const = 0;
    // False when the store holds no such file or it cannot be read.
    virtual bool ReadFile(const std::string& archivedName, std::string& bytes) const = 0;
    // The file names ("Armor.txt") under data\global\excel\, where the store can list them.
    virtual std::vector<std::string> ListExcelTables() const = 0;
    // Writes every file (archived name, bytes) or none of them; `error` says why not.
    virtual bool WriteBatch(const std::vector<std::pair<std::string, std::string>>& files,
                            std::string& error) = 0;
};
