#pragma once

#include "editors/FilterList.h"

#include <string>
#include <vector>

class CTxtTable;

// The list entries of an item table, sorted by name ignoring case, each with its own row and
// its item code as key. The header row is never listed; the "Expansion" row ends the list,
// or with `expansion` is only left out.
std::vector<CFilterList::Entry> ItemEntries(const CTxtTable& table, const char* nameHeader,
                                            const char* codeHeader, bool expansion);
