#pragma once

#include "check/ProblemRule.h"
#include "platform/AsciiText.h"
#include "table/TxtTable.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

// A mod's tables by file name for the problem rules, each made from lines of tab-separated cells.
struct CheckTables {
    // One cell to change before a rule runs: the table row, the column by its header, the text.
    // An empty header takes the whole table away.
    struct Edit {
        std::string fileName;
        int32_t row;
        std::string header;
        std::string text;
    };

    void Put(const std::string& fileName, const std::vector<std::string>& lines) {
        std::string bytes;
        for (const std::string& line : lines)
            bytes += line + "\r\n";
        ASSERT_TRUE(tables[AsciiUpperCopy(fileName)].LoadFromBytes(bytes)) << fileName;
    }
    void Apply(const std::vector<Edit>& edits) {
        for (const Edit& edit : edits) {
            if (edit.header.empty()) {
                tables.erase(AsciiUpperCopy(edit.fileName));
                continue;
            }
            CTxtTable& table = tables.at(AsciiUpperCopy(edit.fileName));
            ASSERT_TRUE(table.SetCell(table.FindColumn(edit.header, 0), edit.row, edit.text))
                << edit.fileName << " " << edit.header;
        }
    }
    TableLookup Lookup() const {
        return [this](const std::string& fileName) -> const CTxtTable* {
            auto found = tables.find(AsciiUpperCopy(fileName));
            return found == tables.end() ? nullptr : &found->second;
        };
    }
    // The sentences of what `rule` finds, the game's own tables being `base`.
    std::vector<std::string> Sentences(const CProblemRule& rule, const CheckTables& base) const {
        std::vector<std::string> sentences;
        for (const CProblem& problem : rule.Check(Lookup(), base.Lookup()))
            sentences.push_back(problem.Sentence());
        return sentences;
    }
    std::vector<std::string> Sentences(const CProblemRule& rule) const {
        return Sentences(rule, *this);
    }

    std::map<std::string, CTxtTable> tables; // by upper-cased file name
};
