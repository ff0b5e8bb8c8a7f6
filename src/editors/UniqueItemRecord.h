#pragma once

#include <array>
#include <cstddef>
#include <string>

// One unique item's ten magic properties: a property code, a minimum and a maximum each. Every
// field is moved as text; nothing is converted to a number.
struct UniqueItemRecord {
    static constexpr size_t kProperties = 10;

    std::array<std::string, kProperties> codes;
    std::array<std::string, kProperties> minimums;
    std::array<std::string, kProperties> maximums;
};

// The headers of the unique items table's columns the editor uses; property k counts from 0.
struct UniqueItemsHeaders {
    static constexpr const char* kName = "name";

    static std::string Code(size_t k) { return "ItemMod" + std::to_string(k + 1) + "Code"; }
    static std::string Min(size_t k) { return "ItemMod" + std::to_string(k + 1) + "Min"; }
    static std::string Max(size_t k) { return "ItemMod" + std::to_string(k + 1) + "Max"; }
};
