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

// A named pipe where a file is expected has nobody writing to it: opening it for reading the
// usual way waits for ever. Each call runs in a child that is killed if it still waits.
TEST(NamedPipe, EveryReadRefusesItAtOnce) {
    CTempFolder dir;
    const std::string pipe = dir.File("overrides/Armor.pcx");
    ASSERT_TRUE(MakeFolder(dir.File("overrides")));
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0644), 0);
    std::string bytes, error;
    std::vector<std::string> files;
    std::vector<COverridesFolder::Skipped> skipped;
    const std::pair<const char*, std::function<bool()>> cases[] = {
        {"read", [&] { return !ReadWholeFile(pipe, bytes); }},
        {"copy", [&] { return !CopyFileTo(pipe, dir.File("copy"), false); }},
        {"convert",
         [&] { return !ConvertPicture(pipe, &error) && error == "File not found " + pipe + "\n"; }},
        {"walk",
         [&] {
             COverridesFolder::ListFiles(dir.File("overrides"), files, &skipped);
             return files.empty() && skipped.size() == 1 && skipped[0].path == pipe &&
                    skipped[0].reason == "it is not a regular file";
         }},
    };
    for (const auto& [what, call] : cases) {
        pid_t child = ::fork();
        if (child == 0)
            ::_exit(call() ? 0 : 1);
        int status = 0;
        pid_t done = 0;
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while ((done = ::waitpid(child, &status, WNOHANG)) == 0 &&
               std::chrono::steady_clock::now() < end)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        if (done == 0) { // still waiting on the pipe
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
        }
        EXPECT_TRUE(done == child && WIFEXITED(status) && WEXITSTATUS(status) == 0) << what;
    }
    EXPECT_FALSE(FileExists(dir.File("copy")));
}
