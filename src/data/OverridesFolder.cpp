#include "data/OverridesFolder.h"

#include "platform/AsciiText.h"
#include "platform/FileSystem.h"

#include <algorithm>
#include <string_view>

namespace {

// The walk behind ListFiles and Clear; only Clear takes our temporary files.
void Walk(const std::string& folder, std::vector<std::string>& list,
          std::vector<COverridesFolder::Skipped>* skipped, bool withTemporaries) {
    for (const FolderEntry& entry : ListFolder(folder)) {
        auto skip = [&](const char* reason) {
            if (skipped)
                skipped->push_back({NativePath(folder) + "/" + entry.name, reason});
        };
        // Our paths are backslash paths made native on use: such a name would become another
        // path, possibly outside the folder.
        if (entry.name.find('\\') != std::string::npos)
            skip("its name holds a \"\\\"");
        else if (entry.isLink)
            skip("it is a symbolic link");
        else if (entry.isFolder)
            Walk(folder + "\\" + entry.name, list, skipped, withTemporaries);
        else if (!entry.isRegular)
            skip("it is not a regular file");
        else if (withTemporaries || !IsTemporaryName(entry.name))
            list.push_back(folder + "\\" + entry.name);
    }
}

} // namespace

void COverridesFolder::ListFiles(const std::string& folder, std::vector<std::string>& list,
                                 std::vector<Skipped>* skipped) {
    Walk(folder, list, skipped, false);
}

std::string COverridesFolder::ArchivedName(const std::string& folder, const std::string& path) {
    std::string rel = path.size() > folder.size() + 1 ? path.substr(folder.size() + 1) : "";
    std::replace(rel.begin(), rel.end(), '!', '\\');
    return rel;
}

bool COverridesFolder::IsPlainArchivedName(const std::string& name) {
    if (name.find(':') != std::string::npos)
        return false;
    size_t start = 0;
    while (true) {
        size_t end = name.find('\\', start);
        std::string_view part(name.data() + start,
                              (end == std::string::npos ? name.size() : end) - start);
        // Windows drops trailing dots and spaces, so "... " would be ".." there.
        if (part.find_first_not_of(". ") == std::string_view::npos)
            return false;
        if (end == std::string::npos)
            return true;
        start = end + 1;
    }
}

int COverridesFolder::Clear(const std::string& folder, std::vector<Skipped>* skipped) {
    std::vector<std::string> files;
    Walk(folder, files, skipped, true);
    int deleted = 0;
    for (const std::string& path : files) {
        // Only the part below the folder counts: a working folder named "notes.txt" keeps nothing.
        if (AsciiUpperCopy(path.substr(folder.size())).find("NOTES.TXT") != std::string::npos)
            continue;
        if (RemoveRegularFile(path))
            ++deleted;
    }
    return deleted;
}
