#include "library/number_text.h"

#include <charconv>
#include <cmath>

namespace orvo {

std::string FormatFixed(double value, int decimals) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    if (std::isinf(value)) return std::signbit(value) ? "-inf" : "inf";
    // The largest double has 309 integer digits.
    char buf[400];
    auto result = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
    return std::string(buf, result.ptr);
}

std::string FormatFixed6(double value) {
    return FormatFixed(value, 6);
}

}  // namespace orvo
