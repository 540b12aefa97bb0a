// SPDX-License-Identifier: MIT
// Quenrow: the one reader of a number typed or written as text.
#pragma once

#include <optional>
#include <string_view>

namespace quenrow {

enum class NumberStatus { Read, NotANumber, Overflow, Underflow };

struct NumberReading {
    NumberStatus status = NumberStatus::NotANumber;
    double value = 0; // overflow: +/-infinity; underflow: +/-0
};

// A whole token in decimal: an optional sign (a plus once), digits with an
// optional point, an optional exponent. No blanks, no locale, no "inf",
// "nan" or hexadecimal. A value past the doubles is told apart from one
// below the smallest.
NumberReading scanNumber(std::string_view token);

// scanNumber's value, or none when the token is not a number.
std::optional<double> readNumber(std::string_view token);

} // namespace quenrow
