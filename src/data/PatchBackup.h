#pragma once

#include <string>

class CUserPrompts;
class CNoteLog;

// File > Backup and File > Restore: one copy of the game's "Patch_D2.mpq", kept in the working
// folder as "Morsk_D2.mpq", to put the game back as it was before a mod.
class CPatchBackup {
public:
    static constexpr const char* kBackupFile = "Morsk_D2.mpq";

    CPatchBackup(CUserPrompts& prompts, CNoteLog& notes) : m_prompts(prompts), m_notes(notes) {}

    void Backup(const std::string& diabloFolder);
    void Restore(const std::string& diabloFolder);

private:
    bool CheckFolderSet(const std::string& diabloFolder);
    // Notes why a copy into `folder` failed with `error`, where the user can act on it.
    void NoteReason(int error, const std::string& folder);
    // When the backup was made ("2026-12-07 17:41", local time).
    static std::string BackupTime();

    CUserPrompts& m_prompts;
    CNoteLog& m_notes;
};
