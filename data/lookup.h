// SPDX-License-Identifier: MIT
// Quenrow: log-log interpolation between two table rows, and the total
// stopping power at a typed energy.
#pragma once

#include <array>
#include <optional>

#include "material.h"

namespace quenrow {

inline constexpr double kLowestEnergy = 0.001;  // MeV, inclusive
inline constexpr double kHighestEnergy = 10000; // MeV, inclusive

// One column of a MaterialTable: energy, stoppingPower[c] or range[c].
using TableColumn = std::array<double, kRowCount + 1>;

// Upper row i of the pair (i - 1, i) that brackets `x` in the ascending
// column `xs`: the first row whose value is >= x, and at least 2. None when
// `x` lies above the last row, so the search never reads past row 132.
std::optional<int> bracketingRow(const TableColumn &xs, double x);
std::optional<int> bracketingRow(const MaterialTable &table, double energy);

// A bracketing pair and the logarithms every interpolated column shares:
// c = ln x(i), d = ln x(i - 1), e = ln x.
struct Bracket {
    int upper = 2;
    int exactRow = 0; // the row whose value is x itself, 0 when none is
    double c = 0;
    double d = 0;
    double e = 0;
};

Bracket bracketAt(const TableColumn &xs, int upper, double x);

// ys at the bracket's x, log-log between rows i - 1 and i, anchored at row i,
// evaluated in the energy entry's order; row i - 1's and i's own values at x
// equal to theirs. Below row 1 (upper 2, x < x(1)) the line is extended.
double interpolateColumn(const Bracket &bracket, const TableColumn &ys);

// The total stopping power through interpolateColumn. None when the energy is
// outside 0.001..10000 MeV, above the table, or where the result is not a
// positive finite number.
std::optional<double> interpolateTotal(const Material &material, double energy);

} // namespace quenrow
