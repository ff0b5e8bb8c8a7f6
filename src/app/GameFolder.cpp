#include "app/GameFolder.h"

#include "platform/FileSystem.h"

#include <filesystem>
#include <system_error>

namespace {

bool EqualIgnoringAsciiCase(const std::string& a, const char* b) {
    std::string lower = a;
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return lower == b;
}

} // namespace

bool CGameFolder::IsOwnArchive(const std::string& gameFolder, const std::string& path) {
    if (gameFolder.empty())
        return false;
    const std::filesystem::path file(NativePath(path));
    const std::string name = file.filename().string();
    if (!EqualIgnoringAsciiCase(name, "d2data.mpq") && !EqualIgnoringAsciiCase(name, "d2exp.mpq"))
        return false;
    std::error_code error;
    std::filesystem::path parent = file.parent_path();
    if (parent.empty())
        parent = ".";
    return std::filesystem::equivalent(parent, NativePath(gameFolder), error) && !error;
}

bool CGameFolder::HoldsGameData(const std::string& folder) {
    return FindFileIgnoringCase(folder, "d2data.mpq").has_value();
}

std::string CGameFolder::OwnArchiveWarning(const std::string& path) {
    return NativePath(path) +
           " is one of the game's own archives. Save writes into it, and Backup covers only "
           "Patch_D2.mpq, so Restore cannot undo that. Go on ?";
}

std::string CGameFolder::NoGameDataWarning(const std::string& folder) {
    return NativePath(folder) +
           " holds no d2data.mpq, so it does not look like a Diablo II folder. It is set all the "
           "same; File > Open needs the game's archives there.";
}
