#pragma once

#include "platform/NoteLog.h"

#include <string>
#include <vector>

// Collects the notes a data operation writes, one line each.
class CTestNotes : public CNoteLog {
public:
    void AppendNote(const std::string& text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};
