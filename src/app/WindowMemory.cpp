#include "app/WindowMemory.h"

#include "platform/ProfileFile.h"

#include <QByteArray>
#include <QWidget>

void CWindowMemory::Restore(QWidget& window, const std::string& settingsPath,
                            const std::string& name) {
    const std::string value =
        CProfileFile::ReadString(settingsPath, kSection, name + "Geometry", "");
    if (value.empty())
        return;
    // restoreGeometry refuses what it cannot read and keeps the window on a screen.
    window.restoreGeometry(QByteArray::fromBase64(QByteArray::fromStdString(value)));
}

bool CWindowMemory::Save(const QWidget& window, const std::string& settingsPath,
                         const std::string& name) {
    return CProfileFile::WriteString(settingsPath, kSection, name + "Geometry",
                                     window.saveGeometry().toBase64().toStdString());
}
