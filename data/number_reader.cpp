// SPDX-License-Identifier: MIT
#include "number_reader.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace quenrow {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

// For a well-formed unsigned number that from_chars found out of range: the
// decimal exponent of its first significant digit, the written exponent
// saturated, decides between too large and too small.
bool overflows(std::string_view number)
{
    long long position = 0;
    bool seenPoint = false, seenSignificant = false;
    std::size_t i = 0;
    for (; i < number.size() && number[i] != 'e' && number[i] != 'E'; ++i) {
        const char c = number[i];
        if (c == '.')
            seenPoint = true;
        else if (!seenSignificant && c == '0')
            position -= seenPoint;
        else if (!seenSignificant)
            seenSignificant = true, position -= seenPoint;
        else if (!seenPoint)
            ++position;
    }
    long long exponent = 0;
    bool negative = false;
    if (i < number.size()) {
        ++i;
        if (i < number.size() && (number[i] == '+' || number[i] == '-'))
            negative = number[i++] == '-';
        for (; i < number.size(); ++i)
            exponent = std::min<long long>(exponent * 10 + (number[i] - '0'), 1'000'000'000LL);
    }
    return position + (negative ? -exponent : exponent) >= 0;
}

} // namespace

NumberReading scanNumber(std::string_view token)
{
    bool negative = false;
    if (!token.empty() && (token.front() == '+' || token.front() == '-')) {
        negative = token.front() == '-';
        token.remove_prefix(1);
    }
    // from_chars would take "inf", "nan" and a second sign; a number starts
    // with a digit or a point.
    if (token.empty() || !(isDigit(token.front()) || token.front() == '.'))
        return {};
    double value = 0;
    const char *last = token.data() + token.size();
    const auto [end, error] =
        std::from_chars(token.data(), last, value, std::chars_format::general);
    if (end != last || error == std::errc::invalid_argument)
        return {};
    const double sign = negative ? -1.0 : 1.0;
    if (error == std::errc::result_out_of_range) {
        if (overflows(token))
            return {NumberStatus::Overflow, sign * std::numeric_limits<double>::infinity()};
        return {NumberStatus::Underflow, sign * 0.0};
    }
    return {NumberStatus::Read, sign * value};
}

std::optional<double> readNumber(std::string_view token)
{
    const NumberReading reading = scanNumber(token);
    if (reading.status == NumberStatus::NotANumber)
        return std::nullopt;
    return reading.value;
}

} // namespace quenrow
