// dc6con <input> [-transcol N] [-pal file]: converts a PCX picture into a DC6 file beside it,
// or a DC6 file (name ending in "6") into PCX pictures.
#include <iostream>

#include "graphics/Dc6Converter.h"

int main(int argc, char* argv[]) {
    CDc6Converter run;
    run.SetOutput(&std::cout);
    if (run.Dc6ConMain(argc, argv) != 0) {
        std::cout.flush();
        std::cerr << run.Error();
        return 1;
    }
    return 0;
}
