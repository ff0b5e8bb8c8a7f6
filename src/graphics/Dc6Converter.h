#pragma once

#include <cstddef>
#include <cstdint>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "graphics/BuiltinPalette.h"
#include "graphics/IndexedImage.h"
#include "graphics/PictureFiles.h"

// The DC6/PCX picture converter, built like the command-line program "dc6con": Dc6ConMain takes
// the argument vector (program name, input file, options), picks the direction from the last
// character of the input name and writes the result beside the input, or where "-out" says.
// Every output is written beside its place and renamed over it, so a file it replaces is there
// whole, old or new.
//
// One object is one run and holds everything that run needs (options, palette, frame table), so
// runs never see each other. An error ends the run and is handed back to the caller: Dc6ConMain
// returns 1 and Error() holds the text; only the dc6con program turns that into an exit status.
class CDc6Converter {
public:
    // The largest PCX accepted (799 x 599) makes 4 x 3 blocks of 256 x 256.
    static constexpr int kMaxFrames = 12;
    static constexpr int32_t kBlockSize = 256;
    // A PCX must be narrower and lower than this.
    static constexpr int32_t kMaxPcxWidth = 800;
    static constexpr int32_t kMaxPcxHeight = 600;
    static constexpr int64_t kDefaultMaxImagePixels = int64_t{1} << 26;

    // Where a frame of the loaded DC6 file lies; the data is clamped to the file.
    struct FrameInfo {
        int32_t width = 0;
        int32_t height = 0;
        int32_t offsetX = 0;
        int32_t offsetY = 0;
        size_t dataOffset = 0; // from the start of the file
        size_t length = 0;     // coded bytes available to the decoder
    };

    CDc6Converter() = default;

    // Runs one conversion. Returns 0 when done, 1 on an error (see Error()).
    int Dc6ConMain(int argc, const char* const argv[]);
    int Dc6ConMain(const std::vector<std::string>& args);

    // The error text of the last run ("Bad pcx file\n", ...), empty when it succeeded.
    const std::string& Error() const { return m_strError; }
    // Receives the decoder's "found byte 00" lines; none are written without one.
    void SetOutput(std::ostream* output) { m_pOutput = output; }
    // Images above this many pixels count as not allocatable.
    void SetMaxImagePixels(int64_t pixels) { m_nMaxImagePixels = pixels; }

    // Options of the run, as Dc6ConMain sets them; callers that use the routines directly
    // (tests, benchmarks) may set them too. SetPalette takes blue, green, red.
    void SetTransparency(bool on, int index);
    void SetPalette(const Palette& bgr);
    bool Transparency() const { return m_bTransparent; }
    int TransparentIndex() const { return m_nTransIndex; }
    const Palette& RunPalette() const { return m_palette; }
    // Off, every routine takes its plain path only: the reference the fast paths (in
    // ConverterFastPaths.h) must agree with byte for byte. On by default.
    void SetFastPaths(bool on) { m_bFastPaths = on; }

    // --- The routines of a run ---

    // Index of the first of arguments 1..count-1 equal to `option` ignoring case; 0 when none or
    // when it is the last argument (it has no value then).
    int FindArg(std::string_view option) const;
    // Cuts the extension of the last path component ("a\b.c.pcx" -> "a\b.c").
    static void StripExtension(std::string& name);
    // Reads a whole file. False when it cannot be read or is empty.
    static bool LoadFile(const std::string& path, std::string& bytes);
    // A width x height image filled with the transparent index.
    bool AllocImage(int64_t width, int64_t height, CIndexedImage& image);
    // Exchanges the first and third byte of every entry.
    static void SwapPaletteOrder(Palette& palette);
    // Decodes a PCX file (8 bits, one plane, below 800 x 600).
    bool ReadPcx(std::string_view bytes, CIndexedImage& image);
    // Appends the DC6 file of an image: blocks of 256 x 256, in rows, top to bottom.
    void WriteDc6(std::string& file, const CIndexedImage& image) const;
    // Writes the row coding of one block, bottom row first, to `out`, which has room for
    // bh * (2 * bw + 1) bytes. Returns the end of what it wrote.
    uint8_t* EncodeDc6Block(const uint8_t* topLeft, uint8_t* out, int32_t bw, int32_t bh,
                            int32_t stride) const;
    // Reads the header and frame table of a DC6 file (kept in the run).
    bool GetFileInfoDC6(std::string_view bytes);
    int FrameCount() const { return static_cast<int>(m_frames.size()); }
    const FrameInfo& Frame(int index) const { return m_frames[static_cast<size_t>(index)]; }
    bool FrameMode() const { return m_bFrameMode; }
    // Makes frame `index` of the loaded DC6 file the current one.
    void SetFrameInfo(int index);
    const FrameInfo& CurrentFrame() const { return m_current; }
    // Decodes coded frame data into `image` with the frame's top-left corner at (x0, y0).
    // Pixels that fall outside the image are dropped.
    void DecodeDc6Frame(const uint8_t* data, size_t length, int32_t width, int32_t height,
                        CIndexedImage& image, int64_t x0, int64_t y0);
    // Tile mode: all frames of the loaded DC6 `file` joined into one picture.
    bool DecodeTiles(std::string_view file, CIndexedImage& image);
    // Frame mode: one frame of the loaded DC6 `file` as a picture of its own.
    bool DecodeFrame(std::string_view file, int index, CIndexedImage& image);
    // The PCX file of an image, with the run's palette; false when PCX cannot describe its size.
    bool BuildPcx(const CIndexedImage& image, std::string& file);
    // Builds the PCX file and writes it whole to `name`.
    bool WritePcx(const std::string& name, const CIndexedImage& image);

private:
    bool Run();
    bool PcxToDc6(const std::string& input);
    bool Dc6ToPcx(const std::string& input);
    bool TileMode(const std::string& output);
    bool FrameModeRun(const std::string& baseName);
    void DecodeCurrentFrame(std::string_view file, CIndexedImage& image, int64_t x0, int64_t y0);
    bool WriteOutput(const std::string& name, std::string_view bytes);
    bool Fail(std::string text);
    void Reset();

    std::vector<std::string> m_args;
    std::string m_strError;
    std::ostream* m_pOutput = nullptr;
    int64_t m_nMaxImagePixels = kDefaultMaxImagePixels;
    bool m_bFastPaths = true;

    bool m_bTransparent = false;
    int m_nTransIndex = 0;
    Palette m_palette = kBuiltinPalette;

    std::string m_input; // the loaded input file
    std::vector<FrameInfo> m_frames;
    uint8_t m_termination[3] = {0, 0, 0};
    bool m_bFrameMode = false;
    FrameInfo m_current;
};
