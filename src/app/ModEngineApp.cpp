#include "app/ModEngineApp.h"
CModEngineApp::CModEngineApp(int&, char**) {}
int CModEngineApp::Run() { return 0; }
