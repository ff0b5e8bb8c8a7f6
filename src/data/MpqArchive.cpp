#include "data/MpqArchive.h"

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "store/MpqCompactor.h"

#include <StormLib.h>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <new>
#include <optional>
#include <string_view>
#include <system_error>

namespace {

// Size of the hash table of a new archive (StormLib rounds 1000 up to 1024).
constexpr DWORD kNewArchiveMaxFiles = 1000;

// An archive is compacted on its copy once this share of it holds replaced, unused data.
constexpr std::uint64_t kCompactWhenWasteExceedsOneIn = 4;

// Closes a StormLib archive handle when it goes, unless closed on purpose before.
class CArchiveHandle {
public:
    CArchiveHandle() = default;
    ~CArchiveHandle() { Close(); }
    CArchiveHandle(const CArchiveHandle&) = delete;
    CArchiveHandle& operator=(const CArchiveHandle&) = delete;

    HANDLE* Out() { return &m_handle; }
    HANDLE Get() const { return m_handle; }
    // False when StormLib could not write the archive out.
    bool Close() {
        if (m_handle == nullptr)
            return true;
        bool ok = SFileCloseArchive(m_handle);
        m_handle = nullptr;
        return ok;
    }

private:
    HANDLE m_handle = nullptr;
};

bool OpenReadOnly(const std::string& path, CArchiveHandle& archive) {
    // Anything but a file (a named pipe would block the open for good) is not an archive.
    return IsRegularFile(path) &&
           SFileOpenArchive(NativePath(path).c_str(), 0, MPQ_OPEN_READ_ONLY, archive.Out());
}

// The archived name made from a disk path: what follows the drive colon and its backslash.
std::string ArchivedNameFromPath(const std::string& path) {
    auto colon = path.find(':');
    if (colon == std::string::npos)
        return path;
    auto start = colon + 1;
    if (start < path.size() && path[start] == '\\')
        ++start;
    return path.substr(start);
}

// The error of the StormLib call that just failed; never 0, so that it can stand for the failure.
int LastError() {
    const int error = static_cast<int>(GetLastError());
    return error != ERROR_SUCCESS ? error : EIO;
}

// A hash table without a free slot that cannot grow: the file, not the disk, is the cause.
constexpr int kHashTableFull = -1;

// StormLib reports a hash table without a free slot as "disk full", as it does a full disk. The
// table is full when the files (with the listfile and attributes StormLib keeps slots for) fill it.
bool HashTableFull(HANDLE archive) {
    DWORD files = 0;
    return SFileGetFileInfo(archive, SFileMpqNumberOfFiles, &files, sizeof files, nullptr) &&
           files + 2 >= SFileGetMaxFileCount(archive);
}

// Adds one file, growing a full hash table once when the game can still read the result. The
// error of the failure, 0 when the file went in.
int AddOneFile(HANDLE archive, const std::string& localPath, const std::string& name,
               bool compress) {
    const DWORD flags = MPQ_FILE_REPLACEEXISTING | (compress ? MPQ_FILE_COMPRESS : 0);
    const DWORD compression = compress ? MPQ_COMPRESSION_PKWARE : 0;
    std::string local = NativePath(localPath);
    auto add = [&] {
        return SFileAddFileEx(archive, local.c_str(), name.c_str(), flags, compression,
                              MPQ_COMPRESSION_NEXT_SAME)
                   ? 0
                   : LastError();
    };
    int error = add();
    // Growing needs every name known, so the game's own archives (no listfile) cannot grow and
    // the addition fails. A full disk is left as it is: a larger table would not help.
    if (error != ERROR_DISK_FULL || !HashTableFull(archive))
        return error;
    DWORD size = SFileGetMaxFileCount(archive);
    if (size >= CMpqArchive::kMaxHashTableSize)
        return kHashTableFull;
    DWORD grown = std::min<DWORD>(CMpqArchive::kMaxHashTableSize, std::max<DWORD>(size * 2, 16));
    return SFileSetMaxFileCount(archive, grown) ? add() : kHashTableFull;
}

} // namespace

