#include "model/TableDiff.h"

#include "table/TxtTable.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

// Pairs items by text, the n-th item of a text on one side with the n-th of the same text on the
// other. Items are numbered from `first` (1 for rows, under the header; 0 for columns). Fills,
// per item of each side, the other side's item or -1.
template <typename BaseText, typename ModText>
void PairByText(int32_t first, int32_t baseCount, BaseText baseText, int32_t modCount,
                ModText modText, std::vector<int32_t>& modOfBase, std::vector<int32_t>& baseOfMod) {
    modOfBase.assign(static_cast<size_t>(std::max(baseCount, 0)), -1);
    baseOfMod.assign(static_cast<size_t>(std::max(modCount, 0)), -1);
    if (baseCount <= first || modCount <= first)
        return;
    // The game's items grouped by text in one flat array (a counting sort), so that a table of
    // thousands of rows costs one hash lookup per row and no allocation per key.
    std::unordered_map<std::string_view, int32_t> idOfText;
    idOfText.reserve(static_cast<size_t>(baseCount));
    std::vector<int32_t> idOfItem(static_cast<size_t>(baseCount), -1);
    std::vector<int32_t> itemsOfId; // per id: how many items, then where its items start
    for (int32_t item = first; item < baseCount; ++item) {
        auto [it, added] =
            idOfText.try_emplace(baseText(item), static_cast<int32_t>(itemsOfId.size()));
        if (added)
            itemsOfId.push_back(0);
        idOfItem[static_cast<size_t>(item)] = it->second;
        ++itemsOfId[static_cast<size_t>(it->second)];
    }
    int32_t start = 0;
    for (int32_t& slot : itemsOfId)
        start += std::exchange(slot, start);
    std::vector<int32_t> itemsInOrder(static_cast<size_t>(start));
    std::vector<int32_t> next = itemsOfId; // per id: where its next unpaired item is
    for (int32_t item = first; item < baseCount; ++item)
        itemsInOrder[static_cast<size_t>(
            next[static_cast<size_t>(idOfItem[static_cast<size_t>(item)])]++)] = item;
    const auto end = [&](int32_t id) {
        return static_cast<size_t>(id) + 1 < itemsOfId.size()
                   ? itemsOfId[static_cast<size_t>(id) + 1]
                   : static_cast<int32_t>(itemsInOrder.size());
    };
    next = itemsOfId;
    for (int32_t item = first; item < modCount; ++item) {
        auto found = idOfText.find(modText(item));
        if (found == idOfText.end())
            continue;
        int32_t& at = next[static_cast<size_t>(found->second)];
        if (at == end(found->second))
            continue;
        const int32_t baseItem = itemsInOrder[static_cast<size_t>(at++)];
        modOfBase[static_cast<size_t>(baseItem)] = item;
        baseOfMod[static_cast<size_t>(item)] = baseItem;
    }
}

std::string Counted(int64_t count, const char* one, const char* many) {
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

} // namespace

