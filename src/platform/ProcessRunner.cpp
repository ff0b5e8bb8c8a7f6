#include "platform/ProcessRunner.h"

#include "platform/FileSystem.h"

#include <QProcess>
#include <QStandardPaths>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// True when the file starts with "MZ", as every Windows program does. The file is opened without
// blocking and checked to be an ordinary file before anything is read: a pipe would wait forever.
bool IsWindowsProgram(const std::string& nativePath) {
    const int fd = ::open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return false;
    struct stat st;
    char magic[2] = {};
    const bool windows = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode) &&
                         ::read(fd, magic, sizeof magic) == 2 && magic[0] == 'M' && magic[1] == 'Z';
    ::close(fd);
    return windows;
}

} // namespace

CommandLineParts SplitCommandLine(const std::string& commandLine) {
    CommandLineParts parts;
    size_t pos = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        size_t close = commandLine.find('"', 1);
        if (close == std::string::npos)
            close = commandLine.size();
        parts.program = commandLine.substr(1, close - 1);
        pos = close + 1;
    } else {
        pos = commandLine.find(' ');
        if (pos == std::string::npos)
            pos = commandLine.size();
        parts.program = commandLine.substr(0, pos);
    }
    if (pos < commandLine.size()) {
        size_t start = commandLine.find_first_not_of(' ', pos);
        if (start != std::string::npos)
            parts.arguments = commandLine.substr(start);
    }
    return parts;
}

ProcessResult RunProcess(const std::string& commandLine,
                         const std::function<void()>& whileWaiting) {
    ProcessResult result;
    CommandLineParts parts = SplitCommandLine(commandLine);
    const std::string program = NativePath(parts.program);
    QStringList arguments = QProcess::splitCommand(QString::fromLocal8Bit(parts.arguments.c_str()));

    // NTFS and FAT mounts mark every file executable, so the mark cannot tell a Windows program
    // from one of ours: its first bytes can.
    QString executable;
    if (!IsWindowsProgram(program) && ::access(program.c_str(), X_OK) == 0 && !IsFolder(program)) {
        executable = QString::fromLocal8Bit(program.c_str());
    } else {
        // A Windows program on another system: let wine start it.
        if (!FileExists(program)) {
            result.start = ProcessResult::Start::NotFound;
            return result;
        }
        executable = QStandardPaths::findExecutable("wine");
        if (executable.isEmpty()) {
            result.start = ProcessResult::Start::NoWine;
            return result;
        }
        arguments.prepend(QString::fromLocal8Bit(program.c_str()));
    }

    QProcess child;
    child.setProgram(executable);
    child.setArguments(arguments);
    child.setStandardInputFile(QProcess::nullDevice());
    child.setStandardErrorFile(QProcess::nullDevice());
    child.setProcessChannelMode(QProcess::SeparateChannels);
    child.start();
    if (!child.waitForStarted(-1))
        return result;
    result.start = ProcessResult::Start::Started;
    // No time limit: the user plays a game in there. Drain the output as it comes.
    while (!child.waitForFinished(50)) {
        if (child.state() == QProcess::NotRunning)
            break;
        child.readAllStandardOutput();
        if (whileWaiting)
            whileWaiting();
    }
    child.readAllStandardOutput();
    result.crashed = child.exitStatus() == QProcess::CrashExit;
    result.exitCode = result.crashed ? 0 : child.exitCode();
    return result;
}
