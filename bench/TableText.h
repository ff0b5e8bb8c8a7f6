#pragma once

// The text of a generated game-like table, shared by the benchmarks of the table, its model and
// its grid.

#include <string>

namespace bench {

// A monster-table-like file: a header of "column<n>", then rows named "monster<n>" holding small
// numbers with every fourth cell empty. CR LF line ends, as the game's own tables have.
inline std::string MakeTableText(int rows, int columns) {
    std::string text;
    for (int row = 0; row <= rows; ++row) {
        for (int col = 0; col < columns; ++col) {
            if (col > 0)
                text += '\t';
            if (row == 0)
                text += "column" + std::to_string(col);
            else if (col == 0)
                text += "monster" + std::to_string(row);
            else if ((row + col) % 4 != 0)
                text += std::to_string((row * 31 + col * 17) % 2000);
        }
        text += "\r\n";
    }
    return text;
}

} // namespace bench
