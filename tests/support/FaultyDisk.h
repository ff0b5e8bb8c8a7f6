#pragma once

#include <functional>
#include <string>

// A disk that fails on demand, for the program and StormLib alike: while it lives, each write,
// fsync and fchown is shown to its rule with its file's path, and an errno value other than 0
// fails the call with it (FaultyDisk.cpp defines them again in the test executable).
struct CFaultyDisk {
    enum class Call { Write, Sync, Chown };
    explicit CFaultyDisk(std::function<int(Call, const std::string&)> rule);
    ~CFaultyDisk();
    std::function<int(Call, const std::string&)> m_rule;
};