CMpqArchive::CMpqArchive(const std::string& archivePath) : m_strArchivePath(archivePath) {}

void CMpqArchive::SetArchivePath(const std::string& archivePath) {
    m_strArchivePath = archivePath;
}

std::unique_ptr<std::uint8_t[]> CMpqArchive::ReadFileToMemory(void* archive, const char* name,
                                                              std::uint32_t* sizeOut) {
    if (archive == nullptr || name == nullptr)
        return nullptr;
    HANDLE file = nullptr;
    if (!SFileOpenFileEx(archive, name, SFILE_OPEN_FROM_MPQ, &file))
        return nullptr;
    DWORD high = 0;
    DWORD size = SFileGetFileSize(file, &high);
    if (size == SFILE_INVALID_SIZE || high != 0)
        size = 0;
    if (sizeOut != nullptr)
        *sizeOut = size;
    std::unique_ptr<std::uint8_t[]> block;
    if (size != 0)
        block.reset(new (std::nothrow) std::uint8_t[size]);
    if (block) {
        DWORD read = 0;
        if (!SFileReadFile(file, block.get(), size, &read, nullptr) || read != size)
            block.reset();
    }
    SFileCloseFile(file);
    return block;
}

void CMpqArchive::FreeFileMemory(std::unique_ptr<std::uint8_t[]>& block) {
    block.reset();
}

bool CMpqArchive::ExtractFile(const char* name, const char* folder, bool keepPath) {
    std::string bytes;
    if (name == nullptr || !ReadFile(name, bytes))
        return false;

    // An empty folder would put the file at the root of the disk: take it as the current one.
    std::string destination = folder != nullptr && *folder != '\0' ? folder : ".\\";
    if (destination.back() != '\\' && destination.back() != '/')
        destination += '\\';
    const char* lastBackslash = std::strrchr(name, '\\');
    destination += keepPath || lastBackslash == nullptr ? name : lastBackslash + 1;

    // Only the last folder level is made, as the callers expect; an existing one is fine.
    MakeFolder(destination.substr(0, destination.find_last_of("\\/")));
    // Written beside and renamed, so an earlier copy stays whole if this one fails.
    if (!WriteFileAtomically(destination, bytes, false))
        return false;
    // One line a file, for whoever watches the program's output.
    std::printf("%s => %s\n", name, NativePath(destination).c_str());
    std::fflush(stdout);
    return true;
}

bool CMpqArchive::ReadFile(const std::string& name, std::string& bytes) const {
    bytes.clear();
    std::unique_ptr<std::uint8_t[]> block;
    std::uint32_t size = 0;
    {
        CArchiveHandle archive;
        if (!OpenReadOnly(m_strArchivePath, archive))
            return false;
        block = ReadFileToMemory(archive.Get(), name.c_str(), &size);
    }
    if (!block)
        return false;
    bytes.assign(reinterpret_cast<const char*>(block.get()), size);
    return true;
}

bool CMpqArchive::HasFile(const std::string& name) const {
    CArchiveHandle archive;
    return OpenReadOnly(m_strArchivePath, archive) && SFileHasFile(archive.Get(), name.c_str());
}

bool CMpqArchive::AddFile(const std::string& path, const char* archivedName, bool compress) {
    std::string name = archivedName != nullptr ? archivedName : ArchivedNameFromPath(path);
    return AddFiles({{path, name}}, compress);
}

std::string CMpqArchive::BusyNote(const std::string& archivePath) {
    return NativePath(archivePath) +
           " is being saved by another program, so nothing was saved. Try again when it has "
           "finished.";
}

