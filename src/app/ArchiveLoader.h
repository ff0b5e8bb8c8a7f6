#pragma once

#include "data/GameDataSet.h"
#include "data/MpqArchive.h"

#include <memory>
#include <string>

class CUserPrompts;

// The tables of one archive chosen to open, loaded aside into a data set of their own, so that
// a file that is not an archive, or lacks tables, leaves the archive and tables opened before
// untouched.
class CArchiveLoader {
public:
    CArchiveLoader(const std::string& path, bool expansion, CUserPrompts& prompts);

    // Why the file cannot be opened, found before anything is extracted from it; "" when it can.
    std::string Check() const;
    // Loads the tables and writes their working copies into `workingFolder`; "" when every table
    // needed was loaded, else why the open failed.
    std::string Load(const std::string& workingFolder);
    // The end of a failure message: what stays open (`previous` may be null).
    static std::string WhatStays(const CMpqArchive* previous);

    CGameDataSet m_data;
    std::unique_ptr<CMpqArchive> m_pArchive;
};
