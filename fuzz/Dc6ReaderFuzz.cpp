// Any bytes as a DC6 file: header, frame table, row decoding, both layouts and the PCX writer
// must stay inside their buffers.
#include <string_view>

#include "graphics/Dc6Converter.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    CDc6Converter run;
    run.SetMaxImagePixels(1 << 18); // bigger pictures only cost time, not coverage
    if (!run.GetFileInfoDC6(bytes))
        return 0;
    std::string pcx;
    CIndexedImage image;
    if (run.DecodeTiles(bytes, image))
        run.BuildPcx(image, pcx);
    for (int i = 0; i < run.FrameCount(); ++i) {
        if (run.DecodeFrame(bytes, i, image))
            run.BuildPcx(image, pcx);
    }
    return 0;
}
