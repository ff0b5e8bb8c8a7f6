#pragma once

#include <string>
#include <vector>

// The overrides folder ("overrides" in the working folder): files that every save adds to the
// archive besides the nine tables. A file's name encodes its path in the game's data tree with
// "!" for "\" ("data!global!excel!Levels.bin"); "Notes.txt" at the top is the user's own.
class COverridesFolder {
public:
    // Appends the path (folder + "\" + name, recursively) of every file under `folder`, in
    // sorted order so that saves are repeatable.
    static void ListFiles(const std::string& folder, std::vector<std::string>& list);

    // The name in the archive for a file listed under `folder`: its path below the folder with
    // every "!" turned into "\".
    static std::string ArchivedName(const std::string& folder, const std::string& path);

    // Deletes every file under `folder` except those whose path holds "NOTES.TXT" (any case);
    // folders stay. Returns the number of files deleted.
    static int Clear(const std::string& folder);
};
