#include "app/ModEngineApp.h"

int main(int argc, char* argv[]) {
    CModEngineApp app(argc, argv);
    return app.Run();
}
