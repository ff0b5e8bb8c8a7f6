#include "table/CellNumbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

namespace {

constexpr int64_t kInt32Min = std::numeric_limits<int32_t>::min();
constexpr int64_t kInt32Max = std::numeric_limits<int32_t>::max();

} // namespace

namespace TableNumbers {

int32_t LeadingInteger(std::string_view text) {
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && text[i] == '-') {
        negative = true;
        ++i;
    }
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        if (value <= kInt32Max + 1)
            value = value * 10 + (text[i] - '0');
    }
    if (negative)
        value = -value;
    if (value > kInt32Max)
        return static_cast<int32_t>(kInt32Max);
    if (value < kInt32Min)
        return static_cast<int32_t>(kInt32Min);
    return static_cast<int32_t>(value);
}

namespace {

// The power of ten of the first non-zero digit of a decimal number ("120" 2, "0.05" -2,
// "3e-7" -7), held to +-2^40 so that long runs of digits and huge exponents cannot overflow.
// 0 for a number without a non-zero digit.
int64_t DecimalMagnitude(std::string_view number) {
    constexpr int64_t kLimit = int64_t{1} << 40;
    size_t i = 0;
    if (i < number.size() && (number[i] == '-' || number[i] == '+'))
        ++i;
    const size_t exponentAt = number.find_first_of("eE", i);
    const size_t mantissaEnd = exponentAt == std::string_view::npos ? number.size() : exponentAt;
    const size_t point = number.find('.', i);
    const size_t integerEnd = point == std::string_view::npos ? mantissaEnd : point;
    int64_t position = static_cast<int64_t>(integerEnd - i) - 1; // the power of the digit at i
    int64_t magnitude = 0;
    bool found = false;
    for (; i < mantissaEnd && !found; ++i) {
        if (number[i] == '.')
            continue;
        if (number[i] != '0') {
            magnitude = position;
            found = true;
        }
        --position;
    }
    if (!found)
        return 0;
    if (exponentAt != std::string_view::npos) {
        size_t e = exponentAt + 1;
        bool negative = e < number.size() && number[e] == '-';
        if (e < number.size() && (number[e] == '-' || number[e] == '+'))
            ++e;
        int64_t exponent = 0;
        for (; e < number.size() && number[e] >= '0' && number[e] <= '9'; ++e)
            exponent = std::min(kLimit, exponent * 10 + (number[e] - '0'));
        magnitude += negative ? -exponent : exponent;
    }
    return std::clamp(magnitude, -kLimit, kLimit);
}

} // namespace

double LeadingDecimal(std::string_view text) {
    size_t i = 0;
    auto digits = [&] {
        size_t start = i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9')
            ++i;
        return i - start;
    };
    if (i < text.size() && text[i] == '-')
        ++i;
    size_t mantissa = digits();
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += digits();
    }
    if (mantissa == 0)
        return 0.0;
    size_t end = i;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            ++i;
        if (digits() > 0)
            end = i;
    }
    double value = 0.0;
    std::string_view number = text.substr(0, end);
    auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // from_chars leaves the value alone out of range; atof gives zero for a value too small
        // and infinity for one too large. Which one it is follows from the number's magnitude.
        bool negative = number.front() == '-';
        return DecimalMagnitude(number) < 0 ? (negative ? -0.0 : 0.0)
                                            : (negative ? -HUGE_VAL : HUGE_VAL);
    }
    return value;
}

int32_t TruncateToInt32(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(kInt32Max))
        return static_cast<int32_t>(kInt32Max);
    if (value <= static_cast<double>(kInt32Min))
        return static_cast<int32_t>(kInt32Min);
    return static_cast<int32_t>(value);
}

int32_t ClampToInt32(int64_t value) {
    if (value > kInt32Max)
        return static_cast<int32_t>(kInt32Max);
    if (value < kInt32Min)
        return static_cast<int32_t>(kInt32Min);
    return static_cast<int32_t>(value);
}

} // namespace TableNumbers
