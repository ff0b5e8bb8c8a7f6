#pragma once

#include "store/ModFolderJournal.h"
#include "store/ModStore.h"

#include <memory>
#include <string>

class CNoteLog;

// A Diablo II: Resurrected mod: the folder <game>/mods/<name>/, whose <name>.mpq/ folder holds
// modinfo.json and the mod's loose files (data/global/excel/Armor.txt ...). The game reads them
// as they are, so saving is writing files: all of a batch or none, through a journal beside the
// .mpq folder that the next open finishes when a save was killed.
//
// Archived names become paths under the .mpq folder: folders in lower case, the file name as
// given, and a file or folder that is already there in another letter case is the one used.
// Nothing here follows a link inside the mod folder or writes outside it.
class CModFolderStore : public CModStore {
public:
    // `folder` is mods/<name> or its <name>.mpq folder. Nothing, with `error`, for anything else.
    static std::unique_ptr<CModFolderStore> Open(const std::string& folder, std::string& error);
    // Makes <modsFolder>/<name>/<name>.mpq/modinfo.json. A name that could be read as a path or
    // break the JSON is refused.
    static bool Create(const std::string& modsFolder, const std::string& name, std::string& error);
    // Finishes the save a journal records and removes the temporaries a killed save left. False,
    // with a note, when the journal is damaged: then nothing is renamed or removed.
    static bool Recover(const std::string& folder, CNoteLog& notes);

    std::string DisplayName() const override { return m_name; }
    bool HasFile(const std::string& archivedName) const override;
    bool ReadFile(const std::string& archivedName, std::string& bytes) const override;
    std::vector<std::string> ListExcelTables() const override;
    bool WriteBatch(const std::vector<std::pair<std::string, std::string>>& files,
                    std::string& error) override;

    // The <name>.mpq folder, native.
    const std::string& DataFolder() const { return m_dataFolder; }
    std::string JournalPath() const;

private:
    CModFolderStore(std::string modFolder, std::string name);

    // The native path of the folder `relative` ("data/global/excel") names under the .mpq
    // folder. With `make` the missing folders are made (and listed in `made`); without, nothing
    // when one is not there. Nothing, with `error`, when something else is in the way.
    std::optional<std::string> LocateFolder(const std::string& relative, bool make,
                                            std::vector<std::string>* made,
                                            std::string& error) const;
    // The native path of the file `archivedName` names, found or made as LocateFolder does.
    std::optional<std::string> Locate(const std::string& archivedName, bool make,
                                      std::vector<std::string>* made, std::string& error) const;
    bool FinishJournal(std::string& error) const;
    bool ApplyRenames(const std::vector<CModFolderJournal::Rename>& renames,
                      std::string& error) const;

    std::string m_modFolder;
    std::string m_name;
    std::string m_dataFolder;
};
