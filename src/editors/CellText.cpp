#include "editors/CellText.h"

#include <cstdio>

namespace {

constexpr char16_t kMinusSign = u'\u2212';

bool CellCanHold(QChar c) {
    return c.unicode() <= 0xFF || c == kMinusSign;
}

} // namespace

QString CellToText(std::string_view cell) {
    return QString::fromLatin1(cell.data(), static_cast<qsizetype>(cell.size()));
}

std::optional<std::string> TextToCell(const QString& text) {
    std::string cell;
    cell.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        if (!CellCanHold(c))
            return std::nullopt;
        cell.push_back(c == kMinusSign ? '-' : static_cast<char>(c.unicode()));
    }
    return cell;
}

std::string CellRefusal(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (CellCanHold(text[i]))
            continue;
        // A character beyond the first 65,536 comes as two halves: name it whole.
        char32_t code = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
        char name[16];
        std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(code));
        return std::string("The character ") + name +
               " cannot go into a table cell: the tables hold Latin-1 text only.";
    }
    return {};
}
