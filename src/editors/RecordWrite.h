#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CTxtTable;
class CUserPrompts;

// What became of a record written into its table: written whole, or not at all. A cell that
// cannot take its new text (a tab or a line break, which would split the saved row; it can
// only come from a cell that already held one) stops the whole record, so that an edit is never
// half applied nor dropped without a word.
struct RecordWrite {
    // One cell of the record: a column or row of -1 (missing from the table) leaves it alone.
    struct Cell {
        int32_t col;
        int32_t row;
        std::string_view text;
    };

    bool rowFound = true; // false: the record's row is past the table's end; nothing written
    // The cells that refused their text, as "<header>, row <n>".
    std::vector<std::string> refused;

    explicit operator bool() const { return rowFound && refused.empty(); }

    // Writes every cell whose text differs from the table's, or none when one would be refused.
    // A cell left as it was is not written at all, so a stray line break the user never touched
    // stops nothing.
    static RecordWrite Cells(CTxtTable& table, const std::vector<Cell>& cells);
    static RecordWrite RowMissing();

    // Says which cells refused their text, when some did; true when the record was written.
    bool Report(CUserPrompts& prompts) const;
};
