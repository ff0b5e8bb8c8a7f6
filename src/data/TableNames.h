#pragma once

#include <string>
#include <string_view>
#include <vector>

// The file names of the game's tables under Data\Global\Excel, for every game version from 1.00
// to 1.14d, classic and expansion. The game's archives hold no list of their names, so tables are
// found by trying each of these: a name missing here is a table the program never shows.
const std::vector<std::string>& KnownTableNames();

// The table names (the part after "data\global\excel\", ending in ".txt") that an archive's
// "(listfile)" text names, in its order, each once (ignoring ASCII case). Either slash and any
// case are taken; names in sub-folders and anything that is no plain file name are left out.
std::vector<std::string> ExcelNamesInListfile(std::string_view listfile);
