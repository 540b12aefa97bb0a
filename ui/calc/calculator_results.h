// SPDX-License-Identifier: MIT
// Quenrow: what the calculator window shows and copies for one looked-up
// row, as text. Plain C++, so the window and its copy cannot disagree.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "data/calculator.h"

namespace quenrow {

// The result block's rows, top to bottom.
enum class Quantity {
    Energy,
    Electronic,
    Nuclear,
    Total,
    CsdaRange,
    ProjectedRange,
    DetourFactor,
    RatioToWater,
};
inline constexpr int kQuantityCount = 8;

// The unit sets, left to right: the table's mass units, then two linear ones.
inline constexpr int kUnitColumns = 3;

struct QuantityLayout {
    const char *name;  // as the user reads it
    const char *key;   // object names: "<key>Value<column>"
    std::array<const char *, kUnitColumns> units; // null: no such column
};

extern const std::array<QuantityLayout, kQuantityCount> kQuantityLayout;

// The block for one row: formatted values (none where the column is
// unavailable) and one sentence for each reason something is missing.
struct CalculatorResults {
    std::array<std::array<std::optional<std::string>, kUnitColumns>, kQuantityCount> values;
    std::vector<std::string> notes;

    const std::optional<std::string> &at(Quantity q, int column) const
    {
        return values[static_cast<int>(q)][column];
    }
};

CalculatorResults describeResults(const MaterialTable &table, double density,
                                  const RowValues &row, const WaterReference &water);

// Tab-separated: a header line, the material and its density, then one line
// per value with its unit, as a spreadsheet takes it. Missing values read "n/a".
std::string resultsAsTabSeparated(const std::string &materialName, double density,
                                  const CalculatorResults &results);

// The range the range box shows for `row`: the chosen column in g/cm2 or cm.
std::optional<double> shownRange(const RowValues &row, RangeColumn column, bool centimetres,
                                 double density);

} // namespace quenrow
