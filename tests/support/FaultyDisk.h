#pragma once

#include <functional>
#include <string>

// A disk that fails on demand, for the program and StormLib alike: the C library's write, fsync
// and fchown are defined again in the test executable, which comes first. While a CFaultyDisk
// lives, each such call is shown to its rule with its file's path; an errno value other than 0
// fails the call with it.
struct CFaultyDisk {
    enum class Call { Write, Sync, Chown };
    explicit CFaultyDisk(std::function<int(Call, const std::string&)> rule);
    ~CFaultyDisk();
    std::function<int(Call, const std::string&)> m_rule;
};
