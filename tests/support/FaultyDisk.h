#pragma once

#include <functional>
#include <string>

// A disk that fails on demand, for the program and StormLib alike: this file defines the C
// library's open, write, fsync and fchown in the test executable, where they come first. While a
// CFaultyDisk lives, each such call is shown to its rule with the path of its file; an errno value
// other than 0 makes the call fail with it. Only opens that may create a file are shown.
class CFaultyDisk {
public:
    enum class Call { Create, Write, Sync, Chown };
    using Rule = std::function<int(Call call, const std::string& path)>;

    explicit CFaultyDisk(Rule rule);
    ~CFaultyDisk();
    CFaultyDisk(const CFaultyDisk&) = delete;
    CFaultyDisk& operator=(const CFaultyDisk&) = delete;
};
