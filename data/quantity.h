// SPDX-License-Identifier: MIT
// Quenrow: the quantities of a table row, with the words and units every
// output names them by.
#pragma once

#include <array>
#include <optional>
#include <span>
#include <string>

namespace quenrow {

struct RowValues;

enum class Quantity {
    Energy,
    ElectronicStoppingPower,
    NuclearStoppingPower,
    TotalStoppingPower,
    CsdaRange,
    ProjectedRange,
    DetourFactor,
};

// A linear unit from the density, `scale` times the first one's value.
struct LinearUnit {
    const char *key;  // "total_MeV_per_cm"
    const char *unit; // "MeV/cm"
    double scale;
};

struct QuantityInfo {
    Quantity quantity;
    const char *key;           // CSV, TSV and JSON: "total_MeV_cm2_per_g"
    const char *name;          // "Total stopping power"
    const char *heading;       // a table's column: "Total"
    const char *narrowHeading; // an aligned text column, over its unit: "Proj. range"
    const char *unit;          // the table's own (mass) unit; "" for a plain number
    // MeV/cm and keV/um, or cm and mm; none for the energy and the detour factor.
    std::optional<std::array<LinearUnit, 2>> linear;
};

// In the file's column order.
std::span<const QuantityInfo> quantities();
const QuantityInfo &quantityInfo(Quantity quantity);

// "Total (MeV cm2/g)", "Detour factor": a heading with its unit.
std::string headingWithUnit(const QuantityInfo &info);

// The row's value of `quantity`, none where the material's column is unavailable.
std::optional<double> valueOf(const RowValues &row, Quantity quantity);

// What a beam through layers gives for each layer (data/stack.h).
enum class LayerQuantity { EnergyIn, EnergyOut, EnergyLost, Wet, ResidualWaterRange, StopDepth };

struct LayerQuantityInfo {
    LayerQuantity quantity;
    const char *key;     // "energy_in_MeV"
    const char *heading; // "Energy in"
    const char *unit;    // "MeV"
};

std::span<const LayerQuantityInfo> layerQuantities();

} // namespace quenrow
