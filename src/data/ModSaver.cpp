#include "data/ModSaver.h"

#include "data/OverridesFolder.h"
#include "graphics/Dc6Converter.h"
#include "platform/AsciiText.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/NoteLog.h"
#include "platform/ProcessRunner.h"
#include "platform/UserPrompts.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>

namespace {

using TableId = CGameDataSet::TableId;

// The order in which the tables are written to their temporary files.
constexpr std::array<TableId, 9> kWriteOrder = {
    TableId::MonStats,        TableId::MonItemPercent, TableId::Levels,
    TableId::Armor,           TableId::Weapons,        TableId::UniqueItems,
    TableId::TreasureClassEx, TableId::Skills,         TableId::DifficultyLevels};

// The order in which they are added; TreasureClassEx only for compiled-table versions, last.
constexpr std::array<TableId, 8> kAddOrder = {
    TableId::MonStats, TableId::MonItemPercent, TableId::Levels, TableId::Armor,
    TableId::Weapons,  TableId::UniqueItems,    TableId::Skills, TableId::DifficultyLevels};

// The compiled tables the game leaves in the working folder, and where they go.
constexpr std::array<std::pair<const char*, const char*>, 9> kCompiledTables = {{
    {"\\data\\global\\excel\\armor.bin", "\\overrides\\data!global!excel!armor.bin"},
    {"\\data\\global\\excel\\difficultylevels.bin",
     "\\overrides\\data!global!excel!difficultylevels.bin"},
    {"\\data\\global\\excel\\Levels.bin", "\\overrides\\data!global!excel!Levels.bin"},
    {"\\data\\global\\excel\\MonItemPercent.bin",
     "\\overrides\\data!global!excel!MonItemPercent.bin"},
    {"\\data\\global\\excel\\Monstats.bin", "\\overrides\\data!global!excel!Monstats.bin"},
    {"\\data\\global\\excel\\UniqueItems.bin", "\\overrides\\data!global!excel!UniqueItems.bin"},
    {"\\data\\global\\excel\\Weapons.bin", "\\overrides\\data!global!excel!Weapons.bin"},
    {"\\data\\global\\excel\\Skills.bin", "\\overrides\\data!global!excel!Skills.bin"},
    {"\\data\\global\\excel\\TreasureClassEx.bin",
     "\\overrides\\data!global!excel!TreasureClassEx.bin"},
}};

constexpr const char* kNeedsFolder =
    "The mod engine has detected that you are using a version of Diablo II\n"
    "that requires an additional step in order save your changes.\n"
    "To do this, you must first set your Diablo II folder using the file menu.";

constexpr const char* kContinueWithSave =
    "The mod engine has detected that you are using a version of Diablo II\n"
    "that requires an additional final step in order to active your changes.\n"
    "The mod engine will now run the Diablo II game.\n"
    "Please ensure that the game CD is in the drive, and that the mpq file you have\n"
    "editted, is in your Diablo II folder. When the game is loaded, select\n"
    "any character and load the game, then save and exit.\n"
    "If you plan to do further editting before testing or playing your mod,\n"
    "you can press cancel and your current edits will still be saved.\n"
    "\n"
    "Continue with save ?";

} // namespace

std::string CModSaver::TemporaryFile(TableId id) {
    return "tmp" + CGameDataSet::FileName(id);
}

CModSaver::CModSaver(CGameDataSet& data, CMpqArchive* archive, const std::string& diabloFolder,
                     CUserPrompts& prompts, CNoteLog& notes)
    : m_data(data), m_pArchive(archive), m_strDiabloFolder(diabloFolder), m_prompts(prompts),
      m_notes(notes) {}

