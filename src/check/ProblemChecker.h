#pragma once

#include "check/ProblemRule.h"

#include <memory>
#include <string>
#include <vector>

// Runs every rule over the mod's tables and keeps their problems current: each rule's problems
// are kept until a table it reads changes, so that an edit re-checks only the rules that table
// feeds.
class CProblemChecker {
public:
    // The rules over the tables in `fileNames` (the mod's tables): the rules of particular tables,
    // and the whole-number and row length checks of each.
    CProblemChecker(const std::vector<std::string>& fileNames, TableLookup mod, TableLookup base);
    ~CProblemChecker();

    // The table changed: the rules reading it check again at the next Update.
    void TableChanged(const std::string& fileName);
    // Checks again what is stale. False when nothing was.
    bool Update();
    // Every problem found, rule by rule.
    std::vector<CProblem> Problems() const;
    size_t Count() const;

private:
    struct Kept {
        std::unique_ptr<CProblemRule> rule;
        std::vector<std::string> inputs; // upper-cased file names
        std::vector<CProblem> problems;
        bool stale = true;
    };
    void Add(std::unique_ptr<CProblemRule> rule);

    TableLookup m_mod;
    TableLookup m_base;
    std::vector<Kept> m_rules;
};
