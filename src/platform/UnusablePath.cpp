#include "platform/UnusablePath.h"

std::optional<std::string> UnusablePathMessage(const std::string& path, bool folder) {
    if (path.find('\\') != std::string::npos)
        return path + " cannot be used: its name holds a \"\\\", which this program reads as a "
                      "folder separator. Rename it and choose it again.";
    if (folder && path.find_first_of("\r\n") != std::string::npos)
        return std::string("The folder's name holds a line break, which this program cannot "
                           "keep. Rename the folder and choose it again.");
    return std::nullopt;
}
