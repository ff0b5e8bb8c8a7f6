#include "store/ModFolderStore.h"

#include "platform/AsciiText.h"
#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/NoteLog.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <set>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr const char* kJournalName = "tarvane-save.journal";
constexpr std::uint64_t kLargestJournal = std::uint64_t{1} << 24;

// What a name in the mod folder is, looked at without following a link.
enum class Kind { Missing, Folder, File, Link, Other };

Kind KindAt(const std::string& native) {
    struct stat st;
    if (::lstat(native.c_str(), &st) != 0)
        return Kind::Missing;
    if (S_ISLNK(st.st_mode))
        return Kind::Link;
    if (S_ISDIR(st.st_mode))
        return Kind::Folder;
    return S_ISREG(st.st_mode) ? Kind::File : Kind::Other;
}

// How `name` is spelled in `folder`: as given when anything has that name, else the first entry
// that matches ignoring ASCII case. Mods made on Windows spell their files in any case.
std::optional<std::string> Spelling(const std::string& folder, const std::string& name) {
    if (KindAt(folder + "/" + name) != Kind::Missing)
        return name;
    for (const FolderEntry& entry : ListFolder(folder))
        if (EqualsIgnoringAsciiCase(entry.name, name))
            return entry.name;
    return std::nullopt;
}

std::string LastPart(const std::string& native) {
    return native.substr(native.find_last_of('/') + 1);
}

bool IsUsableModName(const std::string& name) {
    if (name.empty() || name == "." || name.find("..") != std::string::npos)
        return false;
    return std::none_of(name.begin(), name.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7f || c == '/' || c == '\\' || c == '"';
    });
}

// Removes, below `folder`, the temporaries that killed saves left; links are never followed.
void RemoveTemporaries(const std::string& folder) {
    for (const FolderEntry& entry : ListFolder(folder)) {
        const std::string path = folder + "/" + entry.name;
        if (entry.isFolder)
            RemoveTemporaries(path);
        else if (entry.isRegular && IsTemporaryName(entry.name))
            RemoveRegularFile(path);
    }
}

// True when every folder of `relative` under `base` is a folder, not a link to one: a journal
// found at the next open must not lead a rename out of the mod.
bool FoldersOnTheWayAreReal(const std::string& base, const std::string& relative) {
    for (std::size_t slash = relative.find('/'); slash != std::string::npos;
         slash = relative.find('/', slash + 1))
        if (KindAt(base + "/" + relative.substr(0, slash)) != Kind::Folder)
            return false;
    return true;
}

std::string InTheWay(const std::string& path, Kind kind, const std::string& wanted) {
    if (kind == Kind::Link)
        return path + " is a link; a save writes only inside the mod folder.";
    return path + " is in the way: it is not " + wanted + ".";
}

std::string WriteFailure(const std::string& path, int err) {
    const std::string reason = WriteFailureReason(err, NativeParentFolder(path), true);
    return "Could not write " + path + "." + (reason.empty() ? "" : " " + reason);
}

} // namespace

CModFolderStore::CModFolderStore(std::string modFolder, std::string name)
    : m_modFolder(std::move(modFolder)), m_name(std::move(name)),
      m_dataFolder(m_modFolder + "/" + m_name + ".mpq") {}

std::unique_ptr<CModFolderStore> CModFolderStore::Open(const std::string& folder,
                                                       std::string& error) {
    // The folder the user chose is taken where its links lead; inside it no link is followed.
    std::string native = ResolveLinks(folder);
    while (native.size() > 1 && native.back() == '/')
        native.pop_back();
    const std::string base = LastPart(native);
    const bool isDataFolder = base.size() > 4 && base.ends_with(".mpq");
    std::unique_ptr<CModFolderStore> store;
    if (!native.empty() && isDataFolder && KindAt(native) == Kind::Folder)
        store.reset(
            new CModFolderStore(NativeParentFolder(native), base.substr(0, base.size() - 4)));
    else if (!native.empty())
        store.reset(new CModFolderStore(native, base));
    if (!store || KindAt(store->m_dataFolder) != Kind::Folder) {
        error = NativePath(folder) + " is not a Resurrected mod folder: it holds no folder " +
                (store ? store->m_name : base) + ".mpq.";
        return nullptr;
    }
    return store;
}

