// SPDX-License-Identifier: MIT
// Quenrow: number-to-text and text-to-number conversions shared by every window.
#pragma once

#include <string>
#include <string_view>

namespace quenrow {

// Mask "0.000E+00": one integer digit, three decimals, signed exponent of
// at least two digits.
std::string formatScientific(double x);

// Mask "#0.000###": at least three and at most six decimals.
std::string formatDensity(double x);

// Unmasked conversion: 15 significant digits, no trailing zeros, exponent
// form (1.2345E-05) only where the plain form would be unreadable.
std::string formatGeneral(double x);

// Leading-number conversion of typed text (the energy box's rule). Blanks,
// tabs and line feeds are removed first; the longest numeric prefix is read
// by readNumber; no prefix gives 0. A value beyond the range of a double
// gives +/-infinity, one below its smallest 0, never a crash.
double parseNumber(std::string_view text);

} // namespace quenrow
