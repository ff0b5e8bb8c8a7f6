#pragma once

#include "store/MpqCompactor.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

// The program's way into MPQ archives for the tables and for every write (StormLib underneath).
// No archive stays open between calls: every operation opens the archive, does its work and
// closes it again. Item pictures are read through CArchiveReaderCache instead, which keeps
// each archive open, read-only, while an item editor runs.
//
// Paths are given in the program's backslash form and turned native only when a file is
// touched; archived names always keep their backslashes ("Data\Global\Excel\Armor.txt").
//
// Updates never change the archive in place: StormLib rewrites its tables over live data, so a
// process killed mid-update would leave an archive without files. Every update works on a copy
// beside the archive, which is flushed and then renamed over the original in one step.
class CMpqArchive {
public:
    // A batch of additions: local file path, then the name it gets in the archive.
    using FileList = std::vector<std::pair<std::string, std::string>>;

    // Diablo II refuses archives whose hash table is larger than this.
    static constexpr std::uint32_t kMaxHashTableSize = 65536;

    explicit CMpqArchive(const std::string& archivePath);

    void SetArchivePath(const std::string& archivePath);

    // Writes the archived file `name` into `folder` (".\" when null), under its whole archived
    // name when `keepPath` is set, else under the part after its last backslash. Prints
    // "name => destination" (native) as one line to standard output once written. False when the
    // archive or the name cannot be read, the file is empty, or the destination cannot be written;
    // nothing is written then.
    bool ExtractFile(const char* name, const char* folder, bool keepPath);

    // Reads the archived file `name` whole into `bytes`. False when the archive or the name cannot
    // be read or the file is empty; `bytes` is empty then.
    bool ReadFile(const std::string& name, std::string& bytes) const;

    // True when the archive opens and holds a file of that name (names ignore case).
    bool HasFile(const std::string& name) const;

    // True when the file at the archive path is an archive that opens for reading.
    bool CanBeRead() const;

    // Adds the local file `path` under `archivedName`, replacing a file of that name. A null
    // name is made from the path: what follows its drive colon ("C:\Work\x.txt" -> "Work\x.txt").
    // When no file exists at the archive path a new archive is made there. `compress` stores
    // the file PKWARE-compressed. True only when the file is in the archive on disk afterwards.
    bool AddFile(const std::string& path, const char* archivedName, bool compress);

    // Adds every file of the batch with a single copy of the archive, all or nothing: when one
    // addition fails the archive on disk is left exactly as it was and false is returned, with
    // `failedName` set to the archived name that could not be added ("" when the archive itself
    // could not be opened, made or replaced, or the disk is full) and `failedIndex` to its position
    // in `files` (files.size() then). An empty batch changes nothing and succeeds. StormLib leaves
    // a replaced file's old space unused: the copy leaves that space out (m_strNote says how
    // much), and an archive this program cannot read safely (damaged, or not of version 1) is
    // refused, m_strNote saying why. A symbolic link at the
    // archive path is followed: the file it names is replaced, keeping its mode, owner, group and
    // extended attributes (m_strNote names a new owner where the old one could not be kept). A
    // read-only archive is replaced only with m_bReplaceReadOnly. The update holds the archive's
    // CFileLock; when another program holds it past the brief wait nothing changes and m_strNote
    // says why, as it does for a full disk or a read-only folder.
    bool AddFiles(const FileList& files, bool compress, std::string* failedName = nullptr,
                  std::size_t* failedIndex = nullptr);

    // The note for a user whose update found another program updating the archive.
    static std::string BusyNote(const std::string& archivePath);

    // Reads the archived file `name` of an open StormLib archive handle whole. Its size is
    // stored in `sizeOut` when given (also 0 for an empty file). Null when the file is missing,
    // empty or unreadable, or memory runs out.
    static std::unique_ptr<std::uint8_t[]> ReadFileToMemory(void* archive, const char* name,
                                                            std::uint32_t* sizeOut);
    static void FreeFileMemory(std::unique_ptr<std::uint8_t[]>& block);

    std::string m_strArchivePath;
    // StormLib needs no initialisation; kept for the callers that check it.
    bool m_bInitFailed = false;
    // A remark for the user about the last AddFiles ("" when none): why it failed, how much
    // replaced data it took out, or that the archive's other names (hard links) kept the old
    // content.
    std::string m_strNote;
    // Set by a caller whose user agreed to replace the archive although its mode is read-only.
    bool m_bReplaceReadOnly = false;
    // False when the last AddFiles replaced the archive but the disk did not confirm the flush.
    bool m_bFlushed = true;

private:
    // Sets m_strNote for the failure's cause where the user can act on it; always false.
    // `making`: the copy of the archive was being made in its folder.
    bool Failed(int error, const std::string& target, bool making);
    // The error of the failure, 0 when every file went in.
    int UpdateOpenArchive(void* archive, const std::string& workPath,
                          const CMpqCompactor::Result& compacted, const FileList& files,
                          bool compress, std::string* failedName, std::size_t* failedIndex);
    // What the compacting copy took out of the archive and what it could not ("" when nothing).
    std::string CompactionNote(const CMpqCompactor::Result& compacted) const;
};
