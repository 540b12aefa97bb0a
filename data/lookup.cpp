// SPDX-License-Identifier: MIT
#include "lookup.h"

#include <algorithm>
#include <cmath>

namespace quenrow {

std::optional<int> bracketingRow(const TableColumn &xs, double x)
{
    // Loaded columns ascend, so this is the row a scan from row 1 stops at.
    const auto found = std::lower_bound(xs.begin() + 1, xs.end(), x);
    if (found == xs.end())
        return std::nullopt;
    const int row = static_cast<int>(found - xs.begin());
    return row == 1 ? 2 : row;
}

std::optional<int> bracketingRow(const MaterialTable &table, double energy)
{
    return bracketingRow(table.energy, energy);
}

Bracket bracketAt(const TableColumn &xs, int upper, double x)
{
    Bracket bracket;
    bracket.upper = upper;
    bracket.exactRow = xs[upper] == x ? upper : xs[upper - 1] == x ? upper - 1 : 0;
    bracket.c = std::log(xs[upper]);
    bracket.d = std::log(xs[upper - 1]);
    bracket.e = std::log(x);
    return bracket;
}

double interpolateColumn(const Bracket &bracket, const TableColumn &ys)
{
    // exp(ln y) can miss y by a few units in the last place; a table row is
    // shown as the file gives it.
    if (bracket.exactRow)
        return ys[bracket.exactRow];
    const int i = bracket.upper;
    const double a = std::log(ys[i]);
    const double b = std::log(ys[i - 1]);
    const double product = (a - b) * (bracket.c - bracket.e);
    const double quotient = product / (bracket.c - bracket.d);
    return std::exp(a - quotient);
}

std::optional<double> interpolateTotal(const Material &material, double energy)
{
    const MaterialTable &table = material.table;
    // Written so that NaN fails the test as well.
    if (!(energy >= kLowestEnergy && energy <= kHighestEnergy))
        return std::nullopt;
    const auto upper = bracketingRow(table, energy);
    if (!upper)
        return std::nullopt;
    const double total =
        interpolateColumn(bracketAt(table.energy, *upper, energy), table.stoppingPower[3]);
    // Extended below row 1 of a table that starts high, the line can leave
    // the doubles: no value to show or to mark.
    if (!(total > 0) || !std::isfinite(total))
        return std::nullopt;
    return total;
}

} // namespace quenrow