void CModSaver::Save() {
    if (m_pArchive == nullptr) {
        Fail();
        return;
    }
    const std::string& path = m_pArchive->m_strArchivePath;
    const std::string shown = NativePath(path);
    // The mode protects the archive whoever saves, even where the system would let us write.
    m_pArchive->m_bReplaceReadOnly = false;
    if (IsReadOnlyFile(path)) {
        if (!m_prompts.AskYesNo(shown + " is read-only. Replace it anyway?")) {
            m_notes.AppendNote(shown + " is read-only, so nothing was saved.");
            return;
        }
        m_pArchive->m_bReplaceReadOnly = true;
    }
    // Held for the whole save, so that another instance cannot add between its batches.
    CFileLock lock(path, m_prompts, m_notes,
                   "Waiting for another program to finish saving " + shown + "...");
    if (lock.HeldElsewhere()) {
        m_notes.AppendNote(CMpqArchive::BusyNote(path));
        Fail();
        return;
    }

    // Every table's working copy is written before the archive is touched: a stale file must
    // never reach it, and a new archive must hold every table. A full disk fails them all, so the
    // first failure (its file error shown once) ends the save.
    std::vector<std::pair<std::string, const CTxtTable*>> written;
    for (TableId id : kWriteOrder)
        written.emplace_back(CGameDataSet::FileName(id), &m_data.Table(id));
    written.insert(written.end(), m_moreTables.begin(), m_moreTables.end());
    for (const auto& [fileName, table] : written) {
        if (!table->Save("tmp" + fileName)) {
            m_notes.AppendNote(fileName + " could not be written, so nothing was saved.");
            Fail();
            return;
        }
    }
    CMpqArchive::FileList tables;
    auto addTable = [&](TableId id) {
        tables.emplace_back(TemporaryFile(id), CGameDataSet::ArchivePath(id));
    };
    for (TableId id : kAddOrder)
        addTable(id);
    // Save As may name a file that is not there yet: the new archive gets all nine tables, so
    // that it makes a mod of its own. An archive that lacks one gets it too.
    const bool newArchive = !FileExists(path);
    if (m_data.m_bBinTables || newArchive ||
        !m_pArchive->HasFile(CGameDataSet::ArchivePath(TableId::TreasureClassEx)))
        addTable(TableId::TreasureClassEx);
    for (const auto& [fileName, table] : m_moreTables)
        tables.emplace_back("tmp" + fileName, "Data\\Global\\Excel\\" + fileName);
    m_bOverridesComplete = true;
    m_bOnDisk = true;

    if (!m_data.m_bBinTables) {
        // No game run in between: the tables and the overrides go in as one batch.
        std::vector<std::string> converted;
        CMpqArchive::FileList files = tables;
        CMpqArchive::FileList overrides = CollectOverrides(converted);
        files.insert(files.end(), overrides.begin(), overrides.end());
        bool added = AddBatch(files, tables.size());
        RemoveConverted(converted);
        if (!added) {
            Fail();
            return;
        }
        NoteNewArchive(newArchive);
        Complete(true);
        return;
    }

    if (!AddBatch(tables, tables.size())) {
        Fail();
        return;
    }
    NoteNewArchive(newArchive);
    if (m_strDiabloFolder.empty()) {
        m_prompts.ShowMessage(kNeedsFolder);
        // The game has not compiled the tables: the edits are not in effect yet.
        m_notes.AppendNote("The tables are in the archive, but its compiled tables are not up to "
                           "date. Set the Diablo II folder in the File menu and save again.");
        DeleteTempFiles();
        return;
    }
    const bool run = m_prompts.AskOkCancel(kContinueWithSave);
    const bool compiled = run && CompileStep();
    NoteEarlierCompiledTables();
    if (!AddOverridesToArchive())
        m_bOverridesComplete = false;
    Complete(!run || compiled);
}

void CModSaver::Complete(bool compiledUpToDate) {
    for (const std::function<std::string()>& summary : m_summaries)
        if (std::string text = summary(); !text.empty())
            m_notes.AppendNote(text);
    if (m_bOverridesComplete && compiledUpToDate) {
        m_notes.AppendNote("Diablo II has been updated.");
    } else {
        // The last line says what the archive holds now.
        std::string line = m_bOverridesComplete
                               ? "The tables and the overrides are in the archive"
                               : "The tables are in the archive, but not every file of the "
                                 "overrides folder is";
        if (compiledUpToDate)
            line += ". Save again once the files named above can be added.";
        else
            line += std::string(m_bOverridesComplete ? ", but" : ", and") +
                    " its compiled tables are not up to date. Save again once Diablo II can be "
                    "run.";
        m_notes.AppendNote(line);
    }
    // Set until everything this save meant to write is in the archive, on the disk.
    m_data.m_bModified = !m_bOverridesComplete || !m_bOnDisk || !compiledUpToDate;
    DeleteTempFiles();
}

void CModSaver::Fail() {
    m_notes.AppendNote("Failed to update files in MPQ. Please try again.");
    DeleteTempFiles();
}

