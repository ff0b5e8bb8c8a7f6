#pragma once

#include <string>
#include <string_view>

// A unique name for a temporary file beside `path` (same folder, so a rename is atomic):
// `path` + ".tarvane-tmp-<16 random hex digits>". The random part does not depend on the process
// id, so a later process that happens to get the id of a killed one never meets its files.
std::string TemporaryPathBeside(const std::string& path);

// True for the last part of a name that TemporaryPathBeside makes (also for the older
// ".tarvane-<process>-<count>.tmp" form). Walks of the user's folders leave such files out.
bool IsTemporaryName(std::string_view fileName);

// Removes the temporary files beside `path` (its links resolved) that an update killed part way
// left behind. Only done while this process holds the file's lock (CFileLock), which every
// update holds while it writes them: then no other instance is writing them. When another
// program holds the lock nothing is removed. Returns how many were removed.
int RemoveStaleTemporaryFiles(const std::string& path);
