#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "PictureFixtures.h"
#include "TempFolder.h"
#include "graphics/Dc6Converter.h"
#include "platform/FileSystem.h"

namespace {

class Dc6ConverterTest : public ::testing::Test {
protected:
    std::string At(const std::string& name) const { return m_dir.File(name); }
    void Put(const std::string& name, const std::string& bytes) { WriteTextFile(At(name), bytes); }
    std::string Get(const std::string& name) const { return ReadTextFile(At(name)); }

    // Runs dc6con on a file of the folder with the given options.
    int Run(const std::string& input, std::vector<std::string> options = {}) {
        std::vector<std::string> args = {"dc6con", At(input)};
        args.insert(args.end(), options.begin(), options.end());
        int rc = m_run.Dc6ConMain(args);
        m_error = m_run.Error();
        return rc;
    }

    // The coded data of each frame of a DC6 file, by its frame pointers and lengths.
    static std::vector<std::string> FrameData(const std::string& dc6) {
        std::vector<std::string> frames;
        for (uint32_t i = 0; i < ReadU32(dc6, 20); ++i) {
            uint32_t f = ReadU32(dc6, 24 + 4 * i);
            frames.push_back(dc6.substr(f + 32, ReadU32(dc6, f + 28)));
        }
        return frames;
    }

    // Converts a picture to DC6 and returns the coded data of its single frame.
    std::string CodeOneFrame(int w, int h, const Pixels& px, std::vector<std::string> options) {
        Put("p.pcx", MakePcx(w, h, px));
        EXPECT_EQ(Run("p.pcx", options), 0) << m_error;
        return FrameData(Get("p.dc6")).at(0);
    }

    CTempFolder m_dir;
    CDc6Converter m_run;
    std::string m_error;
};

std::string Bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s += static_cast<char>(v);
    return s;
}

