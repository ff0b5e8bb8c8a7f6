#include "editors/CellText.h"

#include <QByteArray>

QString CellToText(std::string_view cell) {
    return QString::fromLatin1(cell.data(), static_cast<qsizetype>(cell.size()));
}

std::string TextToCell(const QString& text) {
    const QByteArray bytes = text.toLatin1();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}
