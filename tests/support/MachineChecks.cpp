#include "MachineChecks.h"

#include "TempFolder.h"

#include <cstdio>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

bool CanRunScriptsIn(const std::string& folder) {
    const std::string script = folder + "/can-run-scripts.sh";
    WriteTextFile(script, "#!/bin/sh\nexit 7\n");
    bool runs = false;
    if (::chmod(script.c_str(), 0755) == 0) {
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl(script.c_str(), script.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        runs = child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
               WEXITSTATUS(status) == 7;
    }
    std::remove(script.c_str());
    return runs;
}
