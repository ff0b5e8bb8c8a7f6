#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

class QMenu;

// The archives opened last, newest first, kept in the program's own section of the settings
// file as "Recent1".."Recent6".
class CRecentArchives {
public:
    static constexpr std::size_t kMaxCount = 6;
    static constexpr const char* kSection = "Tarvane";

    explicit CRecentArchives(std::string settingsPath);

    std::vector<std::string> List() const;
    // Puts `path` first (once). False when the settings file could not be written.
    bool Add(const std::string& path);

    // Adds File > Recent to `file`: filled from the settings file `settingsPath()` names each
    // time it is shown (another instance may have opened archives since), one entry a recent
    // archive, which calls `open` with its path.
    static void AddMenu(QMenu* file, std::function<std::string()> settingsPath,
                        std::function<void(const std::string&)> open);

private:
    std::string m_strSettingsPath;
};
