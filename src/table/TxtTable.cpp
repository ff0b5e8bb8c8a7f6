#include "table/TxtTable.h"

#include "platform/AsciiText.h"
#include "platform/FileSystem.h"
#include "platform/UserPrompts.h"
#include "table/CellNumbers.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

using namespace TableNumbers;

namespace {

// Cells are spans of 32 bits into the file's bytes.
constexpr uint64_t kMaxTextSize = std::numeric_limits<uint32_t>::max();
// The grid's bound: a grid of up to 4 Mi cells (32 MiB) is always allowed, a larger one only
// for a file of at least 1/16 as many bytes, and none beyond 64 Mi cells (512 MiB).
constexpr int64_t kCellsAlwaysAllowed = int64_t{1} << 22;
constexpr int64_t kMaxCells = int64_t{1} << 26;

// Calls `visit(position, byte)` for every tab and line feed of the buffer, in order. This walk
// is most of the cost of a load, so it looks at 16 bytes at a time where the processor can.
template <typename Visit> void ForEachSeparator(const char* data, size_t size, Visit visit) {
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i lineFeed = _mm_set1_epi8('\n');
    for (; i + 16 <= size; i += 16) {
        __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + i));
        unsigned mask = static_cast<unsigned>(_mm_movemask_epi8(
            _mm_or_si128(_mm_cmpeq_epi8(chunk, tab), _mm_cmpeq_epi8(chunk, lineFeed))));
        while (mask != 0) {
            size_t pos = i + static_cast<size_t>(__builtin_ctz(mask));
            visit(pos, data[pos]);
            mask &= mask - 1;
        }
    }
#endif
    for (; i < size; ++i)
        if (data[i] == '\t' || data[i] == '\n')
            visit(i, data[i]);
}

bool LooksNumeric(std::string_view cell) {
    return !cell.empty() && ((cell[0] >= '0' && cell[0] <= '9') || cell[0] == '-');
}

} // namespace

