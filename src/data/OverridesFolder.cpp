#include "data/OverridesFolder.h"

#include "platform/AsciiText.h"
#include "platform/FileSystem.h"

#include <algorithm>

void COverridesFolder::ListFiles(const std::string& folder, std::vector<std::string>& list) {
    for (const FolderEntry& entry : ListFolder(folder)) {
        std::string path = folder + "\\" + entry.name;
        if (entry.isFolder)
            ListFiles(path, list);
        else
            list.push_back(path);
    }
}

std::string COverridesFolder::ArchivedName(const std::string& folder, const std::string& path) {
    std::string rel = path.size() > folder.size() + 1 ? path.substr(folder.size() + 1) : "";
    std::replace(rel.begin(), rel.end(), '!', '\\');
    return rel;
}

int COverridesFolder::Clear(const std::string& folder) {
    std::vector<std::string> files;
    ListFiles(folder, files);
    int deleted = 0;
    for (const std::string& path : files) {
        if (AsciiUpperCopy(path).find("NOTES.TXT") != std::string::npos)
            continue;
        if (RemoveFile(path))
            ++deleted;
    }
    return deleted;
}
