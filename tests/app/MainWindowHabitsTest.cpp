#include "app/AboutDlg.h"
#include "app/EditorCommand.h"
#include "app/ModEngineDlg.h"
#include "app/QtUserPrompts.h"
#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"

#include "LayoutTables.h"
#include "MpqFixture.h"
#include "QtTestApp.h"
#include "ScriptedPrompts.h"
#include "TempFolder.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "MainWindowFixture.h"

namespace {

using TableId = CGameDataSet::TableId;

class OpenedWindowTest : public MainWindowTest {
protected:
    std::unique_ptr<CModEngineDlg> OpenedWindow() {
        ArchiveFiles tables;
        for (TableId id : CGameDataSet::kDeclarationOrder)
            tables.emplace_back(CGameDataSet::ArchivePath(id), "name\r\nbase\r\n");
        archive = game.File("Patch_D2.mpq");
        EXPECT_TRUE(MakeArchive(game.File("d2data.mpq"), tables));
        EXPECT_TRUE(MakeArchive(archive, tables));
        CProfileFile::WriteString(work.File("Tarvane.ini"), "Diablo II", "Folder", game.Path());
        auto dlg = MakeWindow();
        prompts.AnswerOpenFile(archive);
        FindItem(*dlg, "File", "Open...")->trigger();
        return dlg;
    }

    CTempFolder game;
    std::string archive;
};

TEST_F(OpenedWindowTest, TitleNamesTheArchiveAndMarksUnsavedEdits) {
    auto dlg = MakeWindow();
    EXPECT_EQ(dlg->windowTitle(), "Morsk's Tarvane Diablo II");

    dlg = OpenedWindow();
    EXPECT_EQ(dlg->windowTitle(), "Patch_D2.mpq - Morsk's Tarvane Diablo II");
    // A grid closed with a cell changed leaves the edit unsaved.
    WhenDialogOpens([](QDialog& d) {
        QAbstractItemModel* model = d.findChild<QTableView*>()->model();
        model->setData(model->index(0, 0), "edited");
        d.accept();
    });
    FindItem(*dlg, "Misc", "Skills")->trigger();
    EXPECT_EQ(dlg->windowTitle(), "Patch_D2.mpq* - Morsk's Tarvane Diablo II");
    FindItem(*dlg, "File", "Save")->trigger();
    EXPECT_FALSE(dlg->m_data.m_bModified);
    EXPECT_EQ(dlg->windowTitle(), "Patch_D2.mpq - Morsk's Tarvane Diablo II");
}

TEST_F(OpenedWindowTest, KeyboardReachesTheCommands) {
    auto dlg = OpenedWindow();
    dlg->show();

    // Every menu and menu item has one mnemonic, and no two in a menu share its letter.
    auto mnemonic = [](const QAction* action) {
        const QString text = action->text();
        const qsizetype at = text.indexOf('&');
        EXPECT_TRUE(at >= 0 && at + 1 < text.size() && text[at + 1].isLetter() &&
                    text.indexOf('&', at + 1) < 0)
            << text.toStdString();
        return at >= 0 && at + 1 < text.size() ? text[at + 1].toLower() : QChar();
    };
    std::set<QChar> titles;
    for (QAction* title : dlg->MenuBar()->actions()) {
        EXPECT_TRUE(titles.insert(mnemonic(title)).second) << title->text().toStdString();
        std::set<QChar> items;
        for (QAction* item : title->menu()->actions())
            EXPECT_TRUE(items.insert(mnemonic(item)).second) << item->text().toStdString();
    }

    // The standard shortcuts, each pressed as a user would; the commands run as from the menu.
    struct Case {
        int key;
        Qt::KeyboardModifiers modifiers;
        QString command;
    };
    const Case cases[] = {
        {Qt::Key_O, Qt::ControlModifier, "Open..."},
        {Qt::Key_S, Qt::ControlModifier | Qt::ShiftModifier, "Save As..."},
        {Qt::Key_S, Qt::ControlModifier, "Save"},
        {Qt::Key_F1, Qt::NoModifier, "About..."},
        {Qt::Key_Q, Qt::ControlModifier, "Exit"},
    };
    QStringList ran;
    for (QAction* title : dlg->MenuBar()->actions())
        for (QAction* item : title->menu()->actions())
            QObject::connect(item, &QAction::triggered, [&ran, item] { ran << Plain(item); });
    prompts.AnswerOpenFile(std::nullopt);
    prompts.AnswerSaveFile(std::nullopt);
    WhenDialogOpens([](QDialog& d) { d.accept(); });
    QStringList expected;
    for (const Case& c : cases) {
        // The window is active again once a dialog of the previous command has closed.
        QApplication::setActiveWindow(dlg.get());
        QTest::keyClick(dlg.get(), static_cast<Qt::Key>(c.key), c.modifiers);
        expected << c.command;
        EXPECT_EQ(ran.join(", ").toStdString(), expected.join(", ").toStdString());
    }
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_TRUE(prompts.AllAnswersUsed());
}

TEST_F(MainWindowTest, WindowPlaceIsRememberedAndNoMenuIsEverHidden) {
    const QRect placed(40, 60, 720, 470);
    {
        auto first = MakeWindow();
        first->show();
        first->setGeometry(placed);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(first.get()));
        first->close();
    }
    EXPECT_NE(
        CProfileFile::ReadString(work.File("Tarvane.ini"), "Tarvane", "MainWindowGeometry", ""),
        "");
    auto second = MakeWindow();
    second->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(second.get()));
    EXPECT_EQ(second->geometry(), placed);

    // However small the user makes it, the menu bar shows every menu.
    second->resize(50, 50);
    QApplication::processEvents();
    QMenuBar* bar = second->MenuBar();
    for (QAction* title : bar->actions()) {
        const QRect place = bar->actionGeometry(title);
        EXPECT_TRUE(!place.isEmpty() && bar->rect().contains(place)) << Plain(title).toStdString();
    }
}

