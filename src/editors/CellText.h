#pragma once

#include <QString>

#include <optional>
#include <string>
#include <string_view>

// Table cells (and the settings values the editors keep) are bytes of no known code page:
// Latin-1 maps each byte to one character and back, so a cell shown and left alone is written
// back byte for byte.
QString CellToText(std::string_view cell);
// The bytes of `text` for a cell; the minus sign U+2212 (as pasted from a web page) is taken as
// "-". None when a character has no byte: a cell never gets a "?" the user did not type.
std::optional<std::string> TextToCell(const QString& text);
// Why `text` cannot go into a cell, naming the first character that no cell can hold; empty
// when every character can go in.
std::string CellRefusal(const QString& text);
