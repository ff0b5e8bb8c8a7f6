#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Temporary names and the background remover have headers of their own; they come with the
// file services, which use both.
#include "platform/BackgroundRemover.h"
#include "platform/TemporaryFiles.h"

// File services in place of the Windows ones. Paths are given as the rest of the program builds
// them, with backslashes; they are turned into native paths only here, when a file is touched.
// A relative path is relative to the current directory.

// The native form of a backslash path ("tables\Armor.txt" -> "tables/Armor.txt" on Linux).
std::string NativePath(const std::string& path);
// The folder of a native path: "." for a bare name, "/" for a file at the root.
std::string NativeParentFolder(const std::string& nativePath);

// True when the status of the file or folder can be read (it exists).
bool FileExists(const std::string& path);
bool IsFolder(const std::string& path);
// True for an ordinary file (not a folder, link to nothing, pipe or device).
bool IsRegularFile(const std::string& path);

// The current directory, whatever its length; "" when it cannot be read (it was removed, or a
// folder on the way may not be searched).
std::string GetWorkingFolder();

// Creates one folder level. False when it could not be made (also when it exists).
bool MakeFolder(const std::string& path);
bool RemoveFile(const std::string& path);
// Renames a file, replacing an existing destination.
bool RenameFile(const std::string& from, const std::string& to);
// Gives a file a second name (a hard link). False where the file system has none.
bool LinkFile(const std::string& existing, const std::string& newName);
// Renames a file only when the destination does not exist yet.
bool MoveFileNoReplace(const std::string& from, const std::string& to);

// Copies a file. With failIfExists an existing destination is left alone and false returned.
// The destination is written beside itself first and renamed over the old file once complete
// and flushed, so a failed copy never leaves a half-written destination behind. A destination
// that is a symbolic link stays one: the file it names is replaced, and keeps its mode, owner,
// group and extended attributes. `flushed`, when given, tells whether the disk confirmed the
// rename; until it has, a power cut may bring back the old destination or none.
bool CopyFileTo(const std::string& from, const std::string& to, bool failIfExists,
                bool* flushed = nullptr);

// Copies `from` into the new file `to`, which must not exist yet: a reflink where the file system
// offers them, else a copy inside the kernel. With `sync` the copy is flushed to the disk.
// `size` gets the number of bytes copied. Nothing is left at `to` on failure, and errno tells why.
bool CopyToNewFile(const std::string& from, const std::string& to, bool sync,
                   std::uint64_t* size = nullptr);

// True when the file may be written by this process.
bool IsWritable(const std::string& path);
// True for an ordinary file whose mode gives its owner no write permission. The mode decides,
// not this process's rights: root, or Wine on a FAT or NTFS mount, may write any file.
bool IsReadOnlyFile(const std::string& path);

// When the file's content was last changed, in seconds since 1970; nothing when its status
// cannot be read.
std::optional<std::int64_t> ModificationTime(const std::string& path);

// The user who owns the file; nothing when its status cannot be read.
std::optional<unsigned> OwnerOf(const std::string& path);
// "<shown> now belongs to <user>; it belonged to <owner>." when the file at `path` is no longer
// owned by `formerOwner` (the copy that replaced it could not be given back), else "".
std::string OwnerChangeNote(const std::string& shown, const std::string& path,
                            unsigned formerOwner);

// Reads a whole regular file. False when it cannot be opened or read, when it is anything but a
// regular file (a pipe or device is never opened in a way that could wait), or when it holds more
// than `maxSize` bytes.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::uint64_t maxSize = UINT64_MAX);

// Writes `bytes` to a new file beside `path`, flushes it when `sync` is set, and renames it over
// `path`. On failure the old file at `path` is untouched, the temporary file is removed and
// `errorCause` holds the cause.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, bool sync,
                         int* errorCause = nullptr);

// How a new file's bytes go to the disk: when the system likes, handed to the disk at once
// without waiting (so that flushing many files afterwards waits for them together), or flushed
// before the write returns.
enum class DiskWrite { Later, Start, Flush };
// Writes `bytes` to `path`, which must not exist yet (a link of that name is not followed). On
// failure nothing is left at `path` and errno tells why.
bool WriteNewFile(const std::string& path, std::string_view bytes, DiskWrite disk);

// Flushes a file's data to the disk.
bool SyncFile(const std::string& path);
// Flushes a file's data and the folder that names it to the disk; false when either flush fails.
bool SyncFileAndFolder(const std::string& path);

// A folder entry as the listing returns it. The entry itself is described, never what a link
// points to: a link to a folder is a link, not a folder.
struct FolderEntry {
    std::string name;
    bool isFolder = false;  // a real folder
    bool isLink = false;    // a symbolic link, whatever it points to
    bool isRegular = false; // an ordinary file (not a pipe, socket or device)
};
// The entries of one folder, without "." and "..", sorted by name (byte order) so that listings
// are repeatable. Empty when the folder cannot be read.
std::vector<FolderEntry> ListFolder(const std::string& path);

// The file-error cause (0..14) for a C library errno value, as the table engine reports them.
int FileErrorCauseFromErrno(int err);
// Why a file could not be written into `folder`, for the causes a user can act on: "The disk is
// full.", or (`creating`: the file was being made there) "<folder> is read-only."; "" otherwise.
std::string WriteFailureReason(int err, const std::string& folder, bool creating);

// The path of the file called `name` in `folder`: the exact spelling when anything of that name
// is there, else the first file (in listing order) whose name matches it ignoring ASCII case.
// Game folders copied from Windows or on NTFS and FAT mounts spell their files in any case.
// Other spellings that are folders, or that hold a "\" (which our paths would read as a
// separator), never match. Nothing when none does.
std::optional<std::string> FindFileIgnoringCase(const std::string& folder, const std::string& name);

// Deletes `path` only when it is an ordinary file itself (looked at without following a link
// just before deleting): never a link, a folder, a pipe or a device.
bool RemoveRegularFile(const std::string& path);

// The native path of the file `path` names once every symbolic link is resolved; for a file not
// made yet, its folder's links are resolved. "" when the result cannot be used as a path of the
// program (a name holding "\", which the program takes as a separator).
std::string ResolveLinks(const std::string& path);

// How many names (hard links) the file has; 0 when its status cannot be read.
unsigned LinkCount(const std::string& path);

// Gives `to` the mode, owner, group and extended attributes of `from`, as far as this process
// may set them (the others are left as they are, quietly).
void CopyFileAttributes(const std::string& from, const std::string& to);
