#include "app/ModEngineApp.h"

#include "app/ModEngineDlg.h"
#include "app/QtUserPrompts.h"

#include <QApplication>

CModEngineApp::CModEngineApp(int& argc, char** argv) : m_argc(argc), m_argv(argv) {}

int CModEngineApp::Run() {
    QApplication app(m_argc, m_argv);
    QApplication::setApplicationName(CQtUserPrompts::kTitle);
    CQtUserPrompts prompts;
    CModEngineDlg dialog(prompts);
    prompts.SetParentWindow(&dialog);
    if (dialog.StartFailed())
        return 1; // the window has said why
    dialog.exec();
    return 0;
}
