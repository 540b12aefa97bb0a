// SPDX-License-Identifier: MIT
#include "compare.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <limits>

#include "calculator.h"

namespace quenrow {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

bool isRange(ComparedQuantity quantity)
{
    return quantity == ComparedQuantity::CsdaRange || quantity == ComparedQuantity::ProjectedRange;
}

std::optional<double> massValue(const RowValues &row, ComparedQuantity quantity)
{
    switch (quantity) {
    case ComparedQuantity::Electronic:
        return row.electronic;
    case ComparedQuantity::Nuclear:
        return row.nuclear;
    case ComparedQuantity::Total:
        return row.total;
    case ComparedQuantity::CsdaRange:
        return row.csdaRange;
    case ComparedQuantity::ProjectedRange:
        return row.projectedRange;
    case ComparedQuantity::DetourFactor:
        return row.detourFactor;
    }
    return std::nullopt;
}

std::optional<double> inUnits(std::optional<double> mass, CompareChoice choice, double density)
{
    if (!mass || choice.units == UnitSystem::Mass || choice.quantity == ComparedQuantity::DetourFactor)
        return mass;
    const double linear = isRange(choice.quantity) ? *mass / density : *mass * density;
    if (!(linear > 0 && linear <= DBL_MAX))
        return std::nullopt;
    return linear;
}

// A CSV field: quoted when it holds a comma, a quote or a line break.
std::string csvField(const std::string &text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + '"';
}

// Shortest text that reads back as exactly `value`.
std::string exactText(double value)
{
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

} // namespace

std::variant<ComparedMaterial, std::string> loadCompared(const std::filesystem::path &file)
{
    auto loaded = loadMaterial(file);
    if (const auto *refused = std::get_if<ReadError>(&loaded))
        return describe(*refused);
    return std::make_shared<const LoadedMaterial>(std::get<LoadedMaterial>(std::move(loaded)));
}

const std::string &materialName(const ComparedMaterial &material)
{
    return material->table.name;
}

std::string quantityHeading(ComparedQuantity quantity)
{
    switch (quantity) {
    case ComparedQuantity::Electronic:
        return "Electronic stopping power";
    case ComparedQuantity::Nuclear:
        return "Nuclear stopping power";
    case ComparedQuantity::Total:
        return "Total stopping power";
    case ComparedQuantity::CsdaRange:
        return "CSDA range";
    case ComparedQuantity::ProjectedRange:
        return "Projected range";
    case ComparedQuantity::DetourFactor:
        return "Detour factor";
    }
    return {};
}

std::string unitText(CompareChoice choice)
{
    if (choice.quantity == ComparedQuantity::DetourFactor)
        return {};
    const bool mass = choice.units == UnitSystem::Mass;
    if (isRange(choice.quantity))
        return mass ? "g/cm2" : "cm";
    return mass ? "MeV cm2/g" : "MeV/cm";
}

std::string valueHeading(CompareChoice choice, const ComparedMaterial &reference)
{
    std::string heading = quantityHeading(choice.quantity);
    if (reference)
        return heading + " relative to " + materialName(reference);
    if (const std::string unit = unitText(choice); !unit.empty())
        heading += " (" + unit + ")";
    return heading;
}

bool wantsLogAxis(CompareChoice choice, bool relative)
{
    return !relative && choice.quantity != ComparedQuantity::DetourFactor;
}

std::optional<std::string> unavailableReason(const ComparedMaterial &material, CompareChoice choice)
{
    const bool needsDensity =
        choice.units == UnitSystem::Linear && choice.quantity != ComparedQuantity::DetourFactor;
    if (needsDensity)
        if (auto problem = linearUnitsProblem(material->density))
            return problem;
    const auto problemOf = [&](RangeColumn column) { return rangeColumnProblem(material->table, column); };
    switch (choice.quantity) {
    case ComparedQuantity::CsdaRange:
        return problemOf(RangeColumn::Csda);
    case ComparedQuantity::ProjectedRange:
        return problemOf(RangeColumn::Projected);
    case ComparedQuantity::DetourFactor:
        if (auto problem = problemOf(RangeColumn::Csda))
            return problem;
        return problemOf(RangeColumn::Projected);
    default:
        return std::nullopt;
    }
}

std::optional<double> valueAt(const ComparedMaterial &material, CompareChoice choice, double energy)
{
    const auto row = interpolateRow(material->table, energy);
    if (const auto *values = std::get_if<RowValues>(&row))
        return inUnits(massValue(*values, choice.quantity), choice, material->density);
    return std::nullopt;
}

std::optional<double> shownAt(const ComparedMaterial &material, const ComparedMaterial &reference,
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

Series seriesOf(const ComparedMaterial &material, const ComparedMaterial &reference,
                CompareChoice choice)
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

std::string valuesAsCsv(const std::vector<ComparedMaterial> &materials,
                        const ComparedMaterial &reference, CompareChoice choice)
{
    std::string out = "# " + valueHeading(choice, reference) + "\n";
    out += "Energy (MeV)";
    for (const auto &material : materials) {
        out += ',';
        out += csvField(materialName(material));
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
