// Monsters > Editor... through the main window: what OK, Cancel and a dialog that cannot open
// leave in the data set.
#include "app/ModEngineDlg.h"
#include "editors/ModFuncs.h"
#include "platform/ProfileFile.h"

#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TableFixture.h"
#include "TempFolder.h"

#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class MonsterEditorMainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        window = std::make_unique<CModEngineDlg>(prompts);
        LoadRows(window->m_data.m_MonStats, {{"Class", "namco", "MinHP", "Spawned"},
                                             {"a1", "Alpha", "10", "1"},
                                             {"b1", "Beta", "20", "0"}});
    }

    // Runs the editor, types `minHp` for Beta, presses Apply when asked, then `closeWith`.
    void RunEditor(const std::string& minHp, bool apply, const QString& closeWith) {
        WhenDialogOpens([=](QDialog& editor) {
            auto press = [&editor](const QString& caption) {
                for (QPushButton* button : editor.findChildren<QPushButton*>())
                    if (button->text() == caption)
                        button->click();
            };
            editor.findChild<QListWidget*>()->setCurrentRow(1);
            for (QLineEdit* edit : editor.findChildren<QLineEdit*>())
                if (edit->accessibleName() == "Base min health (Normal)")
                    edit->setText(QString::fromStdString(minHp));
            if (apply)
                press("Apply");
            press(closeWith);
        });
        window->OnEditorCommand("Editor...");
    }

    std::string MinHp(int32_t row) const { return window->m_data.m_MonStats.GetCell(2, row); }

    CTempFolder work{true};
    CScriptedPrompts prompts;
    std::unique_ptr<CModEngineDlg> window;
};

TEST_F(MonsterEditorMainWindowTest, OkKeepsAppliedChangesAndCancelPutsTheTableBack) {
    RunEditor("25", true, "OK");
    EXPECT_EQ(MinHp(2), "25");
    EXPECT_TRUE(window->m_data.m_bModified);

    // What was typed since the last Apply is offered before OK drops it: No drops it.
    prompts.AnswerThreeWay(CUserPrompts::Answer::Second);
    RunEditor("30", false, "OK");
    EXPECT_EQ(MinHp(2), "25");
    EXPECT_EQ(prompts.TextsOf(CScriptedPrompts::Entry::Kind::ThreeWay),
              std::vector<std::string>{"Apply your changes to Beta? [Yes/No/Cancel]"});
    prompts.log.clear();

    // Cancel drops this run's Apply, keeps the earlier OK, and still counts as a change.
    window->m_data.m_bModified = false;
    RunEditor("99", true, "Cancel");
    EXPECT_EQ(MinHp(2), "25");
    EXPECT_EQ(MinHp(1), "10");
    EXPECT_TRUE(window->m_data.m_bModified);
    EXPECT_TRUE(prompts.log.empty());
}

TEST_F(MonsterEditorMainWindowTest, TheEditorOpensOnTheMonsterSelectedInTheLastRun) {
    RunEditor("20", false, "Cancel"); // leaves Beta selected
    QString opened;
    WhenDialogOpens([&opened](QDialog& editor) {
        opened = editor.findChild<QListWidget*>()->currentItem()->text();
        editor.reject();
    });
    window->OnEditorCommand("Editor...");
    EXPECT_EQ(opened, "Beta");
    EXPECT_EQ(
        CProfileFile::ReadString(work.File("Tarvane.ini"), "Tarvane", "MonsterEditorSelected", ""),
        "b1");
}

TEST_F(MonsterEditorMainWindowTest, MissingRecordServiceEndsTheRunAsCancel) {
    const TableRows before = CellsOf(window->m_data.m_MonStats);
    window->m_pFuncs.reset();
    // Had the editor gone modal, this would note it and end it.
    bool wentModal = false;
    QObject guard;
    QTimer::singleShot(0, &guard, [&wentModal] {
        if (auto* open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            wentModal = true;
            open->reject();
        }
    });
    window->OnEditorCommand("Editor...");
    EXPECT_FALSE(wentModal);
    EXPECT_EQ(prompts.Messages(), std::vector<std::string>{"Programming error, m_pFuncs is null."});
    EXPECT_EQ(CellsOf(window->m_data.m_MonStats), before);
    EXPECT_TRUE(window->m_data.m_bModified);
}

} // namespace
