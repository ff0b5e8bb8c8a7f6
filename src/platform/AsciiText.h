#pragma once

#include <string>
#include <string_view>

// "Ignoring case" in this program means the letters A to Z only, never the locale's idea of it:
// table cells carry bytes above 127 that must compare exactly.

inline char AsciiToLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

inline char AsciiToUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

inline bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiToLower(a[i]) != AsciiToLower(b[i]))
            return false;
    return true;
}

// Orders two texts ignoring ASCII case; used for the sorted lists of the dialogs.
inline bool LessIgnoringAsciiCase(std::string_view a, std::string_view b) {
    size_t n = a.size() < b.size() ? a.size() : b.size();
    for (size_t i = 0; i < n; ++i) {
        unsigned char x = static_cast<unsigned char>(AsciiToLower(a[i]));
        unsigned char y = static_cast<unsigned char>(AsciiToLower(b[i]));
        if (x != y)
            return x < y;
    }
    return a.size() < b.size();
}

inline std::string AsciiUpperCopy(std::string_view text) {
    std::string out(text);
    for (char& c : out)
        c = AsciiToUpper(c);
    return out;
}
