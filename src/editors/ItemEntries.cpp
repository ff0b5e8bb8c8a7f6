#include "editors/ItemEntries.h"

#include "editors/CellText.h"
#include "platform/AsciiText.h"
#include "table/TxtTable.h"

#include <algorithm>

std::vector<CFilterList::Entry> ItemEntries(const CTxtTable& table, const char* nameHeader,
                                            const char* codeHeader, bool expansion) {
    const int32_t nameCol = table.FindColumn(nameHeader, 0);
    const int32_t codeCol = table.FindColumn(codeHeader, 0);
    struct Item {
        std::string name;
        int32_t row;
    };
    std::vector<Item> items;
    for (int32_t row = 1; row < table.Rows(); ++row) {
        std::string name = table.GetCell(nameCol, row);
        if (EqualsIgnoringAsciiCase(name, "Expansion")) {
            if (!expansion)
                break;
            continue;
        }
        items.push_back({std::move(name), row});
    }
    std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) {
        return LessIgnoringAsciiCase(a.name, b.name);
    });
    std::vector<CFilterList::Entry> entries;
    entries.reserve(items.size());
    for (const Item& item : items)
        entries.push_back(
            {CellToText(item.name), item.row, CellToText(table.GetCell(codeCol, item.row))});
    return entries;
}
