// SPDX-License-Identifier: MIT
#include "quantity.h"

#include <string>

#include "calculator.h"

namespace quenrow {

namespace {

constexpr std::array<LinearUnit, 2> stoppingPower(const char *perCm, const char *perUm)
{
    return {LinearUnit{perCm, "MeV/cm", 1}, LinearUnit{perUm, "keV/um", kKeVPerUmPerMeVPerCm}};
}

constexpr std::array<LinearUnit, 2> range(const char *cm, const char *mm)
{
    return {LinearUnit{cm, "cm", 1}, LinearUnit{mm, "mm", kMmPerCm}};
}

constexpr std::array<QuantityInfo, 7> kQuantities = {{
    {Quantity::Energy, "energy_MeV", "Energy", "Energy", "Energy", "MeV", std::nullopt},
    {Quantity::ElectronicStoppingPower, "electronic_MeV_cm2_per_g", "Electronic stopping power",
     "Electronic", "Electronic", "MeV cm2/g",
     stoppingPower("electronic_MeV_per_cm", "electronic_keV_per_um")},
    {Quantity::NuclearStoppingPower, "nuclear_MeV_cm2_per_g", "Nuclear stopping power", "Nuclear",
     "Nuclear", "MeV cm2/g", stoppingPower("nuclear_MeV_per_cm", "nuclear_keV_per_um")},
    {Quantity::TotalStoppingPower, "total_MeV_cm2_per_g", "Total stopping power", "Total", "Total",
     "MeV cm2/g", stoppingPower("total_MeV_per_cm", "total_keV_per_um")},
    {Quantity::CsdaRange, "csda_range_g_per_cm2", "CSDA range", "CSDA range", "CSDA range", "g/cm2",
     range("csda_range_cm", "csda_range_mm")},
    {Quantity::ProjectedRange, "projected_range_g_per_cm2", "Projected range", "Projected range",
     "Proj. range", "g/cm2", range("projected_range_cm", "projected_range_mm")},
    {Quantity::DetourFactor, "detour_factor", "Detour factor", "Detour factor", "Detour", "",
     std::nullopt},
}};

constexpr std::array<LayerQuantityInfo, 6> kLayerQuantities = {{
    {LayerQuantity::EnergyIn, "energy_in_MeV", "Energy in", "MeV"},
    {LayerQuantity::EnergyOut, "energy_out_MeV", "Energy out", "MeV"},
    {LayerQuantity::EnergyLost, "energy_lost_MeV", "Energy lost", "MeV"},
    {LayerQuantity::Wet, "wet_cm", "WET", "cm"},
    {LayerQuantity::ResidualWaterRange, "residual_water_range_cm", "Water range after", "cm"},
    {LayerQuantity::StopDepth, "stop_depth_cm", "Stops at depth", "cm"},
}};

} // namespace

std::span<const LayerQuantityInfo> layerQuantities()
{
    return kLayerQuantities;
}

std::span<const QuantityInfo> quantities()
{
    return kQuantities;
}

const QuantityInfo &quantityInfo(Quantity quantity)
{
    return kQuantities[static_cast<std::size_t>(quantity)];
}

std::string headingWithUnit(const QuantityInfo &info)
{
    if (*info.unit == '\0')
        return info.heading;
    return std::string(info.heading) + " (" + info.unit + ")";
}

std::optional<double> valueOf(const RowValues &row, Quantity quantity)
{
    switch (quantity) {
    case Quantity::Energy:
        return row.energy;
    case Quantity::ElectronicStoppingPower:
        return row.electronic;
    case Quantity::NuclearStoppingPower:
        return row.nuclear;
    case Quantity::TotalStoppingPower:
        return row.total;
    case Quantity::CsdaRange:
        return row.csdaRange;
    case Quantity::ProjectedRange:
        return row.projectedRange;
    case Quantity::DetourFactor:
        return row.detourFactor;
    }
    return std::nullopt;
}

} // namespace quenrow
