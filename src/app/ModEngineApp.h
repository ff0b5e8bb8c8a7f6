#pragma once

// The application object: makes the Qt application and the main window, runs it, and ends the
// program when the main window closes.
class CModEngineApp {
public:
    CModEngineApp(int& argc, char** argv);
    int Run();

private:
    int& m_argc;
    char** m_argv;
};
