// SPDX-License-Identifier: MIT
// Quenrow: every column of a material's table at any energy, the energy for
// a range, linear units and the ratio to liquid water.
//
// Results are small structs; a lookup that cannot be answered returns a
// LookupError (or a message string) instead, never an extrapolated or stale
// number. Nothing here throws. A window holds the loaded Material and calls
// these on every keystroke:
//
//     const auto result = interpolateRow(*material, energy);
//     if (const auto *row = std::get_if<RowValues>(&result)) ...
//     else show(std::get<LookupError>(result).message);
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <variant>

#include "lookup.h"
#include "material.h"

namespace quenrow {

// The columns at one energy, in the table's mass units.
struct RowValues {
    double energy = 0;     // MeV
    double electronic = 0; // MeV cm2/g
    double nuclear = 0;    // MeV cm2/g
    double total = 0;      // MeV cm2/g; equals interpolateTotal at the same energy
    // g/cm2. None when the material's column is unavailable (a value in it is
    // not a positive finite number); rangeColumnProblem says why.
    std::optional<double> csdaRange;
    std::optional<double> projectedRange;
    std::optional<double> detourFactor; // the file's own column, as the ranges
};

enum class LookupFailure {
    OutOfRange,        // outside the table, or not a finite number
    ColumnUnavailable, // the range column holds a value that is not a positive finite number
    NotRising,         // the range column does not rise from row to row
};

struct LookupError {
    LookupFailure cause = LookupFailure::OutOfRange;
    std::string message; // one sentence for the user
};

// Every column at `energy` (MeV), each log-log between the two rows that
// bracket it as the energy entry does. Inside the table and 0.001..10000 MeV
// only, limits inclusive; anything else is OutOfRange, never extrapolated.
std::variant<RowValues, LookupError> interpolateRow(const Material &material, double energy);

// The energy whose CSDA or projected range is `range` (g/cm2), log-log
// between the two rows of that range column that bracket it, with every
// other column at that energy; the asked column holds `range` itself.
// Refused (ColumnUnavailable, NotRising) for a column that cannot be
// inverted; OutOfRange outside its first and last rows.
std::variant<RowValues, LookupError> energyForRange(const Material &material, RangeColumn column,
                                                    double range);

// Why interpolateRow leaves `column` out for this material (names the row),
// or none when every value in it is a positive finite number.
const ColumnProblem &rangeColumnProblem(const Material &material, RangeColumn column);

// "CSDA range", "projected range": for messages and headings.
const char *rangeColumnName(RangeColumn column);

// Linear units from the density (g/cm3).
inline constexpr double kKeVPerUmPerMeVPerCm = 0.1; // 1 MeV/cm = 0.1 keV/um
inline constexpr double kMmPerCm = 10;

struct LinearValues {
    double electronic = 0;                // MeV/cm
    double nuclear = 0;                   // MeV/cm
    double total = 0;                     // MeV/cm
    std::optional<double> csdaRange;      // cm
    std::optional<double> projectedRange; // cm
};

// Why this density gives no linear units, or none when it is a positive finite number.
std::optional<std::string> linearUnitsProblem(double density);

// The row in linear units; the reason as text when they are unavailable.
std::variant<LinearValues, std::string> toLinear(const RowValues &row, double density);

// A range in cm as the mass range (g/cm2) energyForRange takes.
std::variant<double, std::string> massRange(double centimetres, double density);

// Liquid water from the data folder, the reference of the ratios below; the
// reason as text when the file is absent or refused.
inline constexpr const char *kWaterFileName = "Water_liquid.psp";
using WaterReference = std::variant<MaterialPtr, std::string>;
WaterReference loadWater(const std::filesystem::path &dataDirectory);

// Total linear stopping power of the material over liquid water's at the
// row's energy (what proton therapy calls the relative stopping power).
std::variant<double, std::string> ratioToWater(const RowValues &row, double density,
                                               const WaterReference &water);

} // namespace quenrow