bool CTxtTable::Load(const std::string& path) {
    Clear();
    // Cells are 32-bit spans of the file's bytes: a file of 4 GiB or more cannot be held, so it
    // is refused before a byte of it is read, as a load whose storage cannot be had.
    struct stat st;
    if (::stat(NativePath(path).c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        static_cast<uint64_t>(st.st_size) >= kMaxTextSize) {
        ReportNoMemory();
        return false;
    }
    try {
        // Read into the buffer of the last load: tables are reloaded often, and reusing the
        // memory saves most of the cost of a load of a large table.
        errno = 0;
        if (!ReadWholeFile(path, m_text)) {
            int err = errno;
            Clear();
            // A file that cannot be opened is no table, silently, as callers try the next copy.
            // One that could be opened but not read through is a fault the user must hear of.
            if (m_pPrompts && IsRegularFile(path) && ::access(NativePath(path).c_str(), R_OK) == 0)
                m_pPrompts->ShowMessage(FileErrorText(err == 0 ? 1 : FileErrorCauseFromErrno(err)));
            return false;
        }
    } catch (const std::bad_alloc&) {
        Clear();
        ReportNoMemory();
        return false;
    } catch (const std::length_error&) {
        Clear();
        ReportNoMemory();
        return false;
    }
    return ParseText();
}

bool CTxtTable::LoadFromBytes(std::string bytes) {
    Clear();
    m_text = std::move(bytes);
    return ParseText();
}

bool CTxtTable::ParseText() {
    // Spans are 32-bit; a table file of 4 GB is not a game table.
    if (m_text.size() >= kMaxTextSize) {
        Clear();
        ReportNoMemory();
        return false;
    }
    try {
        Parse();
    } catch (const std::bad_alloc&) {
        Clear();
        ReportNoMemory();
        return false;
    }
    m_bLoaded = true;
    return true;
}

void CTxtTable::ReportNoMemory() const {
    if (m_pPrompts)
        m_pPrompts->ShowMessage("Insufficient memory!");
}

void CTxtTable::Parse() {
    const char* data = m_text.data();
    const size_t size = m_text.size();

    // First pass: the header line fixes the column count, the line feeds the row count, so the
    // grid is allocated once at its final size.
    const char* firstEnd = static_cast<const char*>(std::memchr(data, '\n', size));
    size_t firstLength = firstEnd ? static_cast<size_t>(firstEnd - data) : size;
    int64_t columns = 1;
    for (size_t i = 0; i < firstLength; ++i)
        columns += data[i] == '\t';
    int64_t rows = 0;
    for (const char* p = data;
         (p = static_cast<const char*>(std::memchr(p, '\n', size - static_cast<size_t>(p - data))));
         ++p)
        ++rows;
    if (size == 0 || data[size - 1] != '\n')
        ++rows; // a last line without a line feed still counts; an empty file is one row
    // The grid has a slot for every header column on every line, so a long header line over
    // many short lines asks for far more memory than the file holds (a 10 KB file for 200 MB).
    // Real tables are dense: a cell costs at least its tab, so their grids stay far below.
    const int64_t bound =
        std::min(kMaxCells, std::max(kCellsAlwaysAllowed, 16 * static_cast<int64_t>(size)));
    if (rows * columns > bound)
        throw std::bad_alloc();

    m_nColumns = static_cast<int32_t>(columns);
    m_nRows = static_cast<int32_t>(rows);
    m_cells.assign(static_cast<size_t>(rows * columns), Span{});
    m_rows.assign(static_cast<size_t>(rows), RowRecord{});
    m_bFinalLineEnd = size > 0 && data[size - 1] == '\n';

    // Second pass: one walk over every tab and line feed of the file.
    int32_t row = 0;
    int32_t col = 0;
    size_t cellStart = 0;
    bool inSurplus = false; // past the header's column count on this line
    Span* cells = m_cells.data();
    auto endLine = [&](size_t lineEnd) {
        RowRecord& record = m_rows[static_cast<size_t>(row)];
        // A CR LF line keeps its CR out of the cell; a last line without a line feed keeps a
        // final CR as text, and ends as the header line does if a row is added after it.
        if (lineEnd == size)
            record.crLf = m_rows.front().crLf;
        else
            record.crLf = lineEnd > cellStart && data[lineEnd - 1] == '\r';
        if (record.crLf && lineEnd < size)
            --lineEnd;
        if (inSurplus) {
            record.surplus.length = static_cast<uint32_t>(lineEnd - record.surplus.offset);
        } else {
            cells[col] =
                Span{static_cast<uint32_t>(cellStart), static_cast<uint32_t>(lineEnd - cellStart)};
        }
        record.cellsRead = static_cast<uint32_t>(col + 1);
    };
    ForEachSeparator(data, size, [&](size_t pos, char c) {
        if (c == '\n') {
            endLine(pos);
            ++row;
            col = 0;
            cellStart = pos + 1;
            inSurplus = false;
            cells = m_cells.data() + static_cast<size_t>(row) * static_cast<size_t>(m_nColumns);
            return;
        }
        if (inSurplus)
            return;
        if (col == m_nColumns - 1) {
            // More cells than the header: keep them, tab included, to write them back.
            cells[col] =
                Span{static_cast<uint32_t>(cellStart), static_cast<uint32_t>(pos - cellStart)};
            m_rows[static_cast<size_t>(row)].surplus = Span{static_cast<uint32_t>(pos), 0};
            inSurplus = true;
            return;
        }
        cells[col] = Span{static_cast<uint32_t>(cellStart), static_cast<uint32_t>(pos - cellStart)};
        ++col;
        cellStart = pos + 1;
    });
    if (row < m_nRows)
        endLine(size); // the last line had no line feed
}

void CTxtTable::Clear() {
    // The buffers keep their memory for the next load of this table.
    m_bLoaded = false;
    m_text.clear();
    m_cells.clear();
    m_rows.clear();
    m_bFinalLineEnd = false;
    m_nGarbage = 0;
    m_nRows = 0;
    m_nColumns = 0;
}

std::string CTxtTable::GetCell(int32_t col, int32_t row) const {
    return std::string(CellView(col, row));
}

std::string_view CTxtTable::CellView(int32_t col, int32_t row) const {
    if (!InRange(col, row))
        return {};
    return TextOf(CellAt(col, row));
}

std::string CTxtTable::SurplusText(int32_t row) const {
    if (row < 0 || row >= m_nRows)
        return {};
    return std::string(TextOf(m_rows[static_cast<size_t>(row)].surplus));
}

void CTxtTable::StoreCell(int32_t col, int32_t row, std::string_view text) {
    Span& span = CellAt(col, row);
    m_nGarbage += span.length;
    span = Span{};
    span = AppendText(text);
}

CTxtTable::Span CTxtTable::AppendText(std::string_view text) {
    // Changed cells go to the end of the buffer; when most of it is dead text, rebuild it.
    // (`text` never points into the buffer: callers pass their own strings.)
    if (m_nGarbage > 65536 && m_nGarbage > m_text.size() / 2)
        Compact();
    if (m_text.size() + text.size() >= std::numeric_limits<uint32_t>::max())
        throw std::bad_alloc();
    const Span span{static_cast<uint32_t>(m_text.size()), static_cast<uint32_t>(text.size())};
    m_text.append(text);
    return span;
}

int32_t CTxtTable::WrittenCells(int32_t row) const {
    const int32_t read = static_cast<int32_t>(m_rows[static_cast<size_t>(row)].cellsRead);
    for (int32_t col = m_nColumns - 1; col >= read; --col)
        if (CellAt(col, row).length > 0)
            return col + 1;
    return read;
}

int32_t CTxtTable::CellCount(int32_t row) const {
    if (row < 0 || row >= m_nRows)
        return 0;
    const std::string_view surplus = TextOf(m_rows[static_cast<size_t>(row)].surplus);
    return WrittenCells(row) +
           static_cast<int32_t>(std::count(surplus.begin(), surplus.end(), '\t'));
}

bool CTxtTable::InsertRow(int32_t row, std::vector<std::string> cells) {
    return PutRow(row, std::move(cells), m_rows.empty() || m_rows.front().crLf, &CellCanHold);
}

bool CTxtTable::RestoreRow(int32_t row, std::vector<std::string> cells, bool crLf) {
    // A file may have given a cell a carriage return; only a tab or a line feed would move the
    // row's cells or split it.
    return PutRow(row, std::move(cells), crLf, [](std::string_view text) {
        return text.find_first_of("\t\n") == std::string_view::npos;
    });
}

bool CTxtTable::PutRow(int32_t row, std::vector<std::string> cells, bool crLf,
                       bool (*canHold)(std::string_view)) {
    if (row < 1 || row > m_nRows || m_nColumns == 0)
        return false;
    if (!std::all_of(cells.begin(), cells.end(), canHold))
        return false;
    if (cells.empty())
        cells.emplace_back();
    const size_t width = static_cast<size_t>(m_nColumns);
    const size_t at = static_cast<size_t>(row);
    m_cells.insert(m_cells.begin() + static_cast<ptrdiff_t>(at * width), width, Span{});
    RowRecord record;
    record.crLf = crLf;
    record.cellsRead = static_cast<uint32_t>(std::min(cells.size(), width));
    m_rows.insert(m_rows.begin() + static_cast<ptrdiff_t>(at), record);
    ++m_nRows;
    for (size_t col = 0; col < record.cellsRead; ++col)
        StoreCell(static_cast<int32_t>(col), row, cells[col]);
    if (cells.size() > width) {
        std::string surplus;
        for (size_t col = width; col < cells.size(); ++col)
            surplus.append("\t").append(cells[col]);
        m_rows[at].surplus = AppendText(surplus);
    }
    return true;
}

bool CTxtTable::RemoveRow(int32_t row) {
    if (row < 1 || row >= m_nRows)
        return false;
    const size_t width = static_cast<size_t>(m_nColumns);
    const size_t at = static_cast<size_t>(row);
    const auto first = m_cells.begin() + static_cast<ptrdiff_t>(at * width);
    for (auto cell = first; cell != first + static_cast<ptrdiff_t>(width); ++cell)
        m_nGarbage += cell->length;
    m_nGarbage += m_rows[at].surplus.length;
    m_cells.erase(first, first + static_cast<ptrdiff_t>(width));
    m_rows.erase(m_rows.begin() + static_cast<ptrdiff_t>(at));
    --m_nRows;
    return true;
}

std::vector<std::string> CTxtTable::RowCells(int32_t row) const {
    std::vector<std::string> cells;
    if (row < 0 || row >= m_nRows)
        return cells;
    const int32_t written = WrittenCells(row);
    for (int32_t col = 0; col < written; ++col)
        cells.emplace_back(TextOf(CellAt(col, row)));
    std::string_view surplus = TextOf(m_rows[static_cast<size_t>(row)].surplus);
    while (!surplus.empty()) {
        surplus.remove_prefix(1); // the tab before the cell
        const size_t end = std::min(surplus.find('\t'), surplus.size());
        cells.emplace_back(surplus.substr(0, end));
        surplus.remove_prefix(end);
    }
    return cells;
}

bool CTxtTable::RowEndsWithCrLf(int32_t row) const {
    return row >= 0 && row < m_nRows && m_rows[static_cast<size_t>(row)].crLf;
}

void CTxtTable::Compact() {
    // Rows are laid out as in a file again (cells one tab apart), so that saving them stays a
    // single copy per row.
    std::string text;
    text.reserve(m_text.size() - m_nGarbage + m_cells.size());
    auto move = [&](Span& span) {
        uint32_t offset = static_cast<uint32_t>(text.size());
        text.append(TextOf(span));
        span.offset = offset;
    };
    for (size_t i = 0; i < m_cells.size(); ++i) {
        if (i % static_cast<size_t>(m_nColumns) != 0)
            text.push_back('\t');
        move(m_cells[i]);
    }
    for (RowRecord& record : m_rows)
        move(record.surplus);
    m_text = std::move(text);
    m_nGarbage = 0;
}

bool CTxtTable::CellCanHold(std::string_view text) {
    // A tab or a line break would split the row or the cell when the table is saved.
    return text.find_first_of("\t\r\n") == std::string_view::npos;
}

bool CTxtTable::SetCell(int32_t col, int32_t row, std::string text) {
    if (!InRange(col, row) || !CellCanHold(text))
        return false;
    StoreCell(col, row, text);
    return true;
}

bool CTxtTable::SetCellInt(int32_t col, int32_t row, int32_t value) {
    if (!InRange(col, row))
        return false;
    char digits[16];
    auto result = std::to_chars(digits, digits + sizeof digits, value);
    StoreCell(col, row, std::string_view(digits, static_cast<size_t>(result.ptr - digits)));
    return true;
}

std::optional<std::vector<std::string>> CTxtTable::GetColumn(const std::string& header) const {
    int32_t col = FindColumn(header, 0);
    if (col < 0)
        return std::nullopt;
    std::vector<std::string> cells;
    cells.reserve(static_cast<size_t>(m_nRows));
    for (int32_t row = 0; row < m_nRows; ++row)
        cells.emplace_back(TextOf(CellAt(col, row)));
    return cells;
}

int32_t CTxtTable::FindColumn(const std::string& text, int32_t row) const {
    if (row < 0 || row >= m_nRows)
        return -1;
    for (int32_t col = 0; col < m_nColumns; ++col)
        if (EqualsIgnoringAsciiCase(TextOf(CellAt(col, row)), text))
            return col;
    return -1;
}

int32_t CTxtTable::FindRow(const std::string& text, int32_t col) const {
    if (col < 0 || col >= m_nColumns)
        return -1;
    for (int32_t row = 0; row < m_nRows; ++row)
        if (EqualsIgnoringAsciiCase(TextOf(CellAt(col, row)), text))
            return row;
    return -1;
}

// `compute` gives a cell's new value, or nothing to leave the cell as it is.
template <typename Compute> bool CTxtTable::RescaleColumn(int32_t col, Compute compute) {
    if (col < 0 || col >= m_nColumns)
        return false;
    for (int32_t row = 1; row < m_nRows; ++row) {
        std::string_view cell = TextOf(CellAt(col, row));
        if (!LooksNumeric(cell))
            continue;
        if (const std::optional<int32_t> value = compute(cell))
            SetCellInt(col, row, *value);
    }
    return true;
}

// The integer operations work in 64 bits and hold the result to the 32-bit range, where the
// original's 32-bit arithmetic wrapped large products round to wrong (even negative) values.
bool CTxtTable::MultiplyColumn(int32_t col, int32_t factor, int32_t max) {
    return RescaleColumn(col, [&](std::string_view cell) {
        int64_t product = int64_t{LeadingInteger(cell)} * factor;
        return product > max ? max : ClampToInt32(product);
    });
}

bool CTxtTable::AddToColumn(int32_t col, int32_t amount, int32_t max, int32_t min) {
    return RescaleColumn(col, [&](std::string_view cell) -> std::optional<int32_t> {
        const int32_t value = LeadingInteger(cell);
        // The minimum stops a subtraction; it never raises a value the table already had.
        if (value < min)
            return std::nullopt;
        int64_t sum = int64_t{value} + amount;
        return sum > max ? max : std::max(min, ClampToInt32(sum));
    });
}

bool CTxtTable::DivideColumn(int32_t col, double divisor, double min) {
    return RescaleColumn(col, [&](std::string_view cell) -> std::optional<int32_t> {
        const double value = LeadingDecimal(cell);
        // The minimum stops a division; it never raises a value the table already had.
        if (value < min)
            return std::nullopt;
        double quotient = value / divisor;
        if (std::isnan(quotient) || quotient < min)
            quotient = min;
        return TruncateToInt32(quotient);
    });
}

bool CTxtTable::ScaleColumn(int32_t col, double factor, double max) {
    return RescaleColumn(col, [&](std::string_view cell) {
        double product = LeadingDecimal(cell) * factor;
        if (std::isnan(product) || product > max)
            product = max;
        return TruncateToInt32(product);
    });
}

bool CTxtTable::Save(const std::string& path) const {
    if (m_nColumns == 0)
        return false;
    // Written beside the old file and renamed over it, so a failed write keeps the old file.
    int cause = 0;
    if (!WriteFileAtomically(path, ToBytes(), false, &cause)) {
        if (m_pPrompts)
            m_pPrompts->ShowMessage(FileErrorText(cause));
        return false;
    }
    return true;
}

std::string CTxtTable::ToBytes() const {
    std::string out;
    out.reserve(m_text.size() - m_nGarbage + static_cast<size_t>(m_nRows) * 2 + 16);
    for (int32_t row = 0; row < m_nRows; ++row) {
        const Span* cells = &m_cells[static_cast<size_t>(row) * static_cast<size_t>(m_nColumns)];
        const RowRecord& record = m_rows[static_cast<size_t>(row)];
        const int32_t written = WrittenCells(row);
        const size_t lineStart = out.size();
        // A row whose cells lie one tab apart in the buffer, as loaded, goes out in one piece;
        // other rows are put together cell by cell. Changed cells can end up side by side in
        // the buffer too, so the byte between them must be a tab.
        bool asLoaded = true;
        for (int32_t col = 1; col < written && asLoaded; ++col)
            asLoaded = cells[col].offset == cells[col - 1].offset + cells[col - 1].length + 1 &&
                       m_text[cells[col].offset - 1] == '\t';
        if (asLoaded) {
            const Span& last = cells[written - 1];
            out.append(m_text, cells[0].offset, last.offset + last.length - cells[0].offset);
        } else {
            for (int32_t col = 0; col < written; ++col) {
                if (col > 0)
                    out.push_back('\t');
                out.append(m_text, cells[col].offset, cells[col].length);
            }
        }
        out.append(TextOf(record.surplus));
        // The last line has a line end only if the file had one, or if without one an empty
        // last line would not be read back as a row.
        if (row + 1 < m_nRows || m_bFinalLineEnd || (row > 0 && out.size() == lineStart))
            out.append(record.crLf ? "\r\n" : "\n");
    }

    return out;
}

std::string CTxtTable::FileErrorText(int cause) {
    static const char* const kTexts[] = {
        "No error occurred.",
        "An unspecified error occurred.",
        "The file could not be located.",
        "All or part of the path is invalid.",
        "The permitted number of open files was exceeded.",
        "The file could not be accessed.",
        "There was an attempt to use an invalid file handle.",
        "The current working directory cannot be removed.",
        "There are no more directory entries.",
        "There was an error trying to set the file pointer.",
        "There was a hardware error.",
        "Unable to save file, maybe in use by another process.",
        "There was an attempt to lock a region that was already locked.",
        "The disk is full.",
        "End of File.",
    };
    if (cause < 0 || cause > 14)
        return "";
    return kTexts[cause];
}
