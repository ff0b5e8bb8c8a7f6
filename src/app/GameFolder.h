#pragma once

#include <string>

// What the program knows about the game folder's own files.
class CGameFolder {
public:
    // True when `path` is the game's own "d2data.mpq" or "d2exp.mpq" (any letter case) in
    // `gameFolder`, however either is spelt (links, "." and ".." included).
    static bool IsOwnArchive(const std::string& gameFolder, const std::string& path);
    // True when `folder` holds a "d2data.mpq" (any letter case).
    static bool HoldsGameData(const std::string& folder);

    // The warning before writing into one of the game's own archives (an OK/Cancel question).
    static std::string OwnArchiveWarning(const std::string& path);
    // The warning for a game folder without "d2data.mpq".
    static std::string NoGameDataWarning(const std::string& folder);
};
