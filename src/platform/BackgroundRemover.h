#pragma once

#include <string>

// Removes a file on a background thread. Freeing a large file can take a long time on disks
// that trim freed blocks at once; nothing waits for it but the end of the process.
void RemoveFileInBackground(const std::string& path);
// Waits until every file handed to RemoveFileInBackground is gone.
void WaitForBackgroundRemovals();
