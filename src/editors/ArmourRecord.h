#pragma once

#include <array>
#include <cstddef>
#include <string>

// One armour's editable cells of the armour table, as text exactly as the table holds them.
struct ArmourRecord {
    static constexpr size_t kFieldCount = 13;
    enum Field : size_t {
        InvFile = 0, // names the inventory picture
        Absorbs,
        MinAc,
        MaxAc,
        Speed, // the weight
        ReqStr,
        Block,
        Durability,
        GemSockets,
        MinDam,
        MaxDam,
        InvWidth, // inventory cells across
        InvHeight,
    };

    std::array<std::string, kFieldCount> fields;
};

// The one place that names the armour table's columns, by record field.
struct ArmourHeaders {
    // clang-format off
    static constexpr std::array<const char*, ArmourRecord::kFieldCount> kFields = {
        "invfile", "absorbs", "minac", "maxac", "speed", "reqstr", "block",
        "durability", "gemsockets", "mindam", "maxdam", "invwidth", "invheight",
    };
    // clang-format on
    static constexpr const char* kName = "name";
    static constexpr const char* kCode = "code";
    // Set to "1" whenever the item may carry sockets.
    static constexpr const char* kHasInv = "hasinv";
};
