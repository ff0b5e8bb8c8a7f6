// tarvane_screenshots <demo folder> <output folder>
//
// Makes the README's pictures from the real program: opens the demo made by make_demo_game (its
// game/Patch_D2.mpq, in its work/ folder) in the main window, grabs the window into
// main-window.png, then starts Monsters > Editor... and Misc > Treasure from the menus and grabs
// them into monster-editor.png and table-grid.png. Runs offscreen unless QT_QPA_PLATFORM says
// otherwise. `make screenshots` runs it on a fresh copy of the demo, so the pictures never show the
// user's own edits.

#include "app/AllTablesCommands.h"
#include "app/ModEngineDlg.h"
#include "app/QtUserPrompts.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QMenu>
#include <QMenuBar>
#include <QPixmap>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

// The real prompts, but the archive to open is given, and nothing waits for a click: a
// message is printed and counts as a failure, since the demo should open without one.
class CScreenshotPrompts : public CQtUserPrompts {
public:
    explicit CScreenshotPrompts(std::string archive) : m_archive(std::move(archive)) {}

    void ShowMessage(const std::string& text) override {
        std::fprintf(stderr, "tarvane_screenshots: the program said: %s\n", text.c_str());
        m_bFailed = true;
    }
    bool AskOkCancel(const std::string& text) override {
        ShowMessage(text);
        return false;
    }
    bool AskYesNo(const std::string& text) override {
        ShowMessage(text);
        return false;
    }
    Answer AskThreeWay(const std::string& text, const std::string&, const std::string&) override {
        ShowMessage(text);
        return Answer::Cancel;
    }
    std::optional<std::string> ChooseFileToOpen(const std::string&, const std::string&,
                                                const std::string&, const std::string&) override {
        return m_archive;
    }

    bool m_bFailed = false;

private:
    std::string m_archive;
};

// Menu captions may carry mnemonics ("&Editor..."): compared without them.
QString Plain(QString text) {
    return text.remove('&');
}

QAction* FindMenuCommand(QMenuBar* bar, const QString& menu, const QString& command) {
    for (QAction* top : bar->actions()) {
        if (Plain(top->text()) != menu || top->menu() == nullptr)
            continue;
        for (QAction* action : top->menu()->actions())
            if (Plain(action->text()) == command)
                return action;
    }
    return nullptr;
}

bool Save(QWidget& widget, const QString& path) {
    QCoreApplication::processEvents();
    if (!widget.grab().save(path, "PNG")) {
        std::fprintf(stderr, "tarvane_screenshots: could not write %s\n", qPrintable(path));
        return false;
    }
    std::printf("%s\n", qPrintable(QDir::toNativeSeparators(path)));
    return true;
}

// Starts `command`, grabs the modal dialog it opens into `path` and closes that dialog again.
bool GrabModal(QAction& command, const QString& path) {
    bool saved = false;
    QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) {
            std::fprintf(stderr, "tarvane_screenshots: %s opened no dialog\n",
                         command.text().toLocal8Bit().constData());
            return;
        }
        saved = Save(*dialog, path);
        dialog->reject();
    });
    command.trigger();
    return saved;
}

} // namespace

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // The same pictures on every screen.
    qputenv("QT_SCALE_FACTOR", "1");
    QApplication app(argc, argv);
    QApplication::setApplicationName(CQtUserPrompts::kTitle);
    if (argc != 3) {
        std::fprintf(stderr, "usage: tarvane_screenshots <demo folder> <output folder>\n");
        return 2;
    }
    const QDir demo(QDir(argv[1]).absolutePath());
    const QDir output(QDir(argv[2]).absolutePath());
    if (!output.exists() && !QDir().mkpath(output.path())) {
        std::fprintf(stderr, "tarvane_screenshots: could not make %s\n", argv[2]);
        return 1;
    }
    // The program keeps its files in the current folder: the demo's working folder.
    if (!QDir::setCurrent(demo.filePath("work"))) {
        std::fprintf(stderr, "tarvane_screenshots: %s has no work folder\n", argv[1]);
        return 1;
    }
    // Should anything wait for a click after all, give up rather than hang.
    QTimer::singleShot(60000, [] {
        std::fprintf(stderr, "tarvane_screenshots: timed out\n");
        std::_Exit(1);
    });

    CScreenshotPrompts prompts(
        QDir::toNativeSeparators(demo.filePath("game/Patch_D2.mpq")).toLocal8Bit().toStdString());
    CModEngineDlg window(prompts);
    prompts.SetParentWindow(&window);
    if (window.StartFailed())
        return 1;
    window.show();
    window.OnFileOpen();
    const std::string notes = window.NotesText();
    if (prompts.m_bFailed || notes.find("MPQ Archive has been opened.") == std::string::npos) {
        std::fprintf(stderr, "tarvane_screenshots: the demo did not open:\n%s\n", notes.c_str());
        return 1;
    }
    if (!Save(window, output.filePath("main-window.png")))
        return 1;

    QAction* editor = FindMenuCommand(window.findChild<QMenuBar*>(), "Monsters", "Editor...");
    if (editor == nullptr) {
        std::fprintf(stderr, "tarvane_screenshots: no Monsters > Editor... command\n");
        return 1;
    }
    QAction* grid = FindMenuCommand(window.findChild<QMenuBar*>(), "Misc", "Treasure");
    if (grid == nullptr) {
        std::fprintf(stderr, "tarvane_screenshots: no Misc > Treasure command\n");
        return 1;
    }
    // One change to a table only the game's archives hold, so that the Tables window and the
    // changes view have something to show.
    CModTables& tables = window.AllTables().Tables();
    CModTables::Entry* runes = tables.FindEntry("Runes.txt");
    std::string error;
    CTxtTable* runesTable = runes ? tables.Open(*runes, error) : nullptr;
    QAction* tablesWindow = FindMenuCommand(window.findChild<QMenuBar*>(), "Misc", "Tables...");
    QAction* changes =
        FindMenuCommand(window.findChild<QMenuBar*>(), "Misc", "Changes Against the Game's...");
    if (runesTable == nullptr || !runesTable->SetCell(12, 1, "4") || tablesWindow == nullptr ||
        changes == nullptr) {
        std::fprintf(stderr, "tarvane_screenshots: the demo's Runes.txt or the Tables window "
                             "is missing\n");
        return 1;
    }
    const bool saved = GrabModal(*editor, output.filePath("monster-editor.png")) &&
                       GrabModal(*grid, output.filePath("table-grid.png")) &&
                       GrabModal(*tablesWindow, output.filePath("tables.png")) &&
                       GrabModal(*changes, output.filePath("changes.png"));
    return saved && !prompts.m_bFailed ? 0 : 1;
}