bool CModFolderStore::Create(const std::string& modsFolder, const std::string& name,
                             std::string& error) {
    if (!IsUsableModName(name)) {
        error = "\"" + name +
                "\" cannot be the name of a mod: it may not hold a path separator, "
                "\"..\", a control character or a quote.";
        return false;
    }
    const std::string mods = ResolveLinks(modsFolder);
    if (mods.empty() || KindAt(mods) != Kind::Folder) {
        error = NativePath(modsFolder) + " is not a folder.";
        return false;
    }
    const CModFolderStore store(mods + "/" + name, name);
    if (KindAt(store.m_dataFolder) != Kind::Missing) {
        error = "A mod named " + name + " already exists in " + mods + ".";
        return false;
    }
    const bool madeModFolder = MakeFolder(store.m_modFolder);
    if (!madeModFolder && KindAt(store.m_modFolder) != Kind::Folder) {
        error = WriteFailure(store.m_modFolder, errno);
        return false;
    }
    // The game finds the mod by this file; its saves go to a folder of the mod's name.
    const std::string info = "{\"name\": \"" + name + "\", \"savepath\": \"" + name + "/\"}";
    if (!MakeFolder(store.m_dataFolder) ||
        !WriteFileAtomically(store.m_dataFolder + "/modinfo.json", info, true)) {
        error = WriteFailure(store.m_dataFolder + "/modinfo.json", errno);
        ::rmdir(store.m_dataFolder.c_str());
        if (madeModFolder)
            ::rmdir(store.m_modFolder.c_str());
        return false;
    }
    SyncFileAndFolder(store.m_modFolder);
    return true;
}

std::string CModFolderStore::JournalPath() const {
    return m_modFolder + "/" + kJournalName;
}

std::optional<std::string> CModFolderStore::LocateFolder(const std::string& relative, bool make,
                                                         std::vector<std::string>* made,
                                                         std::string& error) const {
    std::string folder = m_dataFolder;
    for (std::size_t start = 0; start < relative.size();) {
        const std::size_t slash = std::min(relative.find('/', start), relative.size());
        std::string part = relative.substr(start, slash - start);
        start = slash + 1;
        std::transform(part.begin(), part.end(), part.begin(), AsciiToLower);
        const std::string path = folder + "/" + Spelling(folder, part).value_or(part);
        const Kind kind = KindAt(path);
        if (kind == Kind::Missing && make && MakeFolder(path)) {
            made->push_back(path);
        } else if (kind == Kind::Missing) {
            if (make)
                error = WriteFailure(path, errno);
            return std::nullopt;
        } else if (kind != Kind::Folder) {
            error = InTheWay(path, kind, "a folder");
            return std::nullopt;
        }
        folder = path;
    }
    return folder;
}

std::optional<std::string> CModFolderStore::Locate(const std::string& archivedName, bool make,
                                                   std::vector<std::string>* made,
                                                   std::string& error) const {
    const std::string relative = NativePath(archivedName);
    if (!CModFolderJournal::IsSafeRelativePath(relative)) {
        error = "\"" + archivedName + "\" names no file inside the mod folder.";
        return std::nullopt;
    }
    const std::size_t slash = relative.find_last_of('/');
    const std::string name = relative.substr(slash == std::string::npos ? 0 : slash + 1);
    const std::optional<std::string> folder = LocateFolder(
        slash == std::string::npos ? "" : relative.substr(0, slash), make, made, error);
    if (!folder)
        return std::nullopt;
    const std::string path = *folder + "/" + Spelling(*folder, name).value_or(name);
    const Kind kind = KindAt(path);
    if (kind == Kind::Missing && make)
        return path;
    if (kind != Kind::File) {
        if (kind != Kind::Missing)
            error = InTheWay(path, kind, "an ordinary file");
        return std::nullopt;
    }
    return path;
}

bool CModFolderStore::HasFile(const std::string& archivedName) const {
    std::string error;
    return Locate(archivedName, false, nullptr, error).has_value();
}

bool CModFolderStore::ReadFile(const std::string& archivedName, std::string& bytes) const {
    std::string error;
    const std::optional<std::string> path = Locate(archivedName, false, nullptr, error);
    return path && ReadWholeFile(*path, bytes);
}

std::vector<std::string> CModFolderStore::ListExcelTables() const {
    std::vector<std::string> tables;
    std::string error;
    const std::optional<std::string> excel =
        LocateFolder("data/global/excel", false, nullptr, error);
    if (!excel)
        return tables;
    for (const FolderEntry& entry : ListFolder(*excel)) {
        const std::string& name = entry.name;
        if (entry.isRegular && !IsTemporaryName(name) && name.size() > 4 &&
            EqualsIgnoringAsciiCase(name.substr(name.size() - 4), ".txt"))
            tables.push_back(name);
    }
    return tables;
}

bool CModFolderStore::ApplyRenames(const std::vector<CModFolderJournal::Rename>& renames,
                                   std::string& error) const {
    std::set<std::string> folders;
    for (const CModFolderJournal::Rename& rename : renames) {
        const std::string from = m_dataFolder + "/" + rename.temporary;
        const std::string to = m_dataFolder + "/" + rename.target;
        // A temporary that is gone was renamed before the save was cut short.
        const Kind kind = KindAt(from);
        if (kind == Kind::Missing)
            continue;
        if (kind != Kind::File || !FoldersOnTheWayAreReal(m_dataFolder, rename.target) ||
            !RenameFile(from, to)) {
            error = "Could not put " + from + " in the place of " + to +
                    ". The save is finished when the mod is next opened.";
            return false;
        }
        folders.insert(NativeParentFolder(to));
    }
    for (const std::string& folder : folders)
        SyncFile(folder);
    return true;
}

