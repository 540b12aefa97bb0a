// SPDX-License-Identifier: MIT
// Quenrow: the total stopping power at a typed energy.
#pragma once

#include <optional>

#include "material_file.h"

namespace quenrow {

inline constexpr double kLowestEnergy = 0.001;  // MeV, inclusive
inline constexpr double kHighestEnergy = 10000; // MeV, inclusive

// Upper row i of the pair (i - 1, i) that brackets `energy`: the first row
// whose energy is >= it, and at least 2. None when `energy` lies above the
// last row, so a table ending below 10000 MeV never reads past row 132.
std::optional<int> bracketingRow(const MaterialTable &table, double energy);

// Log-log interpolation of the total stopping power, anchored at the upper
// row. None when the energy is outside 0.001..10000 MeV, above the table, or
// where the result is not a positive finite number.
std::optional<double> interpolateTotal(const MaterialTable &table, double energy);

} // namespace quenrow
