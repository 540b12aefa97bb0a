// SPDX-License-Identifier: MIT
#include "calculator.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <system_error>

#include "number_format.h"
#include "number_text.h"

namespace quenrow {

namespace {

// The value with the digits it takes to differ from the limit it passed.
// A table reaching past the energies looked up is named with its own ends.
LookupError outOfRange(const char *what, double value, const char *unit, double low, double high,
                       double first, double last)
{
    if (std::isnan(value))
        return {LookupFailure::OutOfRange, std::string("The ") + what + " is not a number."};
    const std::string start = std::string("The ") + what + " " + exactText(value) + " " + unit;
    const std::string limits = exactText(low) + " to " + exactText(high) + " " + unit;
    if (low == first && high == last)
        return {LookupFailure::OutOfRange, start + " is outside the table (" + limits + ")."};
    return {LookupFailure::OutOfRange, start + " is outside the energies looked up (" + limits +
                                           "; the table runs from " + exactText(first) + " to " +
                                           exactText(last) + " " + unit + ")."};
}

std::optional<double> inColumn(const Bracket &bracket, const TableColumn &ys, bool available)
{
    if (!available)
        return std::nullopt;
    return interpolateColumn(bracket, ys);
}

// Every column at `energy`; a range column only where the material has it.
RowValues rowAt(const Material &material, const Bracket &bracket, double energy, bool csda,
                bool projected)
{
    const MaterialTable &table = material.table;
    RowValues row;
    row.energy = energy;
    row.electronic = interpolateColumn(bracket, table.stoppingPower[1]);
    row.nuclear = interpolateColumn(bracket, table.stoppingPower[2]);
    row.total = interpolateColumn(bracket, table.stoppingPower[3]);
    row.csdaRange = inColumn(bracket, table.range[1], csda && !material.csdaRange);
    row.projectedRange = inColumn(bracket, table.range[2], projected && !material.projectedRange);
    row.detourFactor = inColumn(bracket, table.detourFactor, !material.detourFactor);
    return row;
}

// The accepted energies: the energy entry's limits, narrowed to the table.
double lowestEnergy(const MaterialTable &table)
{
    return std::max(kLowestEnergy, table.energy[1]);
}

double highestEnergy(const MaterialTable &table)
{
    return std::min(kHighestEnergy, table.energy[kRowCount]);
}

} // namespace

const char *rangeColumnName(RangeColumn column)
{
    return column == RangeColumn::Csda ? "CSDA range" : "projected range";
}

const ColumnProblem &rangeColumnProblem(const Material &material, RangeColumn column)
{
    return material.problem(column);
}

std::variant<RowValues, LookupError> interpolateRow(const Material &material, double energy)
{
    const MaterialTable &table = material.table;
    const double low = lowestEnergy(table), high = highestEnergy(table);
    const double first = table.energy[1], last = table.energy[kRowCount];
    if (!(energy >= low && energy <= high))
        return outOfRange("energy", energy, "MeV", low, high, first, last);
    const auto upper = bracketingRow(table.energy, energy);
    if (!upper)
        return outOfRange("energy", energy, "MeV", low, high, first, last);
    return rowAt(material, bracketAt(table.energy, *upper, energy), energy, true, true);
}

std::variant<RowValues, LookupError> energyForRange(const Material &material, RangeColumn column,
                                                    double range)
{
    const MaterialTable &table = material.table;
    const TableColumn &ranges = table.range[static_cast<int>(column)];
    const char *name = rangeColumnName(column);
    const std::string refused =
        std::string(", so no energy can be found for a ") + name + " in this file.";
    if (const auto &problem = material.problem(column)) {
        const std::string sentence = problem->substr(0, problem->size() - 1); // no full stop
        return LookupError{LookupFailure::ColumnUnavailable, sentence + refused};
    }
    if (const int k = material.notRisingRow(column)) {
        return LookupError{LookupFailure::NotRising,
                           std::string("The ") + name + " does not rise from row " +
                               std::to_string(k - 1) + " to row " + std::to_string(k) + refused};
    }
    if (!(range >= ranges[1] && range <= ranges[kRowCount]))
        return outOfRange(name, range, "g/cm2", ranges[1], ranges[kRowCount], ranges[1],
                          ranges[kRowCount]);

    const int upper = *bracketingRow(ranges, range);
    // Interpolation keeps the energy between its two rows; rounding may not
    // push it past them, and so out of the table at the top.
    const double energy =
        std::clamp(interpolateColumn(bracketAt(ranges, upper, range), table.energy),
                   table.energy[upper - 1], table.energy[upper]);
    const double low = lowestEnergy(table), high = highestEnergy(table);
    if (!(energy >= low && energy <= high))
        return LookupError{LookupFailure::OutOfRange, std::string("The energy for the ") + name +
                                                          " " + exactText(range) +
                                                          " g/cm2 lies outside " + exactText(low) +
                                                          " to " + exactText(high) + " MeV."};
    // The energy lies between the same two rows. At row i - 1's own energy,
    // where its own search would pair rows i - 2 and i - 1, the exact-row
    // rule gives row i - 1 all the same.
    const bool csda = column == RangeColumn::Csda;
    RowValues row = rowAt(material, bracketAt(table.energy, upper, energy), energy, !csda, csda);
    (csda ? row.csdaRange : row.projectedRange) = range;
    return row;
}

std::optional<std::string> linearUnitsProblem(double density)
{
    if (density > 0 && density <= DBL_MAX)
        return std::nullopt;
    return "The density " + formatGeneral(density) +
           " g/cm3 is not a positive finite number, so linear units are unavailable.";
}

std::variant<LinearValues, std::string> toLinear(const RowValues &row, double density)
{
    if (auto problem = linearUnitsProblem(density))
        return *problem;
    LinearValues linear;
    linear.electronic = row.electronic * density;
    linear.nuclear = row.nuclear * density;
    linear.total = row.total * density;
    if (row.csdaRange)
        linear.csdaRange = *row.csdaRange / density;
    if (row.projectedRange)
        linear.projectedRange = *row.projectedRange / density;
    const double values[] = {linear.electronic, linear.nuclear, linear.total,
                             linear.csdaRange.value_or(1), linear.projectedRange.value_or(1)};
    for (double value : values)
        if (!(value > 0 && value <= DBL_MAX))
            return "With the density " + formatGeneral(density) +
                   " g/cm3 the linear values leave the range of numbers.";
    return linear;
}

std::variant<double, std::string> massRange(double centimetres, double density)
{
    if (auto problem = linearUnitsProblem(density))
        return *problem;
    const double mass = centimetres * density;
    if (std::isinf(mass))
        return "The range " + formatGeneral(centimetres) + " cm is too large.";
    return mass;
}

WaterReference loadWater(const std::filesystem::path &dataDirectory)
{
    const auto file = materialPath(dataDirectory, kWaterFileName);
    std::error_code error;
    if (!std::filesystem::exists(file, error))
        return std::string("There is no ") + kWaterFileName + " in the data folder \"" +
               dataDirectory.string() + "\", so there is no ratio to water.";
    auto loaded = loadMaterial(file);
    if (auto *refused = std::get_if<ReadError>(&loaded))
        return describe(*refused) + " There is no ratio to water.";
    return std::get<MaterialPtr>(std::move(loaded));
}

std::variant<double, std::string> ratioToWater(const RowValues &row, double density,
                                               const WaterReference &water)
{
    if (const auto *reason = std::get_if<std::string>(&water))
        return *reason;
    const Material &reference = *std::get<MaterialPtr>(water);
    if (auto problem = linearUnitsProblem(density))
        return *problem;
    if (linearUnitsProblem(reference.density))
        return "Liquid water's density " + formatGeneral(reference.density) +
               " g/cm3 is not a positive finite number, so there is no ratio to water.";
    const auto waterTotal = interpolateTotal(reference, row.energy);
    if (!waterTotal)
        return "Liquid water's table has no value at " + formatGeneral(row.energy) + " MeV.";
    const double ratio = (row.total * density) / (*waterTotal * reference.density);
    if (!(ratio > 0 && ratio <= DBL_MAX))
        return "The ratio to water leaves the range of numbers.";
    return ratio;
}

} // namespace quenrow
