// SPDX-License-Identifier: MIT
// Quenrow: numbers as text that says exactly which double they are.
#pragma once

#include <string>

namespace quenrow {

// Appends the shortest text that reads back as the same double
// ("8.440669999999999", "1e+09"); for files, never locale-dependent.
void appendShortest(std::string &out, double x);

// Appends x rounded to `digits` significant digits (1 to 17), in the same
// style ("8.441", "1e+09").
void appendSignificant(std::string &out, double x, int digits);

// For messages: formatGeneral's style ("1000000000", "1E-20") with as many
// digits as it takes to read back as the same double, so that a refused
// 0.0009999999999999998 is not shown as the limit 0.001.
std::string exactText(double x);

} // namespace quenrow