bool CModSaver::AddBatch(CMpqArchive::FileList files, size_t required) {
    CBusyCursor busy(m_prompts);
    while (true) {
        std::string failedName;
        size_t failedIndex = files.size();
        bool added = m_pArchive->AddFiles(files, false, &failedName, &failedIndex);
        if (!m_pArchive->m_strNote.empty())
            m_notes.AppendNote(m_pArchive->m_strNote);
        if (added) {
            // Replaced, but perhaps not yet on the disk: a save again flushes it anew.
            m_bOnDisk = m_bOnDisk && m_pArchive->m_bFlushed;
            return true;
        }
        // The entry that failed is blamed by its place: two files may share an archived name.
        if (failedIndex >= files.size() || failedIndex < required)
            return false;
        m_notes.AppendNote(NativePath(files[failedIndex].first) +
                           " could not be added to the archive as " + failedName + ".");
        m_bOverridesComplete = false;
        files.erase(files.begin() + static_cast<std::ptrdiff_t>(failedIndex));
    }
}

std::vector<std::pair<std::string, std::string>> CModSaver::CompiledTables() const {
    std::vector<std::pair<std::string, std::string>> compiled(kCompiledTables.begin(),
                                                              kCompiledTables.end());
    for (const auto& [fileName, table] : m_moreTables) {
        const std::string stem = fileName.substr(0, fileName.rfind('.'));
        compiled.emplace_back("\\data\\global\\excel\\" + stem + ".bin",
                              "\\overrides\\data!global!excel!" + stem + ".bin");
    }
    return compiled;
}

bool CModSaver::CompileStep() {
    const std::vector<std::pair<std::string, std::string>> compiledTables = CompiledTables();
    m_compiledThisRun.assign(compiledTables.size(), false);
    std::string base = GetWorkingFolder();
    MakeFolder(base + "\\data");
    MakeFolder(base + "\\data\\global");
    MakeFolder(base + "\\data\\global\\excel");
    ClearCompiledOutput(base + "\\data\\global\\excel");

    const std::string game = m_strDiabloFolder + "\\Diablo II.exe";
    const ProcessResult result = RunProcess("\"" + game + "\" -txt", m_whileGameRuns);
    if (m_gameRunEnded)
        m_gameRunEnded();
    m_prompts.ShowMessage("Click OK when Diablo II has run, and been shut down.");

    const std::string shown = NativePath(game);
    const std::string notUpdated = ", so the compiled tables were not updated.";
    switch (result.start) {
    case ProcessResult::Start::Started:
        break;
    case ProcessResult::Start::NotFound:
        m_notes.AppendNote(shown + " could not be started: there is no such file" + notUpdated);
        return false;
    case ProcessResult::Start::NoWine:
        m_notes.AppendNote(shown + " could not be started: it needs \"wine\", which was not found" +
                           notUpdated);
        return false;
    case ProcessResult::Start::FailedToStart:
        m_notes.AppendNote(shown + " could not be started" + notUpdated);
        return false;
    }
    // What a failed run left behind may be half written.
    if (result.crashed) {
        m_notes.AppendNote(shown + " was ended by a signal" + notUpdated);
        return false;
    }
    if (result.exitCode != 0) {
        m_notes.AppendNote(shown + " ended with the error status " +
                           std::to_string(result.exitCode) + notUpdated);
        return false;
    }

    // The game may spell its files otherwise than the list does ("ARMOR.BIN").
    base = GetWorkingFolder();
    bool any = false;
    for (size_t i = 0; i < compiledTables.size(); ++i) {
        const std::string_view path = compiledTables[i].first;
        const size_t slash = path.rfind('\\');
        const std::string name(path.substr(slash + 1));
        std::optional<std::string> found =
            FindFileIgnoringCase(base + std::string(path.substr(0, slash)), name);
        if (!found || std::any_of(m_staleCompiled.begin(), m_staleCompiled.end(),
                                  [&](const std::string& stale) {
                                      return EqualsIgnoringAsciiCase(stale, name);
                                  }))
            continue;
        const std::string destination = base + compiledTables[i].second;
        if (!CopyFileTo(*found, destination, false)) {
            m_notes.AppendNote(NativePath(*found) + " could not be copied to " +
                               NativePath(destination) + ".");
            continue;
        }
        m_compiledThisRun[i] = true;
        any = true;
    }
    if (!any) {
        // A Wine that runs only 64-bit programs ends a 32-bit game at once, with status 0.
        m_notes.AppendNote(shown + " ended without writing any compiled table" + notUpdated);
        return false;
    }
    return true;
}

void CModSaver::ClearCompiledOutput(const std::string& folder) {
    m_staleCompiled.clear();
    for (const FolderEntry& entry : ListFolder(folder)) {
        const std::string_view name = entry.name;
        if (!entry.isRegular || entry.isLink || name.size() < 4 ||
            !EqualsIgnoringAsciiCase(name.substr(name.size() - 4), ".bin"))
            continue;
        if (!RemoveRegularFile(folder + "\\" + entry.name)) {
            m_notes.AppendNote(NativePath(folder) + "/" + entry.name +
                               " of an earlier run could not be deleted, so it is not taken.");
            m_staleCompiled.push_back(entry.name);
        }
    }
}

