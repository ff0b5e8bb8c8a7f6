#pragma once

#include "editors/FilterList.h"

#include <QString>

#include <string>
#include <vector>

class CTxtTable;

// Cells are bytes of no known code page: Latin-1 maps each byte to one character and back.
QString CellToText(const std::string& cell);
std::string TextToCell(const QString& text);

// The list entries of an item table, sorted by name ignoring case, each with its own row and
// its item code as key. The header row is never listed; the "Expansion" row ends the list,
// or with `expansion` is only left out.
std::vector<CFilterList::Entry> ItemEntries(const CTxtTable& table, const char* nameHeader,
                                            const char* codeHeader, bool expansion);
