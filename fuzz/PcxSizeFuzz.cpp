// Any bytes as a PCX file on disk: GetPcxSize reads the file and must agree with the reader.
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

#include "graphics/Dc6Converter.h"
#include "platform/FileSystem.h"

namespace {

// One file per fuzzing process, removed when it ends.
struct CFuzzFile {
    std::string path = "/tmp/fuzz_pcx_size_" + std::to_string(::getpid()) + ".pcx";
    ~CFuzzFile() { RemoveFile(path); }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const CFuzzFile file;
    const std::string& path = file.path;
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (!WriteFileAtomically(path, bytes, false))
        std::abort();
    const PcxSize size1 = GetPcxSize(path);
    const PcxSize size2 = PcxSizeOfBytes(bytes);
    if (size1.width != size2.width || size1.height != size2.height)
        std::abort();
    if ((size1.width == 0) != (size1.height == 0) || size1.width >= 800 || size1.height >= 600)
        std::abort();
    // A picture the reader accepts always has the size GetPcxSize gives.
    CDc6Converter run;
    CIndexedImage image;
    if (run.ReadPcx(bytes, image) && (image.width != size1.width || image.height != size1.height))
        std::abort();
    return 0;
}
