#include "data/PatchBackup.h"

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
    if (FileExists(kBackupFile)) {
        m_notes.AppendNote("Patch_D2.mpq has already been backed up.");
        return;
    }
    // The copy never replaces a backup, and is only put in place once it is complete.
    if (CopyFileTo(PatchArchive(diabloFolder), kBackupFile, true)) {
        m_notes.AppendNote("Patch_D2.mpq has been backed up.");
    } else if (!FileExists(PatchArchive(diabloFolder))) {
        m_notes.AppendNote("Patch_D2.mpq was not found in " + diabloFolder +
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
    // The game's archive is replaced in one step: a failed copy leaves the old one in place.
    if (!CopyFileTo(kBackupFile, PatchArchive(diabloFolder), false)) {
        m_notes.AppendNote("Patch_D2.mpq could not be replaced by the backup, so Diablo II was "
                           "not restored. Patch_D2.mpq and the backup are as they were.");
        return;
    }
    if (m_prompts.AskYesNo("Diablo II has been restored, remove backup ?"))
        RemoveFile(kBackupFile);
    m_notes.AppendNote("Diablo II has been restored to its default settings.");
}
