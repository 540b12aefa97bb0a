// SPDX-License-Identifier: MIT
#include "calculator.h"

#include <algorithm>
#include <cfloat>
#include <cmath>
#include <system_error>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

#include "number_format.h"
#include "number_text.h"

namespace quenrow {

namespace {

// Both run on every lookup, over whole columns: with AVX, which nearly every
// x86-64 in use has, four rows per compare; that keeps a lookup within its
// time. Plain loops elsewhere.

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#define QUENROW_AVX 1

__attribute__((target("avx"))) bool allPositiveFiniteAvx(const TableColumn &values)
{
    static_assert(kRowCount % 4 == 0);
    const __m256d zero = _mm256_setzero_pd(), largest = _mm256_set1_pd(DBL_MAX);
    __m256d ok = _mm256_cmp_pd(zero, zero, _CMP_EQ_OQ);
    for (int k = 1; k <= kRowCount; k += 4) {
        const __m256d x = _mm256_loadu_pd(&values[k]);
        ok = _mm256_and_pd(ok, _mm256_and_pd(_mm256_cmp_pd(x, zero, _CMP_GT_OQ),
                                             _mm256_cmp_pd(x, largest, _CMP_LE_OQ)));
    }
    return _mm256_movemask_pd(ok) == 15;
}

__attribute__((target("avx"))) bool risesAvx(const TableColumn &values)
{
    // Rows 1..128 against 2..129, then the last three pairs one by one.
    __m256d rising =
        _mm256_cmp_pd(_mm256_loadu_pd(&values[1]), _mm256_loadu_pd(&values[2]), _CMP_LT_OQ);
    for (int k = 5; k < kRowCount - 3; k += 4)
        rising = _mm256_and_pd(rising, _mm256_cmp_pd(_mm256_loadu_pd(&values[k]),
                                                     _mm256_loadu_pd(&values[k + 1]), _CMP_LT_OQ));
    return _mm256_movemask_pd(rising) == 15 && values[129] < values[130] &&
           values[130] < values[131] && values[131] < values[132];
}

bool haveAvx()
{
    static const bool avx = __builtin_cpu_supports("avx");
    return avx;
}
#endif

bool allPositiveFinite(const TableColumn &values)
{
#ifdef QUENROW_AVX
    if (haveAvx())
        return allPositiveFiniteAvx(values);
#endif
    bool ok = true;
    for (int k = 1; k <= kRowCount; ++k)
        ok &= values[k] > 0 && values[k] <= DBL_MAX;
    return ok;
}

// Each row above the one before, from a positive first row to a finite last,
// so every value is a positive finite number too. NaN fails every compare.
bool risesStrictly(const TableColumn &values)
{
    if (!(values[1] > 0 && values[kRowCount] <= DBL_MAX))
        return false;
#ifdef QUENROW_AVX
    if (haveAvx())
        return risesAvx(values);
#endif
    bool ok = true;
    for (int k = 2; k <= kRowCount; ++k)
        ok &= values[k - 1] < values[k];
    return ok;
}

const TableColumn &rangeValues(const MaterialTable &table, RangeColumn column)
{
    return table.range[static_cast<int>(column)];
}

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
            return std::string("The ") + rangeColumnName(column) + " of row " + std::to_string(k) +
                   " is not a number.";
        if (!(value > 0 && value <= DBL_MAX))
            return std::string("The ") + rangeColumnName(column) + " of row " + std::to_string(k) +
                   " is " + formatGeneral(value) + ", not a positive finite number.";
    }
    return std::nullopt;
}

std::variant<RowValues, LookupError> interpolateRow(const MaterialTable &table, double energy)
{
    const double low = lowestEnergy(table), high = highestEnergy(table);
    const double first = table.energy[1], last = table.energy[kRowCount];
    if (!(energy >= low && energy <= high))
        return outOfRange("energy", energy, "MeV", low, high, first, last);
    const auto upper = bracketingRow(table.energy, energy);
    if (!upper)
        return outOfRange("energy", energy, "MeV", low, high, first, last);
    RowValues row = rowAt(table, bracketAt(table.energy, *upper, energy), energy,
                          allPositiveFinite(table.range[1]), allPositiveFinite(table.range[2]));
    setDetourFactor(row);
    return row;
}

std::variant<RowValues, LookupError> energyForRange(const MaterialTable &table, RangeColumn column,
                                                    double range)
{
    const TableColumn &ranges = rangeValues(table, column);
    const char *name = rangeColumnName(column);
    if (!risesStrictly(ranges)) {
        const std::string refused =
            std::string(", so no energy can be found for a ") + name + " in this file.";
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
        return LookupError{LookupFailure::OutOfRange,
                           std::string("The energy for the ") + name + " " + exactText(range) +
                               " g/cm2 lies outside " + exactText(low) + " to " +
                               exactText(high) + " MeV."};
    // The energy lies between the same two rows. At row i - 1's own energy,
    // where its own search would pair rows i - 2 and i - 1, the exact-row
    // rule gives row i - 1 all the same.
    const bool otherAvailable = allPositiveFinite(table.range[column == RangeColumn::Csda ? 2 : 1]);
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
