#include "data/PatchBackup.h"

#include "platform/FileLock.h"
#include "platform/FileSystem.h"
#include "platform/NoteLog.h"
#include "platform/UserPrompts.h"

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
    CFileLock lock(kBackupFile);
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
    if (CopyFileTo(PatchArchive(diabloFolder), kBackupFile, true)) {
        m_notes.AppendNote("Patch_D2.mpq has been backed up.");
    } else if (!FileExists(PatchArchive(diabloFolder))) {
        m_notes.AppendNote("Patch_D2.mpq was not found in " + NativePath(diabloFolder) +
                           ", so nothing was backed up.");
    } else {
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
    unsigned names = 0;
    {
        // The same lock as a save's, so a restore never mixes with another instance's save;
        // given back before the next question.
        CFileLock lock(patch);
        if (lock.HeldElsewhere()) {
            m_notes.AppendNote("Patch_D2.mpq is being saved by another program, so Diablo II was "
                               "not restored. Try again when it has finished.");
            return;
        }
        RemoveStaleTemporaryFiles(patch);
        RemoveStaleTemporaryFiles(kBackupFile);
        names = LinkCount(patch);
        // The game's archive is replaced in one step: a failed copy leaves the old one in place.
        if (!CopyFileTo(kBackupFile, patch, false)) {
            m_notes.AppendNote("Patch_D2.mpq could not be replaced by the backup, so Diablo II "
                               "was not restored. Patch_D2.mpq and the backup are as they were.");
            return;
        }
    }
    if (names > 1)
        m_notes.AppendNote("Patch_D2.mpq has " + std::to_string(names - 1) +
                           " other name(s) (hard links), which still show the archive as it was "
                           "before the restore.");
    if (m_prompts.AskYesNo("Diablo II has been restored, remove backup ?"))
        RemoveFile(kBackupFile);
    m_notes.AppendNote("Diablo II has been restored to its default settings.");
}
