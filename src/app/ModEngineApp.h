#pragma once

#include <string>
#include <vector>

class CModEngineDlg;

// The application object: makes the Qt application and the main window, runs it, and ends the
// program when the main window closes.
class CModEngineApp {
public:
    CModEngineApp(int& argc, char** argv);
    int Run();

    // `tarvane <archive>`: opens the archive once the window is up and running. Nothing when
    // no archive is given.
    static void OpenAtStart(CModEngineDlg& dialog, const std::vector<std::string>& arguments);

private:
    int& m_argc;
    char** m_argv;
};
