#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

class CTxtTable;

// One kind of monster slot of the levels table of game versions 1.10 to 1.14d: "mon1".. (the
// types of Normal), "nmon1".. (Nightmare and Hell) or "umon1".. (Normal's champions and
// uniques). A slot holds a monster's "Id" text, an empty slot is "". The slots are found by
// their headers, never by position (the count columns and "rangedspawn" sit among them), and
// there are as many as the headers run without a gap: mods add columns up to "mon25".
class CLevelSlotList {
public:
    static constexpr const char* kMonsters = "mon";
    static constexpr const char* kNightmareMonsters = "nmon";
    static constexpr const char* kBosses = "umon";
    // Every kind: a monster is in use when any of these holds it.
    static constexpr std::array<const char*, 3> kKinds = {kMonsters, kNightmareMonsters, kBosses};

    explicit CLevelSlotList(std::string prefix) : m_strPrefix(std::move(prefix)) {}

    // The number of slots an area has of this kind; 0 when the table has none.
    int32_t Slots(const CTxtTable& levels) const;
    // Clears `ids` and fills it with the area's non-empty slots in order, Ids the monster table
    // lacks included. False, leaving `ids` alone, when the row or the slots are missing.
    bool Get(int32_t area, std::vector<std::string>& ids, const CTxtTable& levels) const;
    // Entry i into slot i, the other slots "". False, writing nothing, when the row or the
    // slots are missing or there are more entries than slots.
    bool Set(int32_t area, const std::vector<std::string>& ids, CTxtTable& levels) const;
    // Whether a slot of this kind of any area holds `id` (ignoring ASCII case).
    bool Holds(std::string_view id, const CTxtTable& levels) const;

private:
    std::vector<int32_t> Columns(const CTxtTable& levels) const;

    std::string m_strPrefix;
};

// The levels table's other columns of the area locations in the 1.10 to 1.14d layout.
struct LevelsHeadersV110 {
    static constexpr const char* kName = "Name";
    // The area's name as the player sees it ("Blood Moor").
    static constexpr const char* kDisplayName = "LevelName";
    // The least and most bosses of an area, by difficulty: Normal, Nightmare, Hell.
    static constexpr std::array<const char*, 3> kMinBosses = {"MonUMin", "MonUMin(N)",
                                                              "MonUMin(H)"};
    static constexpr std::array<const char*, 3> kMaxBosses = {"MonUMax", "MonUMax(N)",
                                                              "MonUMax(H)"};
};
