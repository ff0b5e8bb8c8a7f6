#pragma once

#include "editors/TableLayout.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

// One unique item's magic properties: a property code, a parameter, a minimum and a maximum
// each. Every field is moved as text; nothing is converted to a number. The older table has ten
// properties and no parameters; the newer one twelve with a parameter each.
struct UniqueItemRecord {
    // The most properties a layout has.
    static constexpr size_t kProperties = 12;

    std::array<std::string, kProperties> codes;
    std::array<std::string, kProperties> parameters;
    std::array<std::string, kProperties> minimums;
    std::array<std::string, kProperties> maximums;

    // Resurrected only. The ladder seasons the item drops in, both "" for every game.
    std::string firstLadderSeason;
    std::string lastLadderSeason;
    // Whether a random unique roll may choose the item ("1"), and whether it never drops at all,
    // not even from a treasure class naming it ("1"); nothing when the table has no such column.
    std::optional<std::string> randomDrop;
    std::optional<std::string> disabled;
};

// The headers of the unique items table's columns the editor uses; property k counts from 0.
// Without a layout they are those of the 1.07 to 1.09 table.
struct UniqueItemsHeaders {
    static constexpr const char* kName = "name";

    static std::string Code(size_t k) { return "ItemMod" + std::to_string(k + 1) + "Code"; }
    static std::string Min(size_t k) { return "ItemMod" + std::to_string(k + 1) + "Min"; }
    static std::string Max(size_t k) { return "ItemMod" + std::to_string(k + 1) + "Max"; }

    // The 1.10 to 1.14d table names its items by "index" and numbers "prop", "par", "min" and
    // "max" from 1 to 12.
    static size_t Properties(TableLayout layout) {
        return HasColumnsOf110(layout) ? UniqueItemRecord::kProperties : 10;
    }
    static std::string Name(TableLayout layout) {
        return HasColumnsOf110(layout) ? "index" : kName;
    }
    static std::string Code(size_t k, TableLayout layout) {
        return HasColumnsOf110(layout) ? "prop" + std::to_string(k + 1) : Code(k);
    }
    // "" in the older layout: its parameter columns are never read nor written.
    static std::string Param(size_t k, TableLayout layout) {
        return HasColumnsOf110(layout) ? "par" + std::to_string(k + 1) : "";
    }
    static std::string Min(size_t k, TableLayout layout) {
        return HasColumnsOf110(layout) ? "min" + std::to_string(k + 1) : Min(k);
    }
    static std::string Max(size_t k, TableLayout layout) {
        return HasColumnsOf110(layout) ? "max" + std::to_string(k + 1) : Max(k);
    }

    // Resurrected's. The column of random drops is "spawnable" from its version 3.0 on,
    // "enabled" before; "disabled" came with 3.0 and means the opposite of a drop.
    static constexpr const char* kFirstLadderSeason = "firstLadderSeason";
    static constexpr const char* kLastLadderSeason = "lastLadderSeason";
    static constexpr std::array<const char*, 2> kRandomDrop = {"spawnable", "enabled"};
    static constexpr const char* kDisabled = "disabled";

    // Every header the editor reads and writes in a table of `layout`.
    static std::vector<std::string> Needed(TableLayout layout) {
        std::vector<std::string> headers{Name(layout)};
        for (size_t k = 0; k < Properties(layout); ++k) {
            headers.push_back(Code(k, layout));
            if (HasColumnsOf110(layout))
                headers.push_back(Param(k, layout));
            headers.push_back(Min(k, layout));
            headers.push_back(Max(k, layout));
        }
        if (layout == TableLayout::D2R) {
            headers.push_back(kFirstLadderSeason);
            headers.push_back(kLastLadderSeason);
        }
        return headers;
    }
};
