#pragma once

#include <optional>
#include <string>

// Why a path chosen in a dialog cannot be used, as the message shown to the user; nothing when it
// can. A "\" in a name is refused because our paths read it as a separator; folders are also
// refused for a line break, which the settings file and the notes cannot keep.
std::optional<std::string> UnusablePathMessage(const std::string& path, bool folder);