bool CMpqArchive::AddFiles(const FileList& files, bool compress, std::string* failedName,
                           std::size_t* failedIndex) {
    m_strNote.clear();
    m_bFlushed = true;
    if (failedName != nullptr)
        failedName->clear();
    if (failedIndex != nullptr)
        *failedIndex = files.size();
    if (files.empty())
        return true;
    // A missing local file is found before the archive is copied; so is anything that is not an
    // ordinary file (reading a pipe would wait for ever).
    for (std::size_t i = 0; i < files.size(); ++i) {
        const auto& [local, name] = files[i];
        if (name.empty() || !IsRegularFile(local)) {
            if (failedName != nullptr)
                *failedName = name;
            if (failedIndex != nullptr)
                *failedIndex = i;
            return false;
        }
    }

    // The copy goes beside the real file and the rename replaces it: renamed over a link, the
    // link would become the new archive and the file it names keep the old one.
    const std::string target = ResolveLinks(m_strArchivePath);
    const std::string shown = NativePath(m_strArchivePath);
    if (target.empty()) {
        m_strNote = shown + " leads to a file whose path holds a \"\\\", so nothing was saved.";
        return false;
    }
    // Held from the first read to the rename, so that no other instance adds in between.
    CFileLock lock(target);
    if (lock.HeldElsewhere()) {
        m_strNote = BusyNote(m_strArchivePath);
        return false;
    }
    // Copies left by an update that was killed would otherwise stay beside the archive for good.
    RemoveStaleTemporaryFiles(target);
    const std::string work = TemporaryPathBeside(target);
    const bool existed = FileExists(target);
    const unsigned names = existed ? LinkCount(target) : 0;
    const std::optional<unsigned> owner = existed ? OwnerOf(target) : std::nullopt;
    CMpqCompactor::Result compacted;
    CArchiveHandle archive;
    if (existed) {
        // Open the existing archive for update. Anything else at the path (a folder, a pipe, a
        // file that is not an archive, a file protected against writing) is left alone: no new
        // archive replaces it, even though the folder would allow the rename. A read-only mode is
        // what protects it, whoever saves: only the caller's "replace it anyway" lifts that.
        if (!IsRegularFile(target))
            return false;
        if (IsReadOnlyFile(target) && !m_bReplaceReadOnly) {
            m_strNote = shown + " is read-only, so nothing was saved.";
            return false;
        }
        if (!IsReadOnlyFile(target) && !IsWritable(target))
            return false;
        {
            CArchiveHandle probe;
            if (!OpenReadOnly(target, probe))
                return false;
        }
        // The copy leaves out the space replaced files left behind, so that saves never let
        // the archive grow.
        std::vector<std::string> batchNames;
        for (const auto& file : files)
            batchNames.push_back(file.second);
        compacted = CMpqCompactor::Copy(target, work, batchNames);
        if (!compacted.refusal.empty()) {
            m_strNote = shown + ": " + compacted.refusal + ", so nothing was saved.";
            return false;
        }
        if (compacted.error != 0)
            return Failed(compacted.error, target, true);
        if (!SFileOpenArchive(NativePath(work).c_str(), 0, 0, archive.Out())) {
            RemoveFile(work);
            return false;
        }
    } else if (!SFileCreateArchive(NativePath(work).c_str(),
                                   MPQ_CREATE_LISTFILE | MPQ_CREATE_ARCHIVE_V1, kNewArchiveMaxFiles,
                                   archive.Out())) {
        const int error = LastError();
        RemoveFile(work);
        return Failed(error, target, true);
    }

    int error =
        UpdateOpenArchive(archive.Get(), work, compacted, files, compress, failedName, failedIndex);
    if (!archive.Close() && error == 0)
        error = LastError();
    // A full disk fails the archive, not the file that was being added.
    if (FileErrorCauseFromErrno(error) == 13) {
        if (failedName != nullptr)
            failedName->clear();
        if (failedIndex != nullptr)
            *failedIndex = files.size();
    }
    // The new archive keeps what the old one had (a compaction even makes a new file).
    if (error == 0 && existed)
        CopyFileAttributes(target, work);
    // Only the content: the rename changes the folder again, and its flush follows.
    if (error == 0 && !SyncFile(work))
        error = errno;
    // The old archive keeps a second name until the new one is in place, so that the rename
    // does not have to free it: that happens afterwards, in the background.
    std::string old;
    if (error == 0 && existed) {
        old = TemporaryPathBeside(target);
        if (!LinkFile(target, old))
            old.clear();
    }
    // A new archive goes only where still nothing is; an old one is replaced in one step.
    if (error == 0 && !(existed ? RenameFile(work, target) : MoveFileNoReplace(work, target)))
        error = errno != 0 ? errno : EEXIST;
    if (!old.empty())
        RemoveFileInBackground(old);
    if (error != 0) {
        RemoveFile(work);
        return Failed(error, target, false);
    }
    auto note = [this](const std::string& text) {
        if (!text.empty())
            m_strNote += (m_strNote.empty() ? "" : " ") + text;
    };
    if (!SyncFileAndFolder(target)) {
        m_bFlushed = false;
        note(shown + " was replaced, but the disk did not confirm that the change is written: "
                     "a power cut now could bring back the archive as it was before this save.");
    }
    if (names > 1)
        note(shown + " has " + std::to_string(names - 1) +
             " other name(s) (hard links), which still show the archive as it was before this "
             "save.");
    if (owner)
        note(OwnerChangeNote(shown, target, *owner));
    note(CompactionNote(compacted));
    return true;
}

