#pragma once

#include "data/GameDataSet.h"

#include <string>

class CModTables;
class CNoteLog;
class CUserPrompts;

// Save Tables and Load Tables on a folder the user chose. Tables of the other game versions'
// column layout replace the open ones only when the user agrees: saved into the archive, they
// would not suit its game.
class CTablesFolder {
public:
    // `more`, when given, holds the tables beyond the nine: those read so far are saved too, and
    // any of them the folder holds is loaded.
    CTablesFolder(CGameDataSet& data, CUserPrompts& prompts, CNoteLog& notes,
                  CModTables* more = nullptr);

    void Save(const std::string& folder);
    // Loading marks the data set modified: the tables loaded are in no archive yet.
    void Load(const std::string& folder);

private:
    // Loads every table beyond the nine that the folder holds; the nine's notes are given.
    void LoadMore(const std::string& folder);
    // True when the tables read may replace the open ones: their layout is that of the open
    // tables, or the user agreed to the other.
    bool ConfirmLayout(const CGameDataSet::FolderLoad& load, const std::string& folder);

    CGameDataSet& m_data;
    CUserPrompts& m_prompts;
    CNoteLog& m_notes;
    CModTables* m_pMore;
};
