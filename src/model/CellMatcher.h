#pragma once

#include "model/TableFind.h"

#include <string>
#include <string_view>

// The rule by which a find takes a cell: the cell holds the text (or is the text, with
// `wholeCell`); unless `matchCase`, ASCII A-Z match their lower case, and nothing else does.
// The text is prepared once, so that a find over many cells pays for it once.
class CCellMatcher {
public:
    CCellMatcher(std::string_view text, FindOptions options);
    bool Matches(std::string_view cell) const;

private:
    bool SameFrom(std::string_view cell, size_t at) const;

    std::string m_strText; // lower-cased unless matching case
    bool m_bWholeCell = false;
    bool m_bMatchCase = false;
};
