#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// 256 colours of 3 bytes each. Palette files and the built-in table hold blue, green, red; a
// conversion run swaps its own copy into red, green, blue for the PCX files it writes.
constexpr size_t kPaletteSize = 768;
using Palette = std::array<uint8_t, kPaletteSize>;

// The built-in palette, used when a run is given no palette file. Never changed.
extern const Palette kBuiltinPalette;
