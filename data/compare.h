// SPDX-License-Identifier: MIT
// Quenrow: several materials side by side. One quantity of each, at the
// table's energies for a curve and at any energy for a readout, in mass or
// linear units, or as its ratio to a reference material at the same energy.
//
// Every lookup into a material goes through compare.cpp, so the windows that
// compare never depend on how a material is held.
#pragma once

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "material.h"
#include "quantity.h"

namespace quenrow {

// The file's material, or one sentence saying why it was refused.
std::variant<MaterialPtr, std::string> loadCompared(const std::filesystem::path &file);

// What a compare plot can show, in the quantity list's order.
inline constexpr std::array kComparedQuantities = {
    Quantity::ElectronicStoppingPower, Quantity::NuclearStoppingPower,
    Quantity::TotalStoppingPower,      Quantity::CsdaRange,
    Quantity::ProjectedRange,          Quantity::DetourFactor,
};

enum class UnitSystem { Mass, Linear };

struct CompareChoice {
    Quantity quantity = Quantity::TotalStoppingPower;
    UnitSystem units = UnitSystem::Mass;
};

// "MeV cm2/g", "cm": the quantity list's mass unit or first linear one;
// empty for the detour factor, which has none.
std::string unitText(CompareChoice choice);
// The y axis and the CSV's first line: "Total stopping power (MeV cm2/g)",
// or "Total stopping power relative to WATER, LIQUID".
std::string valueHeading(CompareChoice choice, const MaterialPtr &reference);

// Ratios and the detour factor sit near one: a linear axis shows them; the
// rest spans decades.
bool wantsLogAxis(CompareChoice choice, bool relative);

// Why `material` has no curve for `choice` (a column that is not usable, a
// density that gives no linear units), or none.
std::optional<std::string> unavailableReason(const MaterialPtr &material, CompareChoice choice);

// The quantity at `energy` (MeV), log-log between the two table rows that
// bracket it; at a table energy, that row's value. None outside the table
// (never extrapolated) and where the column is unavailable.
std::optional<double> valueAt(const MaterialPtr &material, CompareChoice choice, double energy);

// valueAt over the reference's valueAt at the same energy; plain valueAt
// when there is no reference.
std::optional<double> shownAt(const MaterialPtr &material, const MaterialPtr &reference,
                              CompareChoice choice, double energy);

// A curve: shownAt at each of the material's table energies, NaN where there
// is none (a gap in the curve).
struct Series {
    std::vector<double> energy; // MeV
    std::vector<double> value;
};
Series seriesOf(const MaterialPtr &material, const MaterialPtr &reference, CompareChoice choice);

// The plotted values as CSV: a comment line with the heading, then
// "Energy (MeV)" and one column per material, one row per table energy of
// the first material; an empty field where a material has no value.
std::string valuesAsCsv(const std::vector<MaterialPtr> &materials, const MaterialPtr &reference,
                        CompareChoice choice);

} // namespace quenrow
