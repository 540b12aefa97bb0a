// SPDX-License-Identifier: MIT
// Quenrow: what the calculator window shows and copies for one looked-up
// row, as text. Plain C++, so the window and its copy cannot disagree.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "calculator.h"

namespace quenrow {

// The result block's rows, top to bottom: the quantities of a table row in
// their order, then the ratio to water.
enum class ResultRow {
    Energy,
    Electronic,
    Nuclear,
    Total,
    CsdaRange,
    ProjectedRange,
    DetourFactor,
    RatioToWater,
};
inline constexpr int kResultRowCount = 8;

// The unit sets, left to right: the table's mass units, then two linear ones.
inline constexpr int kUnitColumns = 3;

struct ResultRowLayout {
    const char *name;                             // as the user reads it
    const char *key;                              // object names: "<key>Value<column>"
    std::array<const char *, kUnitColumns> units; // null: no such column
};

// Names and units from the one list of quantities.
const std::array<ResultRowLayout, kResultRowCount> &resultRows();

// The block for one row: formatted values (none where the column is
// unavailable) and one sentence for each reason something is missing.
struct CalculatorResults {
    std::array<std::array<std::optional<std::string>, kUnitColumns>, kResultRowCount> values;
    std::vector<std::string> notes;

    const std::optional<std::string> &at(ResultRow q, int column) const
    {
        return values[static_cast<int>(q)][column];
    }
};

CalculatorResults describeResults(const Material &material, const RowValues &row,
                                  const WaterReference &water);

// Tab-separated: a header line, the material and its density (the text to
// show, in g/cm3), then one line per value with its unit, as a spreadsheet
// takes it. Missing values read "n/a".
std::string resultsAsTabSeparated(const std::string &materialName, const std::string &density,
                                  const CalculatorResults &results);

// A number typed into a box that shows `unit` beside it: the whole text,
// blanks around it allowed, is one number, optionally followed by that unit
// ("150 MeV"). None for anything else ("1 5", "150abc", "1,5", "inf").
std::optional<double> readTypedNumber(std::string_view text, std::string_view unit);

// What the calculator says when readTypedNumber refuses `text`.
std::string notANumber(std::string_view text);

// The range the range box shows for `row`: the chosen column in g/cm2 or cm.
std::optional<double> shownRange(const RowValues &row, RangeColumn column, bool centimetres,
                                 double density);

} // namespace quenrow
