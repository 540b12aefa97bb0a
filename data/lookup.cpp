// SPDX-License-Identifier: MIT
#include "lookup.h"

#include <cmath>

namespace quenrow {

std::optional<int> bracketingRow(const MaterialTable &table, double energy)
{
    int i = 1;
    while (i <= kRowCount && table.energy[i] < energy)
        ++i;
    if (i > kRowCount)
        return std::nullopt;
    return i == 1 ? 2 : i;
}

std::optional<double> interpolateTotal(const MaterialTable &table, double energy)
{
    // Written so that NaN fails the test as well.
    if (!(energy >= kLowestEnergy && energy <= kHighestEnergy))
        return std::nullopt;
    const auto upper = bracketingRow(table, energy);
    if (!upper)
        return std::nullopt;
    const int i = *upper;
    const double a = std::log(table.totalStoppingPower(i));
    const double b = std::log(table.totalStoppingPower(i - 1));
    const double c = std::log(table.energy[i]);
    const double d = std::log(table.energy[i - 1]);
    const double e = std::log(energy);
    // This order of evaluation is what makes a table energy give exactly its
    // own row's value: (c - e) is 0 there.
    const double product = (a - b) * (c - e);
    const double quotient = product / (c - d);
    const double total = std::exp(a - quotient);
    // Extended below row 1 of a table that starts high, the line can leave
    // the doubles: no value to show or to mark.
    if (!(total > 0) || !std::isfinite(total))
        return std::nullopt;
    return total;
}

} // namespace quenrow
