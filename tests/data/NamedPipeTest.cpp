#include "data/OverridesFolder.h"
#include "graphics/Dc6Converter.h"
#include "platform/FileSystem.h"

#include "TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

// Runs `call` in a child process and waits for it at most `limit`. Result: the child's exit
// status, or -1 when it had to be killed because it was still waiting.
int RunWithTimeLimit(const std::function<bool()>& call, std::chrono::seconds limit) {
    pid_t child = ::fork();
    if (child == 0)
        ::_exit(call() ? 0 : 1);
    const auto end = std::chrono::steady_clock::now() + limit;
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > end) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return -1;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

// A named pipe where a file is expected has nobody writing to it: opening it for reading the
// usual way would wait for ever.
TEST(NamedPipe, EveryReadRefusesItAtOnce) {
    CTempFolder dir;
    const std::string pipe = dir.File("overrides/Armor.pcx");
    ASSERT_TRUE(MakeFolder(dir.File("overrides")));
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);

    struct Case {
        const char* what;
        std::function<bool()> call; // true when the pipe was refused as it should be
    };
    const Case cases[] = {
        {"read a whole file",
         [&] {
             std::string bytes = "old";
             return !ReadWholeFile(pipe, bytes) && bytes.empty();
         }},
        {"copy a file",
         [&] {
             return !CopyFileTo(pipe, dir.File("copy.bin"), false) &&
                    !FileExists(dir.File("copy.bin"));
         }},
        {"convert a picture",
         [&] {
             std::string error;
             return !ConvertPicture(pipe, &error) && error == "File not found " + pipe + "\n" &&
                    GetPcxSize(pipe).width == 0;
         }},
        {"walk the overrides folder",
         [&] {
             std::vector<std::string> files;
             std::vector<COverridesFolder::Skipped> skipped;
             COverridesFolder::ListFiles(dir.File("overrides"), files, &skipped);
             return files.empty() && skipped.size() == 1 && skipped[0].path == pipe &&
                    skipped[0].reason == "it is not a regular file";
         }},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RunWithTimeLimit(c.call, std::chrono::seconds(10)), 0) << c.what;
}
