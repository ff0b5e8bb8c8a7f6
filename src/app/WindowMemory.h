#pragma once

#include <string>

class QWidget;

// Keeps a window's size and position between runs in the program's own section of the settings
// file, under "<name>Geometry" (e.g. "MainWindowGeometry").
class CWindowMemory {
public:
    static constexpr const char* kSection = "Tarvane";

    // Puts the window where it was when it was last saved; a missing or unreadable value leaves
    // it as it is.
    static void Restore(QWidget& window, const std::string& settingsPath, const std::string& name);
    // False when the settings file could not be written.
    static bool Save(const QWidget& window, const std::string& settingsPath,
                     const std::string& name);
};
