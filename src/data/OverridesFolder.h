#pragma once

#include <string>
#include <vector>

// The overrides folder ("overrides" in the working folder): files that every save adds to the
// archive besides the nine tables. A file's name encodes its path in the game's data tree with
// "!" for "\" ("data!global!excel!Levels.bin"); "Notes.txt" at the top is the user's own.
class COverridesFolder {
public:
    // An entry a walk did not take, with the reason ("it is a symbolic link").
    struct Skipped {
        std::string path; // the native path, exactly as the system names it
        std::string reason;
    };

    // Appends the path (folder + "\" + name, recursively) of every regular file under `folder`,
    // in sorted order so that saves are repeatable. Links are never followed: they, pipes,
    // sockets, devices and names holding a "\" (which a path of ours would take for a separator)
    // are left out and appended to `skipped`. Our own temporary files are left out silently.
    static void ListFiles(const std::string& folder, std::vector<std::string>& list,
                          std::vector<Skipped>* skipped = nullptr);

    // The name in the archive for a file listed under `folder`: its path below the folder with
    // every "!" turned into "\".
    static std::string ArchivedName(const std::string& folder, const std::string& path);

    // False for an archived name that could land outside the game's data folders: a ".."
    // component (or any made of dots and spaces only), an empty one (a leading, trailing or
    // doubled "\"), or a ":" (a drive letter).
    static bool IsPlainArchivedName(const std::string& name);

    // Deletes every regular file under `folder` except those whose path below the folder holds
    // "NOTES.TXT" (any case); folders stay, links are neither followed nor deleted. Our own
    // temporary files are deleted too. What is left alone for its type or name is appended to
    // `skipped`. Returns the number of files deleted.
    static int Clear(const std::string& folder, std::vector<Skipped>* skipped = nullptr);
};
