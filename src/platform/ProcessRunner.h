#pragma once

#include <functional>
#include <string>

// Starts a command line as a child process in the current directory and waits for its end.
// The child's standard output is read and thrown away while it runs, so a talkative child can
// never block on a full pipe; it gets no standard input or error.
//
// The command line is a quoted program path followed by its arguments, as on Windows
// ("\"C:\Games\Diablo II\Diablo II.exe\" -txt"). A Windows program (its file begins with "MZ")
// is started through "wine" when that is on the PATH, even when it is marked executable; so is a
// file that is not executable. Other executables (scripts, native programs) are started directly.
//
// `whileWaiting` is called every few milliseconds during the wait (the window uses it to stay
// painted).
struct ProcessResult {
    enum class Start {
        Started,
        NotFound,      // no file at the program's path
        NoWine,        // a Windows program (or a file not marked executable) and no "wine"
        FailedToStart, // the system refused to start it
    };
    Start start = Start::FailedToStart;
    bool crashed = false; // ended by a signal rather than by exiting
    int exitCode = 0;     // its exit status when it exited

    bool Started() const { return start == Start::Started; }
    // Started, and exited by itself with status 0.
    bool Succeeded() const { return Started() && !crashed && exitCode == 0; }
};
ProcessResult RunProcess(const std::string& commandLine,
                         const std::function<void()>& whileWaiting = {});

// The program path and the arguments of a command line: a leading double-quoted path or the
// first word, then the words after it.
struct CommandLineParts {
    std::string program;
    std::string arguments;
};
CommandLineParts SplitCommandLine(const std::string& commandLine);
