#include "platform/ProcessRunner.h"

#include "MachineChecks.h"
#include "TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/stat.h>

namespace {

// Runs with PATH set to one folder, the old PATH back afterwards.
class CPathForTest {
public:
    explicit CPathForTest(const std::string& folder) {
        const char* old = std::getenv("PATH");
        m_hadPath = old != nullptr;
        m_old = old ? old : "";
        ::setenv("PATH", folder.c_str(), 1);
    }
    ~CPathForTest() {
        if (m_hadPath)
            ::setenv("PATH", m_old.c_str(), 1);
        else
            ::unsetenv("PATH");
    }

private:
    bool m_hadPath = false;
    std::string m_old;
};

TEST(ProcessRunner, WindowsProgramsGoThroughWineWhateverTheirModeAndScriptsRunDirectly) {
    CTempFolder dir;
    if (!CanRunScriptsIn(dir.Path()))
        GTEST_SKIP() << "needs /bin/sh and a temporary folder that allows running programs";
    std::filesystem::create_directory(dir.File("bin"));
    std::filesystem::create_directory(dir.File("nowine"));
    // A wine that tells what it was asked to start.
    WriteTextFile(dir.File("bin/wine"),
                  "#!/bin/sh\nprintf '%s|' \"$@\" > '" + dir.File("wine-ran.txt") + "'\n");
    ::chmod(dir.File("bin/wine").c_str(), 0755);
    const std::string windows = "MZ\x90 a Windows program";
    const std::string script = "#!/bin/sh\nprintf '%s|' \"$@\" > '" + dir.File("ran.txt") + "'\n";

    struct Case {
        const char* name;
        std::string bytes;
        mode_t mode;
        const char* pathFolder;
        ProcessResult::Start start;
        std::string wineRan; // what wine was given, "" when it was not used
        std::string ran;     // what the program itself was given
    };
    const std::string game = dir.File("Diablo II.exe");
    const Case cases[] = {
        // NTFS and FAT mounts mark every file executable.
        {"executable Windows program", windows, 0755, "bin", ProcessResult::Start::Started,
         game + "|-txt|", ""},
        {"Windows program", windows, 0644, "bin", ProcessResult::Start::Started, game + "|-txt|",
         ""},
        {"script", script, 0755, "bin", ProcessResult::Start::Started, "", "-txt|"},
        {"Windows program without wine", windows, 0755, "nowine", ProcessResult::Start::NoWine, "",
         ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(dir.File("wine-ran.txt"));
        std::filesystem::remove(dir.File("ran.txt"));
        WriteTextFile(game, c.bytes);
        ::chmod(game.c_str(), c.mode);
        CPathForTest path(dir.File(c.pathFolder));
        EXPECT_EQ(RunProcess("\"" + game + "\" -txt").start, c.start);
        EXPECT_EQ(std::filesystem::exists(dir.File("wine-ran.txt"))
                      ? ReadTextFile(dir.File("wine-ran.txt"))
                      : "",
                  c.wineRan);
        EXPECT_EQ(std::filesystem::exists(dir.File("ran.txt")) ? ReadTextFile(dir.File("ran.txt"))
                                                               : "",
                  c.ran);
    }
}

// The caller judges the run by how it ended: whether it started at all, its exit status, and
// whether a signal ended it.
TEST(ProcessRunner, TellsWhetherTheProgramStartedAndHowItEnded) {
    CTempFolder dir;
    if (!CanRunScriptsIn(dir.Path()))
        GTEST_SKIP() << "needs /bin/sh and a temporary folder that allows running programs";
    struct Case {
        const char* name;
        const char* script; // nullptr: no file at all
        ProcessResult::Start start;
        bool crashed;
        int exitCode;
        bool succeeded;
    };
    const Case cases[] = {
        {"exits with 0", "exit 0", ProcessResult::Start::Started, false, 0, true},
        {"exits with an error status", "exit 3", ProcessResult::Start::Started, false, 3, false},
        {"killed by a signal", "kill -9 $$", ProcessResult::Start::Started, true, 0, false},
        {"missing", nullptr, ProcessResult::Start::NotFound, false, 0, false},
    };
    const std::string game = dir.File("Diablo II.exe");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::filesystem::remove(game);
        if (c.script != nullptr) {
            WriteTextFile(game, std::string("#!/bin/sh\n") + c.script + "\n");
            ::chmod(game.c_str(), 0755);
        }
        const ProcessResult result = RunProcess("\"" + game + "\" -txt");
        EXPECT_EQ(result.start, c.start);
        EXPECT_EQ(result.crashed, c.crashed);
        EXPECT_EQ(result.exitCode, c.exitCode);
        EXPECT_EQ(result.Succeeded(), c.succeeded);
    }
}

} // namespace
