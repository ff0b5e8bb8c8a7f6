#include "app/RecentArchives.h"

#include "platform/FileSystem.h"
#include "platform/ProfileFile.h"

#include <QAction>
#include <QMenu>

#include <algorithm>
#include <utility>

namespace {

std::string Key(std::size_t index) {
    return "Recent" + std::to_string(index + 1);
}

} // namespace

CRecentArchives::CRecentArchives(std::string settingsPath)
    : m_strSettingsPath(std::move(settingsPath)) {}

std::vector<std::string> CRecentArchives::List() const {
    std::vector<std::string> paths;
    for (std::size_t i = 0; i < kMaxCount; ++i) {
        std::string path = CProfileFile::ReadString(m_strSettingsPath, kSection, Key(i), "");
        // A hand-edited file may name one twice.
        if (!path.empty() && std::find(paths.begin(), paths.end(), path) == paths.end())
            paths.push_back(std::move(path));
    }
    return paths;
}

bool CRecentArchives::Add(const std::string& path) {
    // The settings file cannot hold a line break, and a longer value would be read back cut
    // short, naming another file.
    if (path.empty() || path.size() > CProfileFile::kMaxValueLength ||
        path.find_first_of("\r\n") != std::string::npos)
        return true;
    std::vector<std::string> paths = List();
    paths.erase(std::remove(paths.begin(), paths.end(), path), paths.end());
    paths.insert(paths.begin(), path);
    paths.resize(std::min(paths.size(), kMaxCount));
    bool ok = true;
    for (std::size_t i = 0; i < kMaxCount && ok; ++i)
        ok = CProfileFile::WriteString(m_strSettingsPath, kSection, Key(i),
                                       i < paths.size() ? paths[i] : "");
    return ok;
}

void CRecentArchives::AddMenu(QMenu* file, std::function<std::string()> settingsPath,
                              std::function<void(const std::string&)> open) {
    QMenu* menu = file->addMenu("Rece&nt");
    auto fill = [menu, settingsPath, open] {
        menu->clear();
        const std::vector<std::string> paths = CRecentArchives(settingsPath()).List();
        for (std::size_t i = 0; i < paths.size(); ++i) {
            const std::string native = NativePath(paths[i]);
            QString caption =
                QString::fromLocal8Bit(native.data(), static_cast<qsizetype>(native.size()));
            QAction* action =
                menu->addAction('&' + QString::number(i + 1) + ' ' + caption.replace('&', "&&"));
            const std::string path = paths[i];
            QObject::connect(action, &QAction::triggered, menu, [open, path] { open(path); });
        }
        if (paths.empty())
            menu->addAction("No archive opened yet")->setEnabled(false);
    };
    // Filled now as well: some platforms show no empty submenu, so it would never be shown.
    fill();
    QObject::connect(menu, &QMenu::aboutToShow, menu, fill);
}
