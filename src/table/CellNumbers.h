#pragma once

#include <cstdint>
#include <string_view>

// Cell text read as numbers the way the game's own reader does (atoi, atof), held to the
// 32-bit range instead of wrapping or being undefined. In a namespace of their own, as the
// editors have a LeadingInteger of another kind.
namespace TableNumbers {

// The leading integer of a cell as atoi reads it, held to the 32-bit range.
int32_t LeadingInteger(std::string_view text);

// The leading decimal number of a cell as atof reads it: sign, digits, fraction, exponent.
// Words such as "inf" or "nan" and hexadecimal forms are not numbers here.
double LeadingDecimal(std::string_view text);

// Truncates toward zero, holding the value to the 32-bit range (the cast alone is undefined
// for values outside it).
int32_t TruncateToInt32(double value);

int32_t ClampToInt32(int64_t value);

} // namespace TableNumbers
