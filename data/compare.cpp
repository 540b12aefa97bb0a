// SPDX-License-Identifier: MIT
#include "compare.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>

#include "calculator.h"
#include "table_export.h"

namespace quenrow {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

bool isRange(Quantity quantity)
{
    return quantity == Quantity::CsdaRange || quantity == Quantity::ProjectedRange;
}

bool hasLinearUnits(CompareChoice choice)
{
    return choice.units == UnitSystem::Linear && quantityInfo(choice.quantity).linear;
}

std::optional<double> inUnits(std::optional<double> mass, CompareChoice choice, double density)
{
    if (!mass || !hasLinearUnits(choice))
        return mass;
    const double linear = isRange(choice.quantity) ? *mass / density : *mass * density;
    if (!(linear > 0 && linear <= DBL_MAX))
        return std::nullopt;
    return linear;
}

// Shortest text that reads back as exactly `value`.
std::string exactText(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

} // namespace

std::variant<MaterialPtr, std::string> loadCompared(const std::filesystem::path &file)
{
    auto loaded = loadMaterial(file);
    if (const auto *refused = std::get_if<ReadError>(&loaded))
        return describe(*refused);
    return std::get<MaterialPtr>(std::move(loaded));
}

std::string unitText(CompareChoice choice)
{
    const QuantityInfo &info = quantityInfo(choice.quantity);
    return hasLinearUnits(choice) ? info.linear->front().unit : info.unit;
}

std::string valueHeading(CompareChoice choice, const MaterialPtr &reference)
{
    std::string heading = quantityInfo(choice.quantity).name;
    if (reference)
        return heading + " relative to " + reference->name();
    if (const std::string unit = unitText(choice); !unit.empty())
        heading += " (" + unit + ")";
    return heading;
}

bool wantsLogAxis(CompareChoice choice, bool relative)
{
    return !relative && choice.quantity != Quantity::DetourFactor;
}

std::optional<std::string> unavailableReason(const MaterialPtr &material, CompareChoice choice)
{
    if (hasLinearUnits(choice))
        if (auto problem = linearUnitsProblem(material->density))
            return problem;
    switch (choice.quantity) {
    case Quantity::CsdaRange:
        return material->csdaRange;
    case Quantity::ProjectedRange:
        return material->projectedRange;
    case Quantity::DetourFactor:
        return material->detourFactor;
    default:
        return std::nullopt;
    }
}

std::optional<double> valueAt(const MaterialPtr &material, CompareChoice choice, double energy)
{
    const auto row = interpolateRow(*material, energy);
    if (const auto *values = std::get_if<RowValues>(&row))
        return inUnits(valueOf(*values, choice.quantity), choice, material->density);
    return std::nullopt;
}

std::optional<double> shownAt(const MaterialPtr &material, const MaterialPtr &reference,
                              CompareChoice choice, double energy)
{
    const auto value = valueAt(material, choice, energy);
    if (!reference || !value)
        return value;
    const auto base = valueAt(reference, choice, energy);
    if (!base)
        return std::nullopt;
    const double ratio = *value / *base;
    if (!std::isfinite(ratio))
        return std::nullopt;
    return ratio;
}

Series seriesOf(const MaterialPtr &material, const MaterialPtr &reference, CompareChoice choice)
{
    Series series;
    series.energy.reserve(kRowCount);
    series.value.reserve(kRowCount);
    for (int k = 1; k <= kRowCount; ++k) {
        const double energy = material->table.energy[k];
        series.energy.push_back(energy);
        series.value.push_back(shownAt(material, reference, choice, energy).value_or(kNone));
    }
    return series;
}

std::string valuesAsCsv(const std::vector<MaterialPtr> &materials, const MaterialPtr &reference,
                        CompareChoice choice)
{
    constexpr auto csv = TableFileFormat::CommaSeparated;
    std::string out = "# " + valueHeading(choice, reference) + "\n";
    out += headingWithUnit(quantityInfo(Quantity::Energy));
    for (const auto &material : materials) {
        out += ',';
        appendField(out, material->name(), csv);
    }
    out += '\n';
    if (materials.empty())
        return out;
    for (int k = 1; k <= kRowCount; ++k) {
        const double energy = materials.front()->table.energy[k];
        out += exactText(energy);
        for (const auto &material : materials) {
            out += ',';
            if (const auto value = shownAt(material, reference, choice, energy))
                out += exactText(*value);
        }
        out += '\n';
    }
    return out;
}

} // namespace quenrow
