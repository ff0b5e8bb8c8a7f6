// The table reader on any bytes: it must never read outside the file, it must write back every
// byte it read, and what it writes after edits must read back to the same table (a second load
// and save gives the same bytes).
#include "table/TxtTable.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    CTxtTable table;
    if (!table.LoadFromBytes(bytes))
        return 0;
    if (table.ToBytes() != bytes)
        std::abort();
    // Change a few cells with text from the input, as editors do.
    for (size_t i = 0; i + 2 < size && i < 64; i += 3)
        table.SetCell(data[i] % (table.Columns() + 1), data[i + 1] % (table.Rows() + 1),
                      std::string(data[i + 2] % 8, static_cast<char>('a' + data[i] % 26)));
    // Rows inserted, duplicated and deleted, as the grid does.
    if (size >= 2) {
        const int32_t row = 1 + data[0] % table.Rows();
        table.InsertRow(row, std::vector<std::string>(data[1] % (table.Columns() + 2), "r"));
        table.RestoreRow(row, table.RowCells(row - 1), table.RowEndsWithCrLf(row - 1));
        table.RemoveRow(1 + data[1] % table.Rows());
    }
    table.MultiplyColumn(0, 3, 1000);
    table.ScaleColumn(table.Columns() - 1, 1.5, 1e9);
    std::string saved = table.ToBytes();

    CTxtTable again;
    if (!again.LoadFromBytes(saved) || again.ToBytes() != saved || again.Rows() != table.Rows() ||
        again.Columns() != table.Columns())
        std::abort();
    return 0;
}