bool CModFolderStore::FinishJournal(std::string& error) const {
    const std::string journal = JournalPath();
    std::string bytes, why;
    std::optional<std::vector<CModFolderJournal::Rename>> renames;
    if (KindAt(journal) != Kind::File)
        why = "it is not an ordinary file.";
    else if (!ReadWholeFile(journal, bytes, kLargestJournal))
        why = "it cannot be read.";
    else
        renames = CModFolderJournal::Read(bytes, why);
    if (!renames) {
        error = "The journal of an unfinished save, " + journal + ", is damaged: " + why +
                " Nothing was renamed; remove the journal to keep the mod's files as they are.";
        return false;
    }
    if (!ApplyRenames(*renames, error))
        return false;
    RemoveFile(journal);
    SyncFile(m_modFolder);
    return true;
}

bool CModFolderStore::Recover(const std::string& folder, CNoteLog& notes) {
    std::string error;
    const std::unique_ptr<CModFolderStore> store = Open(folder, error);
    if (!store) {
        notes.AppendNote(error);
        return false;
    }
    // Another instance saving this mod holds the lock: its temporaries are work in progress.
    const CFileLock lock(store->JournalPath(), std::chrono::milliseconds(0));
    if (!lock.Held())
        return true;
    if (KindAt(store->JournalPath()) != Kind::Missing) {
        if (!store->FinishJournal(error)) {
            notes.AppendNote(error);
            return false;
        }
        notes.AppendNote("The save of the mod " + store->m_name +
                         " that was cut short has been completed.");
    }
    RemoveTemporaries(store->m_modFolder);
    return true;
}

bool CModFolderStore::WriteBatch(const std::vector<std::pair<std::string, std::string>>& files,
                                 std::string& error) {
    const CFileLock lock(JournalPath());
    if (!lock.Held()) {
        error = "Another program is saving the mod " + m_name + ". Nothing was saved.";
        return false;
    }
    if (KindAt(JournalPath()) != Kind::Missing && !FinishJournal(error))
        return false;

    // Where each file goes; a name given twice keeps its last bytes.
    std::vector<std::string> made, targets;
    std::vector<const std::string*> contents;
    std::vector<CModFolderJournal::Rename> renames;
    auto undo = [&](const std::string& why) {
        for (const CModFolderJournal::Rename& rename : renames)
            RemoveRegularFile(m_dataFolder + "/" + rename.temporary);
        for (auto folder = made.rbegin(); folder != made.rend(); ++folder)
            ::rmdir(folder->c_str());
        error = why + " Nothing was saved.";
        return false;
    };
    for (const auto& [name, bytes] : files) {
        const std::optional<std::string> target = Locate(name, true, &made, error);
        if (!target)
            return undo(error);
        // As a plain save does, a file its owner made read-only is not replaced behind their back.
        if (IsReadOnlyFile(*target))
            return undo(*target + " is read-only.");
        const auto same = std::find(targets.begin(), targets.end(), *target);
        if (same != targets.end()) {
            contents[static_cast<std::size_t>(same - targets.begin())] = &bytes;
        } else {
            targets.push_back(*target);
            contents.push_back(&bytes);
        }
    }
    // Every file whole and on the disk beside its target before the journal says to rename. All
    // are handed to the disk first and then waited for, which is quicker than one at a time.
    for (std::size_t i = 0; i < targets.size(); ++i) {
        const std::string temporary = TemporaryPathBeside(targets[i]);
        if (!WriteNewFile(temporary, *contents[i], DiskWrite::Start))
            return undo(WriteFailure(targets[i], errno));
        if (KindAt(targets[i]) == Kind::File)
            CopyFileAttributes(targets[i], temporary);
        const std::size_t skip = m_dataFolder.size() + 1;
        renames.push_back({temporary.substr(skip), targets[i].substr(skip)});
    }
    for (const CModFolderJournal::Rename& rename : renames)
        if (!SyncFile(m_dataFolder + "/" + rename.temporary))
            return undo(WriteFailure(m_dataFolder + "/" + rename.target, errno));
    if (!WriteFileAtomically(JournalPath(), CModFolderJournal::Write(renames), true))
        return undo(WriteFailure(JournalPath(), errno));
    // From here the save is done: what a failure leaves, the next open finishes.
    if (!ApplyRenames(renames, error))
        return false;
    // No flush: a journal that a power cut brings back names temporaries that are gone, and
    // finishing it changes nothing.
    RemoveFile(JournalPath());
    return true;
}
