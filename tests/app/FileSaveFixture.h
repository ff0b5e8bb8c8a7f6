#pragma once

// A main window with a game folder and an archive to save into, for the save tests.

#include "app/ModEngineDlg.h"
#include "app/QtUserPrompts.h"
#include "data/ModSaver.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"

#include "MachineChecks.h"
#include "MpqFixture.h"
#include "OtherInstanceLock.h"
#include "PictureFixtures.h"
#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"

#include <QApplication>
#include <QFileDialog>
#include <QMenuBar>
#include <QMessageBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

const char* const kContinueQuestion =
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

// True when the window's notes hold `text`.
inline bool Mentions(CModEngineDlg& dlg, const std::string& text) {
    return dlg.NotesText().find(text) != std::string::npos;
}

inline ArchiveFiles Tables(const std::string& origin) {
    ArchiveFiles files;
    for (CGameDataSet::TableId id : CGameDataSet::kDeclarationOrder)
        files.emplace_back(CGameDataSet::ArchivePath(id),
                           "name\tvalue\r\n" + origin + "\t" + CGameDataSet::FileName(id) + "\r\n");
    return files;
}

// A stand-in for the game: writes two compiled tables where the game would, spelt otherwise than
// the program's list spells them (a game folder from Windows), and a lot of output that nobody
// reads (the program must drain it or the child would block).
inline void WriteStandInGame(const std::string& folder) {
    std::string script = "#!/bin/sh\n"
                         "echo \"$1\" > game-ran.txt\n"
                         "head -c 3000000 /dev/zero | tr '\\0' x\n"
                         "sleep 0.5\n"
                         "mkdir -p data/global/excel\n"
                         "echo compiled-levels > data/global/excel/LEVELS.BIN\n"
                         "echo compiled-armour > data/global/excel/Armor.Bin\n";
    std::string path = folder + "/Diablo II.exe";
    WriteTextFile(path, script);
    ::chmod(path.c_str(), 0755);
}

class FileSaveTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }

    // Opens `archive` (made with `files`) in a new main window, with the game folder set.
    std::unique_ptr<CModEngineDlg> OpenWindow(const ArchiveFiles& files) {
        archive = game.File("Patch_D2.mpq");
        EXPECT_TRUE(MakeArchive(game.File("d2data.mpq"), Tables("base")));
        EXPECT_TRUE(MakeArchive(archive, files));
        CProfileFile::WriteString(work.File("Tarvane.ini"), "Diablo II", "Folder", game.Path());
        auto dlg = std::make_unique<CModEngineDlg>(prompts);
        prompts.AnswerOpenFile(archive);
        dlg->OnFileOpen();
        EXPECT_EQ(dlg->NotesText(),
                  "Please wait whilst data files are opened...\r\nMPQ Archive has been opened.");
        return dlg;
    }

    // Edits every table, as editors would.
    static void EditAll(CModEngineDlg& dlg) {
        for (CGameDataSet::TableId id : CGameDataSet::kDeclarationOrder)
            dlg.m_data.Table(id).SetCell(0, 1, "edited");
        dlg.m_data.m_bModified = true;
    }

    std::string LastNote(CModEngineDlg& dlg) {
        std::string notes = dlg.NotesText();
        size_t lf = notes.rfind('\n');
        return lf == std::string::npos ? notes : notes.substr(lf + 1);
    }

    bool TempFilesLeft() {
        for (CGameDataSet::TableId id : CGameDataSet::kDeclarationOrder)
            if (FileExists(CModSaver::TemporaryFile(id)))
                return true;
        return false;
    }

    std::string Edited(CGameDataSet::TableId id) {
        return "name\tvalue\r\nedited\t" + CGameDataSet::FileName(id) + "\r\n";
    }

    CTempFolder work{true};
    CTempFolder game;
    std::string archive;
    CScriptedPrompts prompts;
};
