#pragma once

#include "check/ProblemRule.h"

// Keys the game looks rows up by are unique across the tables that share them (monster Ids,
// item codes, treasure class names): a second row of the same key is never found.
class CUniqueKeyRule : public CProblemRule {
public:
    // `keyName` says what a key is in a sentence ("Id", "code", "name").
    CUniqueKeyRule(std::vector<std::string> fileNames, std::string header, std::string keyName)
        : m_fileNames(std::move(fileNames)), m_header(std::move(header)),
          m_keyName(std::move(keyName)) {}
    std::vector<std::string> Inputs() const override { return m_fileNames; }
    std::vector<CProblem> Check(const TableLookup& mod, const TableLookup& base) const override;

private:
    std::vector<std::string> m_fileNames;
    std::string m_header;
    std::string m_keyName;
};