TEST_F(Dc6ConverterTest, WritesHeaderFramePointersAndBlockSizes) {
    Put("a.pcx", MakePcx(300, 100, PatternPixels(300, 100, 1)));
    ASSERT_EQ(Run("a.pcx", {"-transcol", "0"}), 0) << m_error;
    std::string dc6 = Get("a.dc6");
    EXPECT_EQ(dc6.substr(0, 24), Bytes({6,    0,    0,    0,    1, 0, 0, 0, 0, 0, 0, 0,
                                        0xEE, 0xEE, 0xEE, 0xEE, 1, 0, 0, 0, 2, 0, 0, 0}));
    EXPECT_EQ(ReadU32(dc6, 24), 32u);
    uint32_t f0 = 32, next0 = ReadU32(dc6, f0 + 24), len0 = ReadU32(dc6, f0 + 28);
    EXPECT_EQ(dc6.substr(f0, 24),
              Bytes({0, 0, 0, 0, 0, 1, 0, 0, 100, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(next0, f0 + 32 + len0 + 3);
    EXPECT_EQ(dc6.substr(f0 + 32 + len0, 3), "\xEE\xEE\xEE");
    uint32_t f1 = ReadU32(dc6, 28);
    EXPECT_EQ(f1, next0);
    EXPECT_EQ(ReadU32(dc6, f1 + 4), 44u);
    EXPECT_EQ(ReadU32(dc6, f1 + 8), 100u);
    EXPECT_EQ(dc6.size(), ReadU32(dc6, f1 + 24));

    Put("b.pcx", MakePcx(56, 84, PatternPixels(56, 84, 2)));
    ASSERT_EQ(Run("b.pcx"), 0);
    dc6 = Get("b.dc6");
    EXPECT_EQ(ReadU32(dc6, 20), 1u);
    EXPECT_EQ(ReadU32(dc6, 24), 28u);
    EXPECT_EQ(ReadU32(dc6, 28 + 4), 56u);
    EXPECT_EQ(ReadU32(dc6, 28 + 8), 84u);
}

TEST_F(Dc6ConverterTest, AcceptsUpTo799x599AndRefusesLarger) {
    Put("big.pcx", MakePcx(799, 599, Pixels(799 * 599, 3)));
    ASSERT_EQ(Run("big.pcx"), 0) << m_error;
    std::string dc6 = Get("big.dc6");
    ASSERT_EQ(ReadU32(dc6, 20), 12u);
    const uint32_t widths[4] = {256, 256, 256, 31}, heights[3] = {256, 256, 87};
    for (uint32_t i = 0; i < 12; ++i) {
        uint32_t f = ReadU32(dc6, 24 + 4 * i);
        EXPECT_EQ(ReadU32(dc6, f + 4), widths[i % 4]) << i;
        EXPECT_EQ(ReadU32(dc6, f + 8), heights[i / 4]) << i;
    }
    for (auto [w, h] : {std::pair{800, 599}, std::pair{799, 600}}) {
        Put("over.pcx", MakePcx(w, h, Pixels(static_cast<size_t>(w) * h, 3)));
        EXPECT_EQ(Run("over.pcx"), 1);
        EXPECT_EQ(m_error, "Bad pcx file\n");
        EXPECT_FALSE(FileExists(At("over.dc6")));
    }
}

TEST_F(Dc6ConverterTest, CodesRowsWithTransparency) {
    // Rows are coded bottom first; an all-transparent row is only its end byte.
    EXPECT_EQ(CodeOneFrame(4, 2, {5, 0, 0, 7, 0, 0, 0, 0}, {"-transcol", "0"}),
              Bytes({0x80, 0x01, 0x05, 0x82, 0x01, 0x07, 0x80}));
    Pixels row(201, 0);
    row[200] = 9;
    EXPECT_EQ(CodeOneFrame(201, 1, row, {"-TransCol", "0"}), Bytes({0xFF, 0xC9, 0x01, 0x09, 0x80}));
    EXPECT_EQ(CodeOneFrame(9, 1, {1, 2, 3, 4, 5, 6, 0, 0, 9}, {"-transcol", "0"}),
              Bytes({0x06, 1, 2, 3, 4, 5, 6, 0x82, 0x01, 9, 0x80}));
    // Another transparent index leaves 0 a colour; trailing transparency is never coded.
    EXPECT_EQ(CodeOneFrame(5, 1, {0, 7, 7, 0, 7}, {"-transcol", "7"}),
              Bytes({0x01, 0x00, 0x82, 0x01, 0x00, 0x80}));
}

TEST_F(Dc6ConverterTest, CodesRowsWithoutTransparency) {
    Pixels row(256);
    for (int i = 0; i < 256; ++i)
        row[i] = static_cast<uint8_t>(i % 3 ? i : 0);
    std::string expected = Bytes({0x7F}) + std::string(row.begin(), row.begin() + 127) +
                           Bytes({0x7F}) + std::string(row.begin() + 127, row.begin() + 254) +
                           Bytes({0x02}) + std::string(row.begin() + 254, row.end()) +
                           Bytes({0x80});
    EXPECT_EQ(CodeOneFrame(256, 1, row, {}), expected);
    // "-transcol" as the last argument has no value and is ignored.
    EXPECT_EQ(CodeOneFrame(2, 1, {0, 0}, {"-transcol"}), Bytes({0x02, 0, 0, 0x80}));
    EXPECT_FALSE(m_run.Transparency());
}

TEST_F(Dc6ConverterTest, WritesPcxHeaderEscapesAndPalette) {
    Put("e.dc6", MakeDc6({{3, 2, 0, 0, Bytes({0x03, 0xBF, 0xC0, 0xFF, 0x80, 0x01, 0x00, 0x80})}}));
    ASSERT_EQ(Run("e.dc6"), 0) << m_error;
    std::string pcx = Get("e.pcx");
    std::string header(128, '\0');
    header.replace(0, 16, Bytes({0x0A, 5, 1, 8, 0, 0, 0, 0, 2, 0, 1, 0, 3, 0, 2, 0}));
    header.replace(65, 5, Bytes({1, 3, 0, 2, 0}));
    EXPECT_EQ(pcx.substr(0, 128), header);
    // Top row first (0, 0, 0), then the bottom one with its escaped values.
    EXPECT_EQ(pcx.substr(128, 9), Bytes({0, 0, 0, 0xBF, 0xC1, 0xC0, 0xC1, 0xFF, 0x0C}));
    ASSERT_EQ(pcx.size(), 128u + 8 + 1 + 768);
    std::string palette = pcx.substr(pcx.size() - 768);
    EXPECT_EQ(palette.substr(0, 12), Bytes({0, 0, 0, 36, 0, 0, 28, 24, 8, 44, 36, 16}));
    EXPECT_EQ(palette.substr(765), "\xFF\xFF\xFF");
}

TEST_F(Dc6ConverterTest, PaletteFileIsUsedOnlyForItsRun) {
    std::string bgr;
    for (int i = 0; i < 256; ++i)
        bgr += Bytes({i, 1, 2});
    Put("pal.dat", bgr);
    Put("p.dc6", MakeDc6({{1, 1, 0, 0, Bytes({0x80})}}));
    ASSERT_EQ(Run("p.dc6", {"-pal", At("pal.dat")}), 0) << m_error;
    EXPECT_EQ(Get("p.pcx").substr(Get("p.pcx").size() - 6), Bytes({2, 1, 254, 2, 1, 255}));
    // The same object, next run without the option: the built-in palette again.
    ASSERT_EQ(Run("p.dc6"), 0);
    EXPECT_EQ(Get("p.pcx").substr(Get("p.pcx").size() - 6), Bytes({104, 100, 88, 255, 255, 255}));

    EXPECT_EQ(Run("p.dc6", {"-pal", At("none.dat")}), 1);
    EXPECT_EQ(m_error, "Palette file not found " + At("none.dat") + "\n");
    Put("short.dat", bgr.substr(1));
    EXPECT_EQ(Run("p.dc6", {"-pal", At("short.dat")}), 1);
    EXPECT_EQ(m_error, "Invalid palette file\n");
}

TEST_F(Dc6ConverterTest, ReadPcxCarriesOverlongRunsIntoTheNextLine) {
    CDc6Converter run;
    CIndexedImage image;
    // Line 1: an empty run, then four 5s for three pixels; line 2 starts one pixel late.
    ASSERT_TRUE(run.ReadPcx(MakePcxWithData(3, 2, Bytes({0xC0, 9, 0xC4, 5, 6, 7, 8})), image));
    EXPECT_EQ(image.pixels, Pixels({5, 5, 5, 5, 6, 7}));
    // The run of the last line passes the image's end: the surplus is dropped.
    ASSERT_TRUE(run.ReadPcx(MakePcxWithData(2, 1, Bytes({0xFF, 4})), image));
    EXPECT_EQ(image.pixels, Pixels({4, 4}));
}

TEST_F(Dc6ConverterTest, ReadPcxAgreesWithPlainDecodingOfMixedStreams) {
    // Escapes, runs of every length and plain bytes at every alignment, as paint programs write;
    // in the rounds with rare runs the fast reader gets long stretches of single pixels. Both
    // the converter's paths must read them as the test decoder does.
    unsigned seed = 7;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return static_cast<int>((seed >> 16) & 0xFF);
    };
    for (bool fast : {true, false}) {
        CDc6Converter run;
        run.SetFastPaths(fast);
        for (int round = 0; round < 400; ++round) {
            const int w = 1 + next() % 100, h = 1 + next() % 6;
            const int runEvery = round % 2 ? 5 : 60;
            std::string data;
            while (data.size() < static_cast<size_t>(2 * w * h + 64)) {
                const int kind = next() % runEvery;
                if (kind == 0)
                    data += Bytes({0xC0 | (next() & 0x3F), next()});
                else if (kind == 1 || kind % 4 == 2)
                    data += Bytes({0xC1, 0xC0 | next()});
                else
                    data += Bytes({next() % 0xC0});
            }
            const std::string pcx = MakePcxWithData(w, h, data);
            CIndexedImage image;
            ASSERT_TRUE(run.ReadPcx(pcx, image));
            Pixels expected = DecodePcxPixels(pcx);
            expected.resize(static_cast<size_t>(w) * h);
            ASSERT_EQ(image.pixels, expected) << "round " << round << (fast ? " fast" : " plain");
        }
    }
}

TEST_F(Dc6ConverterTest, FastAndPlainPathsWriteTheSameFiles) {
    struct Case {
        int w, h;
        Pixels px;
    };
    std::vector<Case> cases;
    for (auto [w, h] : {std::pair{1, 1}, {7, 3}, {17, 5}, {256, 2}, {300, 100}})
        cases.push_back({w, h, PatternPixels(w, h, static_cast<unsigned>(3 * w + h))});
    cases.push_back({33, 4, Pixels(33 * 4, 0xC5)}); // every pixel escaped
    cases.push_back({40, 3, Pixels(40 * 3, 0)});    // nothing but transparency
    Pixels stripes(64 * 2);
    for (size_t i = 0; i < stripes.size(); ++i)
        stripes[i] = (i / 9) % 2 ? 7 : 0; // stretches that cross word boundaries
    cases.push_back({64, 2, stripes});

    for (const Case& c : cases) {
        CIndexedImage image;
        image.width = c.w;
        image.height = c.h;
        image.pixels = c.px;
        // No transparency, the usual index, another one, and one no pixel can have.
        for (int key : {-1, 0, 7, 300}) {
            std::string files[2][2];
            for (int fast = 0; fast < 2; ++fast) {
                CDc6Converter run;
                run.SetFastPaths(fast == 1);
                run.SetTransparency(key >= 0, key);
                ASSERT_TRUE(run.BuildPcx(image, files[fast][0]));
                run.WriteDc6(files[fast][1], image);
            }
            const std::string where =
                std::to_string(c.w) + "x" + std::to_string(c.h) + " key " + std::to_string(key);
            EXPECT_EQ(files[0][0], files[1][0]) << "pcx " << where;
            EXPECT_EQ(files[0][1], files[1][1]) << "dc6 " << where;
            EXPECT_EQ(DecodePcxPixels(files[0][0]), c.px) << where;
        }
    }
}

TEST_F(Dc6ConverterTest, DamagedPcxIsRefusedWithoutOutput) {
    std::string good = MakePcx(2, 2, {1, 2, 3, 4});
    std::vector<std::string> bad = {good.substr(0, 11), good.substr(0, 127),
                                    good.substr(0, 131),                   // stream ends early
                                    MakePcxWithData(2, 1, Bytes({0xC2}))}; // run without value
    for (size_t i = 0; i < 4; ++i) {
        std::string b = good;
        b[i] ^= 0x40; // manufacturer, version, encoding, bits per pixel
        bad.push_back(b);
    }
    for (const std::string& file : bad) {
        Put("bad.pcx", file);
        std::string error;
        EXPECT_FALSE(ConvertPicture(At("bad.pcx"), &error));
        EXPECT_EQ(error, "Bad pcx file\n");
        EXPECT_EQ(ListFolder(m_dir.Path()).size(), 1u); // no output, no temporary left
    }
}

TEST_F(Dc6ConverterTest, GetPcxSizeLooksAtTheHeaderOnly) {
    Put("s.pcx", MakePcx(56, 84, Pixels(56 * 84, 1)));
    PcxSize size = GetPcxSize(m_dir.Path() + "\\s.pcx");
    EXPECT_EQ(size.width, 56);
    EXPECT_EQ(size.height, 84);
    Put("h.pcx", MakePcxWithData(799, 599, "").substr(0, 12));
    EXPECT_EQ(GetPcxSize(At("h.pcx")).width, 799);
    EXPECT_EQ(GetPcxSize(At("h.pcx")).height, 599);
    for (const std::string& bytes :
         {MakePcxWithData(800, 1, "").substr(0, 12), MakePcxWithData(1, 600, "").substr(0, 12),
          MakePcxWithData(1, 1, "").substr(0, 11), std::string()}) {
        Put("n.pcx", bytes);
        EXPECT_EQ(GetPcxSize(At("n.pcx")).width, 0);
        EXPECT_EQ(GetPcxSize(At("n.pcx")).height, 0);
    }
    EXPECT_EQ(GetPcxSize(At("missing.pcx")).width, 0);
}

TEST_F(Dc6ConverterTest, RefusesBadDc6Headers) {
    std::string one = MakeDc6({{1, 1, 0, 0, Bytes({0x01, 0x05, 0x80})}});
    std::string version = one, pointer = one, negative = one;
    PutU32(version, 0, 5);
    PutU32(pointer, 24, static_cast<uint32_t>(one.size() - 31));
    PutU32(negative, 28 + 8, 0xFFFFFFFFu);
    std::vector<TestFrame> thirteen(13, TestFrame{1, 1, 0, 0, Bytes({0x80})});
    const std::pair<std::string, std::string> cases[] = {
        {version, "GetFileInfoDC6: dc6 file is not version 6\n"},
        {MakeDc6(thirteen), "DC6 file has invalid number of blocks\n"},
        {MakeDc6({}), "DC6 file has invalid number of blocks\n"},
        {one.substr(0, 20), "DC6 file has invalid number of blocks\n"},
        {one.substr(0, 27), "Bad dc6 file\n"}, // frame pointer cut
        {pointer, "Bad dc6 file\n"},           // frame header past the end
        {negative, "Bad dc6 file\n"},
    };
    for (const auto& [bytes, error] : cases) {
        Put("d.dc6", bytes);
        EXPECT_EQ(Run("d.dc6"), 1);
        EXPECT_EQ(m_error, error);
        EXPECT_FALSE(FileExists(At("d.pcx")));
    }
}

TEST_F(Dc6ConverterTest, DecodesRealisticTailsAndOddRuns) {
    std::ostringstream output;
    m_run.SetOutput(&output);
    // Padding after the last row, a length reaching past the file, other end bytes.
    TestFrame padded{2, 2, 0, 0, Bytes({0x02, 1, 2, 0x80, 0x01, 3, 0x80}) + std::string(40, '\0')};
    padded.data += ' ';
    padded.lengthDelta = 500;
    padded.tail = "\0\0\0";
    Put("pad.dc6", MakeDc6({padded}, "\xCD\xCD\xCD\xCD"));
    ASSERT_EQ(Run("pad.dc6"), 0) << m_error;
    EXPECT_EQ(DecodePcxPixels(Get("pad.pcx")), Pixels({3, 0, 1, 2}));
    EXPECT_EQ(output.str(), "");

    // A copy run longer than the row leaves its rest to be read as control bytes; a skip stops
    // at the row's end; a zero byte is reported and passed over.
    Put("run.dc6",
        MakeDc6({{3, 2, 0, 0, Bytes({0x05, 1, 2, 3, 0x82, 0x09, 0x80, 0x00, 0x01, 7, 0x80})}}));
    ASSERT_EQ(Run("run.dc6"), 0);
    EXPECT_EQ(DecodePcxPixels(Get("run.pcx")), Pixels({7, 0, 0, 1, 2, 3}));
    EXPECT_EQ(output.str(), "found byte 00\n");

    // The header's end bytes right after a row end close the frame.
    Put("end.dc6", MakeDc6({{1, 2, 0, 0, Bytes({0x01, 5, 0x80, 0x01, 7, 0x80})}},
                           Bytes({0x01, 7, 0x80, 0xEE})));
    ASSERT_EQ(Run("end.dc6"), 0);
    EXPECT_EQ(DecodePcxPixels(Get("end.pcx")), Pixels({0, 5}));

    // A run cut by the end of the data ends the frame after what it had.
    Put("cut.dc6", MakeDc6({{3, 1, 0, 0, Bytes({0x03, 4, 5})}}));
    ASSERT_EQ(Run("cut.dc6", {"-transcol", "9"}), 0);
    EXPECT_EQ(DecodePcxPixels(Get("cut.pcx")), Pixels({4, 5, 9}));
}

TEST_F(Dc6ConverterTest, FrameModeWritesOnePcxPerFrame) {
    Put("m.dc6", MakeDc6({{2, 1, 0, 0, Bytes({0x02, 1, 2, 0x80})},
                          {1, 2, -3, 4, Bytes({0x01, 8, 0x80, 0x01, 9, 0x80})}}));
    ASSERT_EQ(Run("m.dc6"), 0) << m_error;
    EXPECT_EQ(DecodePcxPixels(Get("m0.pcx")), Pixels({1, 2}));
    EXPECT_EQ(DecodePcxPixels(Get("m1.pcx")), Pixels({9, 8}));
    EXPECT_FALSE(FileExists(At("m.pcx")));
}

TEST_F(Dc6ConverterTest, FrameModeBoundsAllFramesTogether) {
    // Twelve frames of 8192 x 8192 (each one within the limit) from a file of a few hundred
    // bytes: the output as a whole is too large.
    std::vector<TestFrame> frames(12, TestFrame{8192, 8192, 1, 0, Bytes({0x80})});
    std::string huge = MakeDc6(frames);
    ASSERT_LT(huge.size(), 600u);
    Put("huge.dc6", huge);
    EXPECT_EQ(Run("huge.dc6"), 1);
    EXPECT_EQ(m_error, "Not enough memory\n");
    EXPECT_FALSE(FileExists(At("huge0.pcx")));

    // One frame over the limit is refused as before; frames that fit together still convert.
    frames.assign(1, TestFrame{8193, 8192, 1, 0, Bytes({0x80})});
    Put("one.dc6", MakeDc6(frames));
    EXPECT_EQ(Run("one.dc6"), 1);
    EXPECT_EQ(m_error, "Not enough memory\n");
    m_run.SetMaxImagePixels(4);
    Put("fit.dc6", MakeDc6({{2, 1, 1, 0, Bytes({0x02, 1, 2, 0x80})},
                            {1, 2, 1, 0, Bytes({0x01, 3, 0x80, 0x01, 4, 0x80})}}));
    EXPECT_EQ(Run("fit.dc6"), 0) << m_error;
    EXPECT_EQ(DecodePcxPixels(Get("fit1.pcx")), Pixels({4, 3}));
}

TEST_F(Dc6ConverterTest, TileModeLayoutFollowsBlockWidths) {
    // A width that is a multiple of 256 cannot show where a band ends: all blocks join one band.
    Pixels px(512 * 300);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<uint8_t>(1 + (i % 512) / 256 + 2 * (i / 512 / 256)); // 1 2 / 3 4
    Put("w.pcx", MakePcx(512, 300, px));
    ASSERT_EQ(Run("w.pcx"), 0);
    RemoveFile(At("w.pcx"));
    ASSERT_EQ(Run("w.dc6"), 0);
    std::string pcx = Get("w.pcx");
    EXPECT_EQ(ReadU16(pcx, 8) + 1, 1024);
    EXPECT_EQ(ReadU16(pcx, 10) + 1, 256);
    Pixels joined = DecodePcxPixels(pcx);
    auto at = [&](int x, int y) { return joined[static_cast<size_t>(y) * 1024 + x]; };
    EXPECT_EQ(at(0, 0), 1);
    EXPECT_EQ(at(256, 255), 2);
    EXPECT_EQ(at(512, 211), 0);
    EXPECT_EQ(at(512, 212), 3);
    EXPECT_EQ(at(1023, 255), 4);

    // A frame reaching above the picture keeps only what falls inside.
    Put("c.dc6", MakeDc6({{256, 1, 0, 0, Bytes({0x01, 5, 0x80})},
                          {2, 3, 0, 0, Bytes({0x02, 6, 7, 0x80, 0x01, 8, 0x80, 0x01, 9, 0x80})}}));
    ASSERT_EQ(Run("c.dc6"), 0) << m_error;
    Pixels clipped = DecodePcxPixels(Get("c.pcx"));
    ASSERT_EQ(clipped.size(), 258u);
    EXPECT_EQ(clipped[0], 5);
    EXPECT_EQ(clipped[256], 6);
    EXPECT_EQ(clipped[257], 7);
    // Only a width of exactly 256 continues a band; the picture is as wide as the last band.
    Put("n.dc6", MakeDc6({{300, 1, 0, 0, Bytes({0x02, 1, 2, 0x80})},
                          {2, 1, 0, 0, Bytes({0x02, 3, 4, 0x80})}}));
    ASSERT_EQ(Run("n.dc6"), 0) << m_error;
    EXPECT_EQ(DecodePcxPixels(Get("n.pcx")), Pixels({1, 2, 3, 4}));
}

TEST_F(Dc6ConverterTest, DirectionComesFromTheLastCharacter) {
    std::string dc6 = MakeDc6({{1, 1, 0, 0, Bytes({0x01, 4, 0x80})}});
    std::string pcx = MakePcx(1, 1, {4});
    Put("a.dc6", dc6);
    Put("b.DC6", dc6);
    Put("c.bmp", pcx);
    Put("d.pcx", pcx);
    for (const char* name : {"a.dc6", "b.DC6", "c.bmp", "d.pcx"})
        EXPECT_EQ(Run(name), 0) << name << ": " << m_error;
    EXPECT_TRUE(FileExists(At("a.pcx")));
    EXPECT_TRUE(FileExists(At("b.pcx")));
    EXPECT_EQ(Get("c.dc6"), Get("d.dc6"));
    EXPECT_EQ(FrameData(Get("c.dc6")).at(0), Bytes({0x01, 4, 0x80}));
}

// "-out" names the output in both directions, leaving the file beside the input alone; without
// it that file is replaced by a rename, so another name of the old file keeps the old bytes.
TEST_F(Dc6ConverterTest, OutNamesTheOutputAndTheFileBesideIsReplacedByARename) {
    struct Case {
        std::string input, bytes, beside;
    };
    const Case cases[] = {{"a.pcx", MakePcx(2, 1, {4, 5}), "a.dc6"},
                          {"b.dc6", MakeDc6({{2, 1, 0, 0, Bytes({0x02, 4, 5, 0x80})}}), "b.pcx"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        Put(c.input, c.bytes);
        Put(c.beside, "old");
        std::filesystem::create_hard_link(At(c.beside), At(c.beside + ".link"));
        ASSERT_EQ(Run(c.input), 0) << m_error;
        const std::string converted = Get(c.beside);
        EXPECT_NE(converted, "old");
        EXPECT_EQ(Get(c.beside + ".link"), "old");

        Put(c.beside, "old");
        ASSERT_EQ(Run(c.input, {"-out", At("chosen.out")}), 0) << m_error;
        EXPECT_EQ(Get("chosen.out"), converted);
        EXPECT_EQ(Get(c.beside), "old");
    }
}

TEST_F(Dc6ConverterTest, RoundTripKeepsEveryPixel) {
    for (auto [w, h] : {std::pair{1, 1}, {56, 84}, {255, 257}, {300, 100}, {799, 599}}) {
        for (bool transparent : {true, false}) {
            Pixels px = PatternPixels(w, h, static_cast<unsigned>(w + h));
            Put("r.pcx", MakePcx(w, h, px));
            std::vector<std::string> options;
            if (transparent)
                options = {"-transcol", "0"};
            ASSERT_EQ(Run("r.pcx", options), 0) << m_error;
            RemoveFile(At("r.pcx"));
            ASSERT_EQ(Run("r.dc6"), 0) << m_error;
            EXPECT_TRUE(DecodePcxPixels(Get("r.pcx")) == px) << w << "x" << h;
        }
    }
}

TEST_F(Dc6ConverterTest, ConvertPictureWritesBesideItsBackslashPath) {
    ASSERT_TRUE(MakeFolder(At("overrides")));
    Put("overrides/invx.pcx", MakePcx(2, 1, {0, 3}));
    std::string error = "stale";
    ASSERT_TRUE(ConvertPicture(m_dir.Path() + "\\overrides\\invx.pcx", &error));
    EXPECT_EQ(error, "");
    EXPECT_EQ(FrameData(Get("overrides/invx.dc6")).at(0), Bytes({0x81, 0x01, 3, 0x80}));

    EXPECT_FALSE(ConvertPicture(At("nothere.pcx"), &error));
    EXPECT_EQ(error, "File not found " + At("nothere.pcx") + "\n");
    EXPECT_FALSE(ConvertPicture(At("overrides"), &error)); // a folder is no picture
    EXPECT_EQ(error, "File not found " + At("overrides") + "\n");
    // An output that cannot be created is a failure, not a silent success.
    Put("overrides/invy.pcx", MakePcx(1, 1, {3}));
    ASSERT_TRUE(MakeFolder(At("overrides/invy.dc6")));
    EXPECT_FALSE(ConvertPicture(At("overrides/invy.pcx"), &error));
    EXPECT_EQ(error, "Cannot write " + At("overrides/invy") + ".dc6\n");
}

TEST(Dc6ConverterRoutines, StripExtensionCutsOnlyTheLastComponent) {
    const std::pair<std::string, std::string> names[] = {{"a\\b.c\\item.pcx", "a\\b.c\\item"},
                                                         {"a\\b.c\\item", "a\\b.c\\item"},
                                                         {"dir.v2/file", "dir.v2/file"},
                                                         {"x.tar.pcx", "x.tar"},
                                                         {".pcx", ".pcx"},
                                                         {"a\\.pcx", "a\\"}};
    for (auto [in, out] : names) {
        CDc6Converter::StripExtension(in);
        EXPECT_EQ(in, out);
    }
}

} // namespace