CTableDiff CTableDiff::Compare(const CTxtTable& base, const CTxtTable& mod) {
    CTableDiff diff;
    std::vector<int32_t> baseColOfMod, baseRowOfMod;
    PairByText(
        0, base.Columns(), [&](int32_t col) { return base.CellView(col, 0); }, mod.Columns(),
        [&](int32_t col) { return mod.CellView(col, 0); }, diff.m_modColOfBase, baseColOfMod);
    PairByText(
        1, base.Rows(), [&](int32_t row) { return base.CellView(0, row); }, mod.Rows(),
        [&](int32_t row) { return mod.CellView(0, row); }, diff.m_modRowOfBase, baseRowOfMod);

    struct ColumnPair {
        int32_t modCol, baseCol;
    };
    std::vector<ColumnPair> columns;
    for (int32_t col = 0; col < mod.Columns(); ++col) {
        if (const int32_t baseCol = baseColOfMod[static_cast<size_t>(col)]; baseCol >= 0)
            columns.push_back({col, baseCol});
        else
            diff.addedColumns.push_back(col);
    }
    for (int32_t col = 0; col < base.Columns(); ++col)
        if (diff.m_modColOfBase[static_cast<size_t>(col)] < 0)
            diff.removedColumns.push_back(col);

    for (int32_t row = 1; row < mod.Rows(); ++row) {
        const int32_t baseRow = baseRowOfMod[static_cast<size_t>(row)];
        if (baseRow < 0) {
            diff.addedRows.push_back(row);
            continue;
        }
        Row changed{row, baseRow, {}};
        for (const ColumnPair& pair : columns) {
            const std::string_view modText = mod.CellView(pair.modCol, row);
            const std::string_view baseText = base.CellView(pair.baseCol, baseRow);
            // Lengths first: most cells differ in length when they differ at all.
            if (modText.size() != baseText.size() ||
                (!modText.empty() &&
                 std::memcmp(modText.data(), baseText.data(), modText.size()) != 0))
                changed.cells.push_back(
                    {pair.modCol, pair.baseCol, std::string(baseText), std::string(modText)});
        }
        if (!changed.cells.empty()) {
            diff.counts.cells += static_cast<int64_t>(changed.cells.size());
            diff.changedRows.push_back(std::move(changed));
        }
    }
    for (int32_t row = 1; row < base.Rows(); ++row)
        if (diff.m_modRowOfBase[static_cast<size_t>(row)] < 0)
            diff.removedRows.push_back(row);

    diff.counts.rowsAdded = static_cast<int32_t>(diff.addedRows.size());
    diff.counts.rowsRemoved = static_cast<int32_t>(diff.removedRows.size());
    diff.counts.columnsAdded = static_cast<int32_t>(diff.addedColumns.size());
    diff.counts.columnsRemoved = static_cast<int32_t>(diff.removedColumns.size());
    return diff;
}

const CTableDiff::Row* CTableDiff::ChangedRow(int32_t modRow) const {
    auto it = std::lower_bound(changedRows.begin(), changedRows.end(), modRow,
                               [](const Row& row, int32_t wanted) { return row.modRow < wanted; });
    return it != changedRows.end() && it->modRow == modRow ? &*it : nullptr;
}

int32_t CTableDiff::ModColumnOf(int32_t baseCol) const {
    return baseCol >= 0 && static_cast<size_t>(baseCol) < m_modColOfBase.size()
               ? m_modColOfBase[static_cast<size_t>(baseCol)]
               : -1;
}

int32_t CTableDiff::ModRowOf(int32_t baseRow) const {
    return baseRow >= 0 && static_cast<size_t>(baseRow) < m_modRowOfBase.size()
               ? m_modRowOfBase[static_cast<size_t>(baseRow)]
               : -1;
}

int32_t CTableDiff::PutBackRow(int32_t baseRow) const {
    for (int32_t row = std::min<int32_t>(baseRow, static_cast<int32_t>(m_modRowOfBase.size())) - 1;
         row >= 1; --row)
        if (const int32_t modRow = m_modRowOfBase[static_cast<size_t>(row)]; modRow >= 0)
            return modRow + 1;
    return 1;
}

std::string ChangesSummary(std::span<const CTableDiff> diffs) {
    int64_t tables = 0;
    CTableDiff::Counts total;
    for (const CTableDiff& diff : diffs) {
        if (!diff.Differs())
            continue;
        ++tables;
        total.cells += diff.counts.cells;
        total.rowsAdded += diff.counts.rowsAdded;
        total.rowsRemoved += diff.counts.rowsRemoved;
    }
    if (tables == 0)
        return "No table differs from the game's.";
    std::string text = Counted(tables, "table differs", "tables differ") +
                       " from the game's: " + Counted(total.cells, "cell", "cells") + ", " +
                       Counted(total.rowsAdded, "row added", "rows added");
    if (total.rowsRemoved > 0)
        text += ", " + Counted(total.rowsRemoved, "row removed", "rows removed");
    return text;
}
