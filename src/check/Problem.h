#pragma once

#include <cstdint>
#include <string>

// One thing in the mod's tables the game would trip over.
struct CProblem {
    std::string fileName;
    int32_t tableRow = -1; // -1 when the problem is the rule's own (it cannot run)
    int32_t col = -1;
    std::string rowName;
    std::string column;
    std::string cell;
    std::string what; // a sentence of its own, ending in a full stop

    // "Levels.txt, Blood Moor, mon4: no monster has the Id "zombie9"."
    std::string Sentence() const;
};
