// SPDX-License-Identifier: MIT
#include "calculator.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <system_error>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

#include "number_format.h"

namespace quenrow {

namespace {

// Both run on every lookup, so they take two rows at a time where the
// processor has SSE2, as every x86-64 has.

bool allPositiveFinite(const TableColumn &values)
{
    static_assert(kRowCount % 4 == 0);
#ifdef __SSE2__
    const __m128d zero = _mm_setzero_pd(), largest = _mm_set1_pd(DBL_MAX);
    __m128d ok1 = _mm_cmpeq_pd(zero, zero), ok2 = ok1;
    for (int k = 1; k <= kRowCount; k += 4) {
        const __m128d x1 = _mm_loadu_pd(&values[k]), x2 = _mm_loadu_pd(&values[k + 2]);
        ok1 = _mm_and_pd(ok1, _mm_and_pd(_mm_cmpgt_pd(x1, zero), _mm_cmple_pd(x1, largest)));
        ok2 = _mm_and_pd(ok2, _mm_and_pd(_mm_cmpgt_pd(x2, zero), _mm_cmple_pd(x2, largest)));
    }
    return _mm_movemask_pd(_mm_and_pd(ok1, ok2)) == 3;
#else
    bool ok = true;
    for (int k = 1; k <= kRowCount; ++k)
        ok &= values[k] > 0 && values[k] <= DBL_MAX;
    return ok;
#endif
}

// Each row above the one before, from a positive first row to a finite last,
// so every value is a positive finite number too. NaN fails every compare.
bool risesStrictly(const TableColumn &values)
{
    bool ok = values[1] > 0 && values[kRowCount] <= DBL_MAX;
#ifdef __SSE2__
    // Rows 1..131 against rows 2..132, the last pair on its own.
    static_assert(kRowCount % 4 == 0);
    const auto pairs = [&values](int k) {
        return _mm_cmplt_pd(_mm_loadu_pd(&values[k]), _mm_loadu_pd(&values[k + 1]));
    };
    // Rows 1..128 against 2..129, four at a time, then the last three pairs.
    __m128d rising1 = pairs(1), rising2 = pairs(3);
    for (int k = 5; k < kRowCount - 4; k += 4) {
        rising1 = _mm_and_pd(rising1, pairs(k));
        rising2 = _mm_and_pd(rising2, pairs(k + 2));
    }
    ok &= _mm_movemask_pd(_mm_and_pd(_mm_and_pd(rising1, rising2), pairs(kRowCount - 3))) == 3 &&
          values[kRowCount - 1] < values[kRowCount];
#else
    for (int k = 2; k <= kRowCount; ++k)
        ok &= values[k - 1] < values[k];
#endif
    return ok;
}

const TableColumn &rangeValues(const MaterialTable &table, RangeColumn column)
{
    return table.range[static_cast<int>(column)];
}

LookupError outOfRange(const char *what, double value, const char *unit, double low,
                       double high)
{
    if (std::isnan(value))
        return {LookupFailure::OutOfRange, std::string("The ") + what + " is not a number."};
    return {LookupFailure::OutOfRange, std::string("The ") + what + " " + formatGeneral(value) + " " + unit +
                                           " is outside the table (" + formatGeneral(low) +
                                           " to " + formatGeneral(high) + " " + unit + ")."};
}

std::optional<double> inColumn(const Bracket &bracket, const TableColumn &ys, bool available)
{
    if (!available)
        return std::nullopt;
    return interpolateColumn(bracket, ys);
}

RowValues rowAt(const MaterialTable &table, const Bracket &bracket, double energy, bool csda,
                bool projected)
{
    RowValues row;
    row.energy = energy;
    row.electronic = interpolateColumn(bracket, table.stoppingPower[1]);
    row.nuclear = interpolateColumn(bracket, table.stoppingPower[2]);
    row.total = interpolateColumn(bracket, table.stoppingPower[3]);
    row.csdaRange = inColumn(bracket, table.range[1], csda);
    row.projectedRange = inColumn(bracket, table.range[2], projected);
    return row;
}

void setDetourFactor(RowValues &row)
{
    row.detourFactor.reset();
    if (row.csdaRange && row.projectedRange)
        row.detourFactor = *row.projectedRange / *row.csdaRange;
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

std::optional<std::string> rangeColumnProblem(const MaterialTable &table, RangeColumn column)
{
    const TableColumn &values = rangeValues(table, column);
    for (int k = 1; k <= kRowCount; ++k) {
        const double value = values[k];
        if (std::isnan(value))
            return std::string("The ") + rangeColumnName(column) + " of row " +
                   std::to_string(k) + " is not a number.";
        if (!(value > 0 && value <= DBL_MAX))
            return std::string("The ") + rangeColumnName(column) + " of row " +
                   std::to_string(k) + " is " + formatGeneral(value) +
                   ", not a positive finite number.";
    }
    return std::nullopt;
}

std::variant<RowValues, LookupError> interpolateRow(const MaterialTable &table, double energy)
{
    const double low = lowestEnergy(table), high = highestEnergy(table);
    if (!(energy >= low && energy <= high))
        return outOfRange("energy", energy, "MeV", low, high);
    const auto upper = bracketingRow(table.energy, energy);
    if (!upper)
        return outOfRange("energy", energy, "MeV", low, high);
    RowValues row = rowAt(table, bracketAt(table.energy, *upper, energy), energy,
                          allPositiveFinite(table.range[1]), allPositiveFinite(table.range[2]));
    setDetourFactor(row);
    return row;
}

std::variant<RowValues, LookupError> energyForRange(const MaterialTable &table,
                                                    RangeColumn column, double range)
{
    const TableColumn &ranges = rangeValues(table, column);
    const char *name = rangeColumnName(column);
    if (!risesStrictly(ranges)) {
        const std::string refused = std::string(", so no energy can be found for a ") + name +
                                    " in this file.";
        if (auto problem = rangeColumnProblem(table, column)) {
            problem->pop_back(); // its full stop
            return LookupError{LookupFailure::ColumnUnavailable, *problem + refused};
        }
        int k = 2;
        while (ranges[k - 1] < ranges[k])
            ++k;
        return LookupError{LookupFailure::NotRising,
                           std::string("The ") + name + " does not rise from row " +
                               std::to_string(k - 1) + " to row " + std::to_string(k) + refused};
    }
    if (!(range >= ranges[1] && range <= ranges[kRowCount]))
        return outOfRange(name, range, "g/cm2", ranges[1], ranges[kRowCount]);

    const int upper = *bracketingRow(ranges, range);
    // Interpolation keeps the energy between its two rows; rounding may not
    // push it past them, and so out of the table at the top.
    const double energy =
        std::clamp(interpolateColumn(bracketAt(ranges, upper, range), table.energy),
                   table.energy[upper - 1], table.energy[upper]);
    const double low = lowestEnergy(table), high = highestEnergy(table);
    if (!(energy >= low && energy <= high))
        return LookupError{LookupFailure::OutOfRange,
                           std::string("The energy for the ") + name + " " +
                               formatGeneral(range) + " g/cm2 lies outside " + formatGeneral(low) +
                               " to " + formatGeneral(high) + " MeV."};
    // The energy lies between the same two rows. At row i - 1's own energy,
    // where its own search would pair rows i - 2 and i - 1, the exact-row
    // rule gives row i - 1 all the same.
    const bool otherAvailable = allPositiveFinite(
        table.range[column == RangeColumn::Csda ? 2 : 1]);
    const bool csda = column == RangeColumn::Csda;
    RowValues row = rowAt(table, bracketAt(table.energy, upper, energy), energy,
                          !csda && otherAvailable, csda && otherAvailable);
    (csda ? row.csdaRange : row.projectedRange) = range;
    setDetourFactor(row);
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
    return std::get<LoadedMaterial>(std::move(loaded));
}

std::variant<double, std::string> ratioToWater(const RowValues &row, double density,
                                               const WaterReference &water)
{
    if (const auto *reason = std::get_if<std::string>(&water))
        return *reason;
    const auto &reference = std::get<LoadedMaterial>(water);
    if (auto problem = linearUnitsProblem(density))
        return *problem;
    if (linearUnitsProblem(reference.density))
        return "Liquid water's density " + formatGeneral(reference.density) +
               " g/cm3 is not a positive finite number, so there is no ratio to water.";
    const auto waterTotal = interpolateTotal(reference.table, row.energy);
    if (!waterTotal)
        return "Liquid water's table has no value at " + formatGeneral(row.energy) + " MeV.";
    const double ratio = (row.total * density) / (*waterTotal * reference.density);
    if (!(ratio > 0 && ratio <= DBL_MAX))
        return "The ratio to water leaves the range of numbers.";
    return ratio;
}

} // namespace quenrow
