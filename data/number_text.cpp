// SPDX-License-Identifier: MIT
#include "number_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "number_format.h"

namespace quenrow {

namespace {

// Digits only: a precision of 0 asks for the shortest round trip.
void append(std::string &out, double x, int precision)
{
    char text[64];
    const auto end =
        precision > 0
            ? std::to_chars(text, text + sizeof text, x, std::chars_format::general, precision).ptr
            : std::to_chars(text, text + sizeof text, x).ptr;
    out.append(text, end);
}

} // namespace

void appendShortest(std::string &out, double x)
{
    append(out, x, 0);
}

void appendSignificant(std::string &out, double x, int digits)
{
    append(out, x, std::clamp(digits, 1, 17));
}

std::string exactText(double x)
{
    if (!std::isfinite(x) || x == 0)
        return formatGeneral(x);
    std::string text;
    for (int digits = 15; digits <= 17; ++digits) {
        text.clear();
        append(text, x, digits);
        double back = 0;
        std::from_chars(text.data(), text.data() + text.size(), back);
        if (back == x)
            break;
    }
    std::replace(text.begin(), text.end(), 'e', 'E');
    return text;
}

} // namespace quenrow
