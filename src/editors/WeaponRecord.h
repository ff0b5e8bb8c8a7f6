#pragma once

#include <array>
#include <cstddef>
#include <string>

// One weapon's editable cells of the weapon table, as text exactly as the table holds them.
struct WeaponRecord {
    static constexpr size_t kFieldCount = 15;
    enum Field : size_t {
        MinDam = 0,
        MaxDam,
        TwoHandMinDam,
        TwoHandMaxDam,
        RangeAdder,
        Speed,
        MinMisDam,
        MaxMisDam,
        ReqStr,
        ReqDex,
        Durability,
        TwoHanded, // "1" when the weapon takes both hands
        InvFile,   // names the inventory picture
        InvWidth,
        InvHeight,
    };

    std::array<std::string, kFieldCount> fields;
};

// The one place that names the weapon table's columns, by record field.
struct WeaponHeaders {
    // clang-format off
    static constexpr std::array<const char*, WeaponRecord::kFieldCount> kFields = {
        "mindam", "maxdam", "2handmindam", "2handmaxdam", "rangeadder", "speed",
        "minmisdam", "maxmisdam", "reqstr", "reqdex", "durability", "2Handed",
        "invfile", "invwidth", "invheight",
    };
    // clang-format on
    // Tables that have it keep the speed here; "speed" is then another value.
    static constexpr const char* kSpeedFirst = "weaponspeedenum";
    static constexpr const char* kName = "name";
    static constexpr const char* kCode = "code";
};
