#pragma once

// The main window in a fresh working folder, and the ways to its menus, for the app tests.

#include "app/ModEngineDlg.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <gtest/gtest.h>

#include <memory>

// A caption as shown, without its mnemonic mark.
inline QString Plain(const QAction* action) {
    return action->text().remove('&');
}

inline QMenu* FindMenu(CModEngineDlg& dlg, const QString& title) {
    for (QAction* action : dlg.MenuBar()->actions())
        if (action->menu() && Plain(action) == title)
            return action->menu();
    return nullptr;
}

inline QAction* FindItem(CModEngineDlg& dlg, const QString& menu, const QString& caption) {
    QMenu* m = FindMenu(dlg, menu);
    if (!m)
        return nullptr;
    for (QAction* action : m->actions())
        if (Plain(action) == caption)
            return action;
    return nullptr;
}

// A main window in a fresh working folder (the current directory while the test runs).
class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }

    std::unique_ptr<CModEngineDlg> MakeWindow() { return std::make_unique<CModEngineDlg>(prompts); }

    // Fills the nine tables with small distinct contents, as an open would.
    static void FillTables(CModEngineDlg& dlg) {
        CTempFolder src;
        for (CGameDataSet::TableId id : CGameDataSet::kDeclarationOrder) {
            std::string name = CGameDataSet::FileName(id);
            WriteTextFile(src.File(name), "key\t" + name + "\r\nrow\t\xE9\r\n");
            ASSERT_TRUE(dlg.m_data.Table(id).Load(src.File(name)));
        }
    }

    CTempFolder work{true};
    CScriptedPrompts prompts;
};
