#include "editors/LevelSlotList.h"

#include "platform/AsciiText.h"
#include "table/TxtTable.h"

#include <algorithm>

std::vector<int32_t> CLevelSlotList::Columns(const CTxtTable& levels) const {
    std::vector<int32_t> columns;
    for (int32_t col = levels.FindColumn(m_strPrefix + "1", 0); col >= 0;
         col = levels.FindColumn(m_strPrefix + std::to_string(columns.size() + 1), 0))
        columns.push_back(col);
    return columns;
}

int32_t CLevelSlotList::Slots(const CTxtTable& levels) const {
    return static_cast<int32_t>(Columns(levels).size());
}

bool CLevelSlotList::Get(int32_t area, std::vector<std::string>& ids,
                         const CTxtTable& levels) const {
    const std::vector<int32_t> columns = Columns(levels);
    if (area <= 0 || area >= levels.Rows() || columns.empty())
        return false;
    ids.clear();
    for (int32_t col : columns)
        if (const std::string_view id = levels.CellView(col, area); !id.empty())
            ids.emplace_back(id);
    return true;
}

bool CLevelSlotList::Set(int32_t area, const std::vector<std::string>& ids,
                         CTxtTable& levels) const {
    const std::vector<int32_t> columns = Columns(levels);
    if (area <= 0 || area >= levels.Rows() || columns.empty() || ids.size() > columns.size())
        return false;
    // A cell cannot take a tab or a line end: refuse before the first write.
    if (std::any_of(ids.begin(), ids.end(), [](const std::string& id) {
            return id.find_first_of("\t\r\n") != std::string::npos;
        }))
        return false;
    for (size_t i = 0; i < columns.size(); ++i)
        levels.SetCell(columns[i], area, i < ids.size() ? ids[i] : std::string());
    return true;
}

bool CLevelSlotList::Holds(std::string_view id, const CTxtTable& levels) const {
    if (id.empty())
        return false;
    const std::vector<int32_t> columns = Columns(levels);
    for (int32_t row = 1; row < levels.Rows(); ++row)
        for (int32_t col : columns)
            if (EqualsIgnoringAsciiCase(levels.CellView(col, row), id))
                return true;
    return false;
}