std::string CMpqArchive::CompactionNote(const CMpqCompactor::Result& compacted) const {
    std::string text;
    // Less than half a kilobyte (a rewritten list of names) is not worth a note.
    const std::uint64_t kilobytes = (compacted.takenOut + 512) / 1024;
    if (kilobytes > 0)
        text = std::filesystem::path(NativePath(m_strArchivePath)).filename().string() + ": " +
               std::to_string(kilobytes) + " KB of replaced data taken out.";
    if (compacted.keptInPlace == 1)
        text += (text.empty() ? "" : " ") +
                std::string("1 encrypted file of unknown name keeps its place.");
    else if (compacted.keptInPlace > 1)
        text += (text.empty() ? "" : " ") + std::to_string(compacted.keptInPlace) +
                " encrypted files of unknown name keep their place.";
    return text;
}

bool CMpqArchive::Failed(int error, const std::string& target, bool making) {
    m_strNote = WriteFailureReason(error, NativeParentFolder(target), making);
    return false;
}

int CMpqArchive::UpdateOpenArchive(void* archive, const std::string& workPath,
                                   const CMpqCompactor::Result& compacted, const FileList& files,
                                   bool compress, std::string* failedName,
                                   std::size_t* failedIndex) {
    // StormLib aborts the whole process when it replaces a file whose name it does not know,
    // and the game's own archives carry no listfile: tell it the names first.
    std::string names;
    for (const auto& file : files)
        names += file.second + "\r\n";
    const std::string listFile = TemporaryPathBeside(workPath);
    if (!WriteFileAtomically(listFile, names, false))
        return errno != 0 ? errno : EIO;
    int listError = SFileAddListFile(archive, NativePath(listFile).c_str());
    RemoveFile(listFile);
    if (listError != ERROR_SUCCESS)
        return listError;

    // Files whose key could not be found keep their place in the copy, and the gaps in front of
    // them stay; StormLib can take those out too when it knows every name.
    if (compacted.deadLeft > compacted.size / kCompactWhenWasteExceedsOneIn &&
        !SFileCompactArchive(archive, nullptr, false)) {
        // Unknown names stop the compaction before it starts; anything else may have left
        // the copy half rewritten, so it is not used, nor is the file it was being written to.
        const int error = LastError();
        RemoveRegularFile(workPath + ".tmp");
        if (error != ERROR_UNKNOWN_FILE_NAMES)
            return error;
    }

    for (std::size_t i = 0; i < files.size(); ++i) {
        if (int error = AddOneFile(archive, files[i].first, files[i].second, compress)) {
            if (failedName != nullptr)
                *failedName = files[i].second;
            if (failedIndex != nullptr)
                *failedIndex = i;
            return error;
        }
    }
    return 0;
}

bool CMpqArchive::CanBeRead() const {
    CArchiveHandle archive;
    return OpenReadOnly(m_strArchivePath, archive);
}
