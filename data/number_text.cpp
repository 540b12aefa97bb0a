// SPDX-License-Identifier: MIT
#include "number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "number_format.h"

namespace quenrow {

namespace {

std::string chars(double x, int precision)
{
    char text[64];
    const auto end = precision > 0
                         ? std::to_chars(text, text + sizeof text, x,
                                         std::chars_format::general, precision)
                               .ptr
                         : std::to_chars(text, text + sizeof text, x).ptr;
    return std::string(text, end);
}

} // namespace

std::string shortestText(double x)
{
    return chars(x, 0);
}

std::string significantText(double x, int digits)
{
    return chars(x, std::clamp(digits, 1, 17));
}

std::string exactText(double x)
{
    if (!std::isfinite(x) || x == 0)
        return formatGeneral(x);
    std::string text;
    for (int digits = 15; digits <= 17; ++digits) {
        text = chars(x, digits);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (back == x)
            break;
    }
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

} // namespace quenrow
