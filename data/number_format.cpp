// SPDX-License-Identifier: MIT
#include "number_format.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

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

// For a number from_chars found out of range: true when it overflowed,
// false when it underflowed. Looks at where the first significant digit
// stands, shifted by the (saturated) exponent.
bool decimalExponentIsPositive(std::string_view number)
{
    long long position = 0; // decimal exponent of the first significant digit
    bool seenPoint = false;
    bool seenSignificant = false;
    std::size_t i = 0;
    for (; i < number.size() && number[i] != 'e'; ++i) {
        const char c = number[i];
        if (c == '.') {
            seenPoint = true;
        } else if (!seenSignificant && c == '0') {
            if (seenPoint)
                --position;
        } else if (!seenSignificant) {
            seenSignificant = true;
            if (seenPoint)
                --position;
        } else if (!seenPoint) {
            ++position;
        }
    }
    long long exponent = 0;
    bool negativeExponent = false;
    if (i < number.size()) {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-'))
            negativeExponent = number[i++] == '-';
        for (; i < number.size(); ++i)
            exponent = std::min<long long>(exponent * 10 + (number[i] - '0'), 1'000'000'000LL);
    }
    return position + (negativeExponent ? -exponent : exponent) > 0;
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

    // Longest prefix of the form [sign] digits[.digits] [(E|D)[sign]digits].
    std::size_t pos = 0;
    const std::size_t n = compact.size();
    bool negative = false;
    if (pos < n && (compact[pos] == '+' || compact[pos] == '-'))
        negative = compact[pos++] == '-';
    const std::size_t mantissaStart = pos;
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
    std::string number = compact.substr(mantissaStart, pos - mantissaStart);
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

    double value = 0;
    auto [end, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
    if (ec == std::errc::result_out_of_range)
        value = decimalExponentIsPositive(number) ? std::numeric_limits<double>::infinity() : 0.0;
    return negative ? -value : value;
}

} // namespace quenrow
