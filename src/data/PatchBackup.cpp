#include "data/PatchBackup.h"

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/NoteLog.h"
#include "platform/UserPrompts.h"

#include <cerrno>
#include <ctime>
#include <optional>

namespace {

// The game folder may spell it otherwise ("PATCH_D2.MPQ"); that file is the one to back up and
// to restore over. Where none is there yet, the game's own spelling.
std::string PatchArchive(const std::string& diabloFolder) {
    return FindFileIgnoringCase(diabloFolder, "Patch_D2.mpq")
        .value_or(diabloFolder + "\\Patch_D2.mpq");
}

} // namespace

bool CPatchBackup::CheckFolderSet(const std::string& diabloFolder) {
    if (!diabloFolder.empty())
        return true;
    m_prompts.ShowMessage("No Diablo II folder has been set. Use the File menu to do so.");
    return false;
}

void CPatchBackup::Backup(const std::string& diabloFolder) {
    if (!CheckFolderSet(diabloFolder))
        return;
    // Held while the copy is written, so that a copy a killed backup left beside the backup file
    // can be told from one that another instance is writing now.
    CFileLock lock(kBackupFile, m_prompts, m_notes,
                   "Waiting for another program to finish backing up Patch_D2.mpq...");
    if (lock.HeldElsewhere()) {
        m_notes.AppendNote("Patch_D2.mpq is being backed up by another program, so nothing was "
                           "backed up here.");
        return;
    }
    RemoveStaleTemporaryFiles(kBackupFile);
    if (FileExists(kBackupFile)) {
        m_notes.AppendNote("Patch_D2.mpq has already been backed up.");
        return;
    }
    // The copy never replaces a backup, and is only put in place once it is complete.
    bool copied = false, flushed = true;
    int error = 0;
    {
        CBusyCursor busy(m_prompts);
        copied = CopyFileTo(PatchArchive(diabloFolder), kBackupFile, true, &flushed);
        error = errno;
    }
    if (copied && !flushed)
        m_notes.AppendNote("The disk did not confirm that the backup is written: a power cut now "
                           "could take it away again.");
    if (copied) {
        m_notes.AppendNote("Patch_D2.mpq has been backed up.");
    } else if (!FileExists(PatchArchive(diabloFolder))) {
        m_notes.AppendNote("Patch_D2.mpq was not found in " + NativePath(diabloFolder) +
                           ", so nothing was backed up.");
    } else {
        NoteReason(error, GetWorkingFolder());
        m_notes.AppendNote("Patch_D2.mpq could not be copied, so nothing was backed up.");
    }
}

void CPatchBackup::Restore(const std::string& diabloFolder) {
    if (!CheckFolderSet(diabloFolder))
        return;
    if (!FileExists(kBackupFile)) {
        m_prompts.ShowMessage("No Backup file found.");
        return;
    }
    if (!m_prompts.AskYesNo("Restore Diablo to its default settings ?"))
        return;
    const std::string patch = PatchArchive(diabloFolder);
    // The mode protects the archive whoever restores, even where the system would let us write.
    if (IsReadOnlyFile(patch) &&
        !m_prompts.AskYesNo(NativePath(patch) + " is read-only. Replace it anyway?")) {
        m_notes.AppendNote("Patch_D2.mpq is read-only, so Diablo II was not restored.");
        return;
    }
    // The one backup slot may hold a modded archive: the note says which one went back.
    const std::string made = BackupTime();
    unsigned names = 0;
    std::optional<unsigned> owner;
    bool flushed = true;
    {
        // The same lock as a save's, so a restore never mixes with another instance's save;
        // given back before the next question.
        CFileLock lock(patch, m_prompts, m_notes,
                       "Waiting for another program to finish saving Patch_D2.mpq...");
        if (lock.HeldElsewhere()) {
            m_notes.AppendNote("Patch_D2.mpq is being saved by another program, so Diablo II was "
                               "not restored. Try again when it has finished.");
            return;
        }
        RemoveStaleTemporaryFiles(patch);
        RemoveStaleTemporaryFiles(kBackupFile);
        names = LinkCount(patch);
        owner = OwnerOf(patch);
        // The game's archive is replaced in one step: a failed copy leaves the old one in place.
        CBusyCursor busy(m_prompts);
        if (!CopyFileTo(kBackupFile, patch, false, &flushed)) {
            const int error = errno;
            NoteReason(error, NativeParentFolder(ResolveLinks(patch)));
            m_notes.AppendNote("Patch_D2.mpq could not be replaced by the backup, so Diablo II "
                               "was not restored. Patch_D2.mpq and the backup are as they were.");
            return;
        }
    }
    if (!flushed)
        m_notes.AppendNote("Patch_D2.mpq was replaced, but the disk did not confirm that the "
                           "change is written: a power cut now could bring back the archive as it "
                           "was before the restore.");
    if (names > 1)
        m_notes.AppendNote("Patch_D2.mpq has " + std::to_string(names - 1) +
                           " other name(s) (hard links), which still show the archive as it was "
                           "before the restore.");
    if (owner) {
        if (std::string note = OwnerChangeNote("Patch_D2.mpq", patch, *owner); !note.empty())
            m_notes.AppendNote(note);
    }
    if (m_prompts.AskYesNo("Diablo II has been restored, remove backup ?"))
        RemoveFile(kBackupFile);
    m_notes.AppendNote("Diablo II has been restored from the backup of " + made + ".");
}

void CPatchBackup::NoteReason(int error, const std::string& folder) {
    if (std::string reason = WriteFailureReason(error, folder, true); !reason.empty())
        m_notes.AppendNote(reason);
}

std::string CPatchBackup::BackupTime() {
    const std::optional<std::int64_t> seconds = ModificationTime(kBackupFile);
    if (!seconds)
        return "an unknown date";
    const std::time_t time = static_cast<std::time_t>(*seconds);
    std::tm local{};
    // localtime_r need not read the time zone itself.
    ::tzset();
    char text[32] = {};
    if (::localtime_r(&time, &local) == nullptr ||
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local) == 0)
        return "an unknown date";
    return text;
}
