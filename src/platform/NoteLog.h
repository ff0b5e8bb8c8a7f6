#pragma once

#include <string>

// Where data operations report what they did: the main window's notes area in the program,
// a plain list in tests. Keeps the data layer free of widgets.
class CNoteLog {
public:
    virtual ~CNoteLog() = default;
    virtual void AppendNote(const std::string& text) = 0;
};
