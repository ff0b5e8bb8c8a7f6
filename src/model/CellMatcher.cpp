#include "model/CellMatcher.h"

#include "platform/AsciiText.h"

#include <algorithm>

CCellMatcher::CCellMatcher(std::string_view text, FindOptions options)
    : m_strText(text), m_bWholeCell(options.wholeCell), m_bMatchCase(options.matchCase) {
    if (!m_bMatchCase)
        std::transform(m_strText.begin(), m_strText.end(), m_strText.begin(), AsciiToLower);
}

bool CCellMatcher::SameFrom(std::string_view cell, size_t at) const {
    for (size_t i = 1; i < m_strText.size(); ++i)
        if (AsciiToLower(cell[at + i]) != m_strText[i])
            return false;
    return true;
}

bool CCellMatcher::Matches(std::string_view cell) const {
    if (m_bMatchCase)
        return m_bWholeCell ? cell == m_strText : cell.find(m_strText) != std::string_view::npos;
    if (m_bWholeCell)
        return cell.size() == m_strText.size() &&
               (cell.empty() || (AsciiToLower(cell[0]) == m_strText[0] && SameFrom(cell, 0)));
    if (m_strText.empty())
        return true;
    if (cell.size() < m_strText.size())
        return false;
    const char first = m_strText[0];
    for (size_t at = 0, last = cell.size() - m_strText.size(); at <= last; ++at)
        if (AsciiToLower(cell[at]) == first && SameFrom(cell, at))
            return true;
    return false;
}
