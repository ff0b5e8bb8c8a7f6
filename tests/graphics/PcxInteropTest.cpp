#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

#include "PictureFixtures.h"
#include "TempFolder.h"
#include "graphics/Dc6Converter.h"

namespace {

// Runs a shell command in `folder`; its exit status, or -1 when it did not end normally.
int Shell(const std::string& folder, const std::string& command) {
    int status = std::system(("cd '" + folder + "' && " + command).c_str());
    return (status != -1 && WIFEXITED(status)) ? WEXITSTATUS(status) : -1;
}

bool OnPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// Our PCX files must open in ordinary image programs with the right size and colours.
TEST(PcxInterop, ImageMagickReadsOurPcxWithTheRightColours) {
    if (!OnPath("convert") || !OnPath("identify"))
        GTEST_SKIP() << "ImageMagick is not installed";
    CTempFolder dir;
    // An odd width (lines are not rounded up) and indices from 0xC0 up (escaped).
    const int w = 37, h = 5;
    Pixels px(w * h);
    for (size_t i = 0; i < px.size(); ++i)
        px[i] = static_cast<uint8_t>(i * 7 + 150);
    WriteTextFile(dir.File("pic.pcx"), MakePcx(w, h, px));
    CDc6Converter run;
    ASSERT_EQ(run.Dc6ConMain({"dc6con", dir.File("pic.pcx")}), 0) << run.Error();
    ASSERT_EQ(run.Dc6ConMain({"dc6con", dir.File("pic.dc6")}), 0) << run.Error();

    ASSERT_EQ(Shell(dir.Path(), "identify -format '%w %h' pic.pcx > size.txt"), 0);
    EXPECT_EQ(ReadTextFile(dir.File("size.txt")), "37 5");
    ASSERT_EQ(Shell(dir.Path(), "convert pic.pcx -depth 8 rgb:pic.rgb"), 0);
    std::string rgb = ReadTextFile(dir.File("pic.rgb"));
    ASSERT_EQ(rgb.size(), px.size() * 3);
    for (size_t i = 0; i < px.size(); ++i) {
        // The built-in palette is stored blue, green, red.
        const uint8_t* bgr = kBuiltinPalette.data() + 3 * px[i];
        ASSERT_EQ(static_cast<uint8_t>(rgb[3 * i]), bgr[2]) << "pixel " << i;
        ASSERT_EQ(static_cast<uint8_t>(rgb[3 * i + 1]), bgr[1]) << "pixel " << i;
        ASSERT_EQ(static_cast<uint8_t>(rgb[3 * i + 2]), bgr[0]) << "pixel " << i;
    }
}

// The program turns an error into status 1 with the text on standard error.
TEST(PcxInterop, Dc6conReportsErrorsByExitStatus) {
    std::filesystem::path program =
        std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "dc6con";
    if (!std::filesystem::exists(program))
        GTEST_SKIP() << "dc6con is not built beside the tests";
    CTempFolder dir;
    const std::string dc6con = "'" + program.string() + "'";
    EXPECT_EQ(Shell(dir.Path(), dc6con + " none.pcx 2>err.txt"), 1);
    EXPECT_EQ(ReadTextFile(dir.File("err.txt")), "File not found none.pcx\n");

    WriteTextFile(dir.File("ok.pcx"), MakePcx(1, 1, {2}));
    EXPECT_EQ(Shell(dir.Path(), dc6con + " ok.pcx -transcol 0 2>err.txt"), 0);
    EXPECT_EQ(ReadTextFile(dir.File("err.txt")), "");
    EXPECT_NE(ReadTextFile(dir.File("ok.dc6")), "<missing>");
}

} // namespace
