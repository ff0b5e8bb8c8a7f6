#pragma once

#include <string>

// What some tests need of the machine beyond the program itself. A test that cannot run without
// it skips with GTEST_SKIP() and says which need was not met.

// True when a shell script written into `folder` and marked executable runs (there is a
// /bin/sh and the folder is not mounted noexec).
bool CanRunScriptsIn(const std::string& folder);