void CModSaver::NoteEarlierCompiledTables() {
    const std::string base = GetWorkingFolder();
    const std::vector<std::pair<std::string, std::string>> compiledTables = CompiledTables();
    for (size_t i = 0; i < compiledTables.size(); ++i) {
        if (i < m_compiledThisRun.size() && m_compiledThisRun[i])
            continue;
        const std::string_view path = compiledTables[i].second;
        const size_t slash = path.rfind('\\');
        if (std::optional<std::string> found = FindFileIgnoringCase(
                base + std::string(path.substr(0, slash)), std::string(path.substr(slash + 1))))
            m_notes.AppendNote(NativePath(*found) +
                               " is from an earlier run of Diablo II: it goes in, but does not "
                               "hold the changes of this save.");
    }
}

CMpqArchive::FileList CModSaver::CollectOverrides(std::vector<std::string>& converted) {
    const std::string dir = GetWorkingFolder() + "\\overrides";
    std::vector<std::string> list;
    std::vector<COverridesFolder::Skipped> skipped;
    COverridesFolder::ListFiles(dir, list, &skipped);
    for (const COverridesFolder::Skipped& entry : skipped)
        m_notes.AppendNote(entry.path + " could not be added to the archive: " + entry.reason +
                           ".");

    CMpqArchive::FileList files;
    for (std::string path : list) {
        std::string rel = COverridesFolder::ArchivedName(dir, path);
        if (EqualsIgnoringAsciiCase(rel, "Notes.txt"))
            continue;
        if (!COverridesFolder::IsPlainArchivedName(rel)) {
            m_notes.AppendNote(NativePath(path) +
                               " could not be added to the archive: its name gives \"" + rel +
                               "\", which is not a path inside the game's data.");
            continue;
        }
        // Only the file's own name decides, and only its last extension: "inv.pcx.bak" is
        // not a picture. The search respects case, so "INV.PCX" goes in unchanged.
        const std::string fileName = path.substr(path.rfind('\\') + 1);
        if (fileName.size() > 4 && fileName.compare(fileName.size() - 4, 4, ".pcx") == 0) {
            // A picture goes in as data\global\items\<name>.dc6; the PCX stays for next time.
            std::string target = dir + "\\data!global!items!" + Dc6NameForPcx(fileName);
            // A DC6 of the user's under that name goes in as it is.
            if (FileExists(target)) {
                m_notes.AppendNote(NativePath(path) + " was not converted: " + NativePath(target) +
                                   " is in the way.");
                continue;
            }
            // Converted under a temporary name, which no later walk adds should this save be
            // killed before the file is removed again.
            std::string temporary = TemporaryPathBeside(target);
            std::string error;
            if (!ConvertPictureTo(path, temporary, &error)) {
                // The converter's text names its files with backslashes and ends in a line break.
                while (!error.empty() && error.back() == '\n')
                    error.pop_back();
                m_notes.AppendNote(NativePath(path) +
                                   " could not be converted to DC6: " + NativePath(error));
                continue;
            }
            converted.push_back(temporary);
            rel = COverridesFolder::ArchivedName(dir, target);
            path = temporary;
        }
        files.emplace_back(path, rel);
    }
    return files;
}

bool CModSaver::AddOverridesToArchive() {
    std::vector<std::string> converted;
    CMpqArchive::FileList files = CollectOverrides(converted);
    bool added = AddBatch(files, 0);
    RemoveConverted(converted);
    return added;
}

void CModSaver::RemoveConverted(const std::vector<std::string>& converted) {
    for (const std::string& path : converted)
        if (!RemoveFile(path) && FileExists(path))
            m_notes.AppendNote(NativePath(path) + " could not be deleted.");
}

void CModSaver::DeleteTempFiles() {
    for (const char* name : {"tmpmonstats.txt", "tmpTreasureClassEx.txt", "tmpMonItemPercent.txt",
                             "tmpLevels.txt", "tmpWeapons.txt", "tmpArmor.txt",
                             "tmpUniqueItems.txt", "tmpDifficultyLevels.txt", "tmpSkills.txt"})
        RemoveFile(name);
    for (const auto& [fileName, table] : m_moreTables)
        RemoveFile("tmp" + fileName);
}

void CModSaver::NoteNewArchive(bool made) {
    if (made)
        m_notes.AppendNote("A new archive was made at " + NativePath(m_pArchive->m_strArchivePath) +
                           ".");
}
