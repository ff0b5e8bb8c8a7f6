#pragma once

#include "data/GameDataSet.h"
#include "data/MpqArchive.h"

#include <functional>
#include <string>
#include <utility>
#include <vector>

class CUserPrompts;
class CNoteLog;

// File > Save: writes the nine tables into the archive the user opened (or chose with Save
// As), runs the game once with "-txt" for versions that read compiled tables, and adds every
// file of the overrides folder, pictures converted from PCX to DC6 on the way.
//
// Additions go in as crash-safe batches (CMpqArchive::AddFiles): the archive on disk holds
// either all of a batch or none of it. Without a game run the tables and the overrides are one
// batch; with one, the tables go in first (the game compiles what it finds in the archive) and
// the overrides after it.
//
// The game run is judged by what it produced: only compiled tables written during this run are
// taken, and a run that could not start, failed or wrote nothing leaves the data set marked as
// modified, with the cause in the notes.
class CModSaver {
public:
    using TableId = CGameDataSet::TableId;

    // Temporary file of a table in the working folder: "tmpmonstats.txt", ...
    static std::string TemporaryFile(TableId id);

    CModSaver(CGameDataSet& data, CMpqArchive* archive, const std::string& diabloFolder,
              CUserPrompts& prompts, CNoteLog& notes);

    // Tables beyond the nine that the save writes too (the changed ones), by file name. Each
    // goes in under "Data\Global\Excel\<file name>", and its compiled file with the nine's.
    void SetMoreTables(std::vector<std::pair<std::string, const CTxtTable*>> tables) {
        m_moreTables = std::move(tables);
    }

    // A sentence on the mod as saved (how far it differs from the game's tables, what problems
    // it has), noted just before the last line of a save whose tables went in, in the order
    // added. An empty sentence is not noted.
    void AddSummary(std::function<std::string()> summary) {
        m_summaries.push_back(std::move(summary));
    }

    // Called again and again while the game runs (to keep the window painted), and once when
    // the game has ended, before the save asks anything again.
    void SetGameRunCallbacks(std::function<void()> whileRunning, std::function<void()> ended) {
        m_whileGameRuns = std::move(whileRunning);
        m_gameRunEnded = std::move(ended);
    }

    // The whole save (File > Save). Every table's working copy is written before the archive is
    // touched, or nothing is saved. m_bModified is cleared only when everything went in, the
    // compiled tables included, and the disk confirmed it.
    void Save();

    // Runs the game with "-txt" and copies the compiled tables it wrote into the overrides
    // folder. The compiled files left in its output folder are deleted before the run, so that
    // an earlier run's files are never taken for this run's. False, with the cause in the notes,
    // when the game could not be started, ended with an error, or wrote no compiled table.
    bool CompileStep();

    // Adds every file of the overrides folder, returns false when the archive could not be
    // updated at all. Files that cannot be converted or added are reported by name and left
    // out; the others still go in.
    bool AddOverridesToArchive();

    void DeleteTempFiles();

private:
    // Adds `files` under the busy cursor; the first `required` of them must all go in, the rest
    // are left out one by one (and reported) when they cannot be added. False when a required
    // file failed.
    bool AddBatch(CMpqArchive::FileList files, size_t required);
    // The overrides folder as additions; converted pictures are listed in `converted` so that
    // they can be removed again afterwards.
    CMpqArchive::FileList CollectOverrides(std::vector<std::string>& converted);
    // Deletes the compiled files in the game's output folder before a run. Those that cannot be
    // deleted are remembered and never taken afterwards.
    void ClearCompiledOutput(const std::string& folder);
    // Names the compiled tables in the overrides folder that this save's run did not renew: they
    // still go in, but hold an earlier run's tables.
    void NoteEarlierCompiledTables();
    // Deletes the pictures converted for this save; one that stays is named.
    void RemoveConverted(const std::vector<std::string>& converted);
    void NoteNewArchive(bool made);
    void Fail();
    // The last line of a save whose tables went in, saying what else the archive holds now.
    void Complete(bool compiledUpToDate);

    CGameDataSet& m_data;
    CMpqArchive* m_pArchive;
    std::string m_strDiabloFolder;
    CUserPrompts& m_prompts;
    CNoteLog& m_notes;
    std::function<void()> m_whileGameRuns;
    std::function<void()> m_gameRunEnded;
    // The compiled tables a run may write: the game's output file and where it goes.
    std::vector<std::pair<std::string, std::string>> CompiledTables() const;

    std::vector<std::pair<std::string, const CTxtTable*>> m_moreTables;
    std::vector<std::function<std::string()>> m_summaries;
    // Per compiled table (in the order of CompiledTables()): written by this save's run.
    std::vector<bool> m_compiledThisRun;
    // Compiled files of an earlier run that could not be deleted before this run.
    std::vector<std::string> m_staleCompiled;
    // This save's: every overrides file went in; every update of the archive was flushed.
    bool m_bOverridesComplete = true;
    bool m_bOnDisk = true;
};
