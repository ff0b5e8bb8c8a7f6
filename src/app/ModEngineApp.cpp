#include "app/ModEngineApp.h"

#include "app/ModEngineDlg.h"
#include "app/QtUserPrompts.h"

#include <QApplication>
#include <QTimer>

#include <filesystem>
#include <system_error>

CModEngineApp::CModEngineApp(int& argc, char** argv) : m_argc(argc), m_argv(argv) {}

int CModEngineApp::Run() {
    QApplication app(m_argc, m_argv);
    QApplication::setApplicationName(CQtUserPrompts::kTitle);
    CQtUserPrompts prompts;
    CModEngineDlg dialog(prompts);
    prompts.SetParentWindow(&dialog);
    if (dialog.StartFailed())
        return 1; // the window has said why
    // Qt has taken its own options out of the arguments by now.
    OpenAtStart(dialog, std::vector<std::string>(m_argv + 1, m_argv + m_argc));
    dialog.exec();
    return 0;
}

void CModEngineApp::OpenAtStart(CModEngineDlg& dialog, const std::vector<std::string>& arguments) {
    if (arguments.empty() || arguments.front().empty())
        return;
    // Kept absolute, so that File > Recent finds it from anywhere.
    std::error_code error;
    std::filesystem::path path = std::filesystem::absolute(arguments.front(), error);
    const std::string archive = error ? arguments.front() : path.string();
    // Queued: it runs once exec() has shown the window, and a failure is a message over it.
    QTimer::singleShot(0, &dialog, [&dialog, archive] { dialog.OpenArchive(archive); });
}
