#pragma once
class CModEngineApp {
public:
    CModEngineApp(int& argc, char** argv);
    int Run();
};