TEST_F(MainWindowTest, EveryEditorCommandRunsItsDialogFromTheTable) {
    auto dlg = MakeWindow();
    FillTables(*dlg);
    // Tables of both layouts open every editor the same way.
    for (TableLayout layout : {TableLayout::V109, TableLayout::V110}) {
        for (TableId id : CGameDataSet::kDeclarationOrder)
            ASSERT_TRUE(dlg->m_data.Table(id).LoadFromBytes(LayoutTableText(id, layout)));
        std::vector<QString> menuItems;
        for (const char* menu : {"Global", "Monsters", "Items", "Misc"})
            for (QAction* item : FindMenu(*dlg, menu)->actions())
                menuItems.push_back(QString(menu) + " > " + Plain(item));
        std::vector<QString> commands;
        for (const CEditorCommand& command : CEditorCommand::Table())
            commands.push_back(QString(command.menu).remove('&') + " > " +
                               QString(command.caption).remove('&'));
        // The one Misc command that runs no dialog: the game on a Resurrected mod folder.
        commands.push_back("Misc > Run Diablo II: Resurrected");
        EXPECT_EQ(menuItems, commands);

        // Each command's dialog opens modally over the main window; Cancel puts back what the
        // command lists, OK keeps the dialog's changes.
        for (const CEditorCommand& command : CEditorCommand::Table()) {
            QAction* item = FindItem(*dlg, QString(command.menu).remove('&'),
                                     QString(command.caption).remove('&'));
            ASSERT_NE(item, nullptr) << command.caption;
            if (!command.makeDialog) {
                dlg->m_data.m_bModified = false;
                item->trigger(); // no dialog yet: nothing happens
                EXPECT_FALSE(dlg->m_data.m_bModified) << command.caption;
                continue;
            }
            for (bool ok : {false, true}) {
                dlg->m_data.m_bModified = false;
                QWidget* parent = nullptr;
                WhenDialogOpens([&](QDialog& d) {
                    parent = d.parentWidget();
                    for (TableId id : command.restoreOnCancel)
                        dlg->m_data.Table(id).SetCell(0, 1, ok ? "kept" : "dropped");
                    ok ? d.accept() : d.reject();
                });
                item->trigger();
                EXPECT_EQ(parent, dlg.get()) << command.caption;
                for (TableId id : command.restoreOnCancel)
                    EXPECT_EQ(dlg->m_data.Table(id).GetCell(0, 1), ok ? "kept" : "row")
                        << command.caption;
                EXPECT_EQ(dlg->m_data.m_bModified, ok || command.modifiedOnCancel)
                    << command.caption;
            }
        }
    }
    EXPECT_TRUE(prompts.Messages().empty()) << prompts.Messages().front();
}

} // namespace
