// SPDX-License-Identifier: MIT
#include "number_format.h"

#include "number_reader.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

// Everything here goes through <charconv>, which never looks at the C
// library's locale: Qt sets that locale from the user's environment, and a
// comma-decimal locale would otherwise leak into printf/strtod.

namespace quenrow {

namespace {

std::string toChars(double x, std::chars_format format, int precision)
{
    std::array<char, 400> buffer{}; // fixed notation of 1e308 needs 309 digits
    auto [end, ec] =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), x, format, precision);
    if (ec != std::errc{})
        return {};
    return std::string(buffer.data(), end);
}

// "1.5e+02" -> "1.5E+02"; to_chars already writes at least two exponent digits.
std::string upperExponent(std::string text)
{
    for (char &c : text)
        if (c == 'e')
            c = 'E';
    return text;
}

std::string nonFinite(double x)
{
    if (std::isnan(x))
        return "NaN";
    return x < 0 ? "-Infinity" : "Infinity";
}

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

} // namespace

std::string formatScientific(double x)
{
    if (!std::isfinite(x))
        return nonFinite(x);
    if (x == 0)
        x = 0; // drop the sign of -0: only x < 0 shows a minus
    return upperExponent(toChars(x, std::chars_format::scientific, 3));
}

std::string formatDensity(double x)
{
    if (!std::isfinite(x))
        return nonFinite(x);
    std::string text = toChars(std::fabs(x), std::chars_format::fixed, 6);
    // Trailing zeros of the 4th to 6th decimal are not shown.
    const std::size_t point = text.find('.');
    std::size_t keep = text.size();
    while (keep > point + 4 && text[keep - 1] == '0')
        --keep;
    text.resize(keep);
    return x < 0 ? "-" + text : text;
}

std::string formatGeneral(double x)
{
    if (!std::isfinite(x))
        return nonFinite(x);
    if (x == 0)
        return "0";
    return upperExponent(toChars(x, std::chars_format::general, 15));
}

double parseNumber(std::string_view text)
{
    std::string compact;
    compact.reserve(text.size());
    for (char c : text)
        if (c != ' ' && c != '\t' && c != '\n')
            compact += c;

    // Longest prefix of the form [sign] digits[.digits] [(E|D)[sign]digits],
    // which the strict reader then takes whole.
    std::size_t pos = 0;
    const std::size_t n = compact.size();
    if (pos < n && (compact[pos] == '+' || compact[pos] == '-'))
        ++pos;
    std::size_t digits = 0;
    while (pos < n && isDigit(compact[pos]))
        ++pos, ++digits;
    if (pos < n && compact[pos] == '.') {
        ++pos;
        while (pos < n && isDigit(compact[pos]))
            ++pos, ++digits;
    }
    if (digits == 0)
        return 0;
    std::string number = compact.substr(0, pos);
    if (pos < n && (compact[pos] == 'e' || compact[pos] == 'E' || compact[pos] == 'd' ||
                    compact[pos] == 'D')) {
        std::size_t expPos = pos + 1;
        std::string exponent = "e";
        if (expPos < n && (compact[expPos] == '+' || compact[expPos] == '-'))
            exponent += compact[expPos++];
        const std::size_t expDigitsStart = expPos;
        while (expPos < n && isDigit(compact[expPos]))
            exponent += compact[expPos++];
        if (expPos > expDigitsStart)
            number += exponent; // an exponent without digits is not part of the number
    }
    return readNumber(number).value_or(0);
}

} // namespace quenrow
