// dc6con <input> [-transcol N] [-pal file] [-out file]: converts a PCX picture into a DC6 file,
// or a DC6 file (name ending in "6") into PCX pictures, beside the input or at "-out" (a DC6
// file of several separate frames gives one picture per frame, numbered after that name).
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
