#pragma once

#include <QString>

#include <string>
#include <string_view>

// Table cells (and the settings values the editors keep) are bytes of no known code page:
// Latin-1 maps each byte to one character and back, so a cell shown and left alone is written
// back byte for byte.
QString CellToText(std::string_view cell);
std::string TextToCell(const QString& text);
