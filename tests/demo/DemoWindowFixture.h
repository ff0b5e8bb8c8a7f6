#pragma once

#include "app/ModEngineDlg.h"

#include "MachineChecks.h"
#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"

#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>

// The demo game that `make run` starts on, made afresh in a temporary folder by the build's own
// generator, and the main window working in the demo's working folder as a user starts it.
class DemoWindowTest : public ::testing::Test {
protected:
    // The demo made from the tables in `tableFolder`; when empty, the first demo's own.
    explicit DemoWindowTest(std::string tableFolder = {}) : tables(std::move(tableFolder)) {}

    void SetUp() override {
        EnsureQApplication();
        if (!CanRunScriptsIn(demo.Path()))
            GTEST_SKIP() << "needs /bin/sh and a temporary folder that allows running programs";
        QStringList arguments = {TARVANE_DEMO_SOURCE, demo.Path().c_str()};
        if (!tables.empty())
            arguments << tables.c_str();
        ASSERT_EQ(QProcess::execute(TARVANE_MAKE_DEMO_GAME, arguments), 0);
        archive = demo.File("game/Patch_D2.mpq");
    }

    // Opens the demo's Patch_D2.mpq through File > Open in a main window whose working folder
    // (and so whose settings, naming the demo game) is the demo's.
    void OpenDemo() {
        work.emplace(demo.File("work"));
        dlg = std::make_unique<CModEngineDlg>(prompts);
        prompts.AnswerOpenFile(archive);
        dlg->OnFileOpen();
    }

    std::string tables;
    CTempFolder demo;
    std::string archive;
    CScriptedPrompts prompts;
    std::optional<CTempFolder::Enter> work;
    std::unique_ptr<CModEngineDlg> dlg;
};
