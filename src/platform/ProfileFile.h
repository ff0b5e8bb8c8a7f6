#pragma once

#include <string>

// The private-profile (INI) file of the settings: "[section]" lines followed by "key=value"
// lines. Section and key names match ignoring ASCII case; a missing file, section or key gives
// the caller's default; writing creates what is missing and keeps every other line as it was.
class CProfileFile {
public:
    // Values are read into a 1024-byte buffer in the original, so at most this many characters
    // of a value are seen.
    static constexpr size_t kMaxValueLength = 1023;

    static std::string ReadString(const std::string& path, const std::string& section,
                                  const std::string& key, const std::string& defaultValue);

    // False when the file could not be written; the old file is then unchanged. The file is
    // written whole beside itself and renamed into place. A file that exists but cannot be read
    // is never written, and a section, key or value holding a CR or LF is refused.
    static bool WriteString(const std::string& path, const std::string& section,
                            const std::string& key, const std::string& value);
};
