#include "check/Problem.h"

std::string CProblem::Sentence() const {
    if (tableRow < 0)
        return what;
    std::string text = fileName;
    if (!rowName.empty())
        text += ", " + rowName;
    if (!column.empty())
        text += ", " + column;
    return text + ": " + what;
}
