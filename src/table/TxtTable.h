#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class CUserPrompts;

// One of the game's tab-delimited tables in memory: a rectangular grid of cells, row 0 being
// the header row. The column count is fixed by the first line of the file. Every byte is kept
// as read, so a load followed by a save gives back the same file: each line's end (LF or CR LF),
// the last line's end or its absence, rows shorter than the header (they read as empty cells
// at their end and are written back short) and text past the header's column count.
//
// The file's bytes are kept in one buffer and every cell is a span of it, so that a load costs
// little more than reading the file. Cells changed later point into the same buffer's tail.
class CTxtTable {
public:
    CTxtTable() = default;

    // Where Save shows its file-error message box and Load its "Insufficient memory!" box.
    // Without prompts the failures are only returned.
    void SetPrompts(CUserPrompts* prompts) { m_pPrompts = prompts; }
    CUserPrompts* Prompts() const { return m_pPrompts; }

    // False when the file cannot be opened (no message: callers go on to another copy) and
    // when it cannot be held: a file of 4 GiB or more, a grid far larger than its file, or no
    // memory left all show "Insufficient memory!"; a read that fails part way shows the
    // file-error text of its cause. The table is empty after a failure.
    bool Load(const std::string& path);
    void Clear();
    bool Save(const std::string& path) const;

    // Load and Save without the file: the table from a file's bytes, and the bytes Save writes.
    bool LoadFromBytes(std::string bytes);
    std::string ToBytes() const;

    std::string GetCell(int32_t col, int32_t row) const;
    // The cell without a copy; valid until the table is changed.
    std::string_view CellView(int32_t col, int32_t row) const;
    // False, changing nothing, out of range and for text holding a tab, CR or LF: no cell may
    // hold one, or the saved file would gain a column or a row.
    bool SetCell(int32_t col, int32_t row, std::string text);
    // Whether SetCell takes `text`: it holds no tab, CR or LF.
    static bool CellCanHold(std::string_view text);
    bool SetCellInt(int32_t col, int32_t row, int32_t value);

    // The cells of the first column whose header equals `header` (ignoring ASCII case), indexed
    // by row; nothing when no column matches.
    std::optional<std::vector<std::string>> GetColumn(const std::string& header) const;
    int32_t FindColumn(const std::string& text, int32_t row) const;
    int32_t FindRow(const std::string& text, int32_t col) const;

    // Column rescaling over the data rows (row 0 is never touched). Only cells starting with a
    // digit or '-' are changed. False when `col` is not a column. A result below `min` is
    // raised to it, but a cell already below `min` stays as it is.
    bool MultiplyColumn(int32_t col, int32_t factor, int32_t max);
    bool DivideColumn(int32_t col, double divisor, double min);
    bool ScaleColumn(int32_t col, double factor, double max);
    bool AddToColumn(int32_t col, int32_t amount, int32_t max,
                     int32_t min = std::numeric_limits<int32_t>::min());

    static std::string FileErrorText(int cause);

    int32_t Rows() const { return m_nRows; }
    int32_t Columns() const { return m_nColumns; }
    bool IsLoaded() const { return m_bLoaded; }

    // Text that stood after the header's column count on a row (with its leading tab), written
    // back after the row's last cell so that nothing of a file is lost. Empty for most rows.
    std::string SurplusText(int32_t row) const;

    // How many cells the row writes: fewer than Columns() for a short row, more for a row with
    // surplus text. 0 for a bad `row`.
    int32_t CellCount(int32_t row) const;

    // Inserts a row before `row` (1 to Rows(); Rows() appends). A row of fewer cells than
    // Columns() stays that short when saved, as a short line read from a file does; cells past
    // Columns() are kept as the row's surplus text. No cells make an empty line. The row ends
    // as the header line does. False, changing nothing, for a bad `row` or a cell that
    // CellCanHold refuses.
    bool InsertRow(int32_t row, std::vector<std::string> cells);
    // False, changing nothing, for row 0 (the header) and rows past the end.
    bool RemoveRow(int32_t row);
    // The row's cells as stored: as many as the row writes (a short row gives fewer than
    // Columns()), then the cells of its surplus text, if any. Empty for a bad `row`.
    std::vector<std::string> RowCells(int32_t row) const;
    // Whether the row's line ends with CR LF rather than LF (the last line of a file without a
    // final line end counts as ending as the header line does).
    bool RowEndsWithCrLf(int32_t row) const;
    // Puts back a row read with RowCells and RowEndsWithCrLf, exactly: its line end, and cells
    // as a file gave them (a carriage return inside a cell included). False, changing nothing,
    // for a bad `row` or a cell holding a tab or a line feed.
    bool RestoreRow(int32_t row, std::vector<std::string> cells, bool crLf);

private:
    struct Span {
        uint32_t offset = 0;
        uint32_t length = 0;
    };
    // What a file's line holds beside its cells. A row written since it was read may reach past
    // `cellsRead`: a cell beyond it that is not empty is written, with the empty ones before it.
    struct RowRecord {
        Span surplus;
        uint32_t cellsRead = 0;
        bool crLf = true;
    };

    bool InRange(int32_t col, int32_t row) const {
        return col >= 0 && col < m_nColumns && row >= 0 && row < m_nRows;
    }
    Span& CellAt(int32_t col, int32_t row) {
        return m_cells[static_cast<size_t>(row) * static_cast<size_t>(m_nColumns) +
                       static_cast<size_t>(col)];
    }
    const Span& CellAt(int32_t col, int32_t row) const {
        return m_cells[static_cast<size_t>(row) * static_cast<size_t>(m_nColumns) +
                       static_cast<size_t>(col)];
    }
    std::string_view TextOf(const Span& span) const {
        return std::string_view(m_text).substr(span.offset, span.length);
    }
    // Stores `text` for a cell; the old text becomes garbage, reclaimed now and then.
    void StoreCell(int32_t col, int32_t row, std::string_view text);
    // Appends `text` to the buffer, rebuilding it first when most of it is garbage.
    Span AppendText(std::string_view text);
    // How many cells the row writes: at least as many as it was read with.
    int32_t WrittenCells(int32_t row) const;
    bool PutRow(int32_t row, std::vector<std::string> cells, bool crLf,
                bool (*canHold)(std::string_view));
    void Compact();
    bool ParseText();
    void ReportNoMemory() const;
    void Parse();
    template <typename Compute> bool RescaleColumn(int32_t col, Compute compute);

    std::string m_text;        // the file's bytes, then the text of changed cells
    std::vector<Span> m_cells; // row by row, m_nColumns cells per row
    std::vector<RowRecord> m_rows;
    bool m_bFinalLineEnd = false; // the last row is followed by a line end
    size_t m_nGarbage = 0;
    int32_t m_nRows = 0;
    int32_t m_nColumns = 0;
    bool m_bLoaded = false;
    CUserPrompts* m_pPrompts = nullptr;
};
