// SPDX-License-Identifier: MIT
#include "calculator_results.h"

#include <algorithm>

#include "data/number_format.h"

namespace quenrow {

const std::array<QuantityLayout, kQuantityCount> kQuantityLayout = {{
    {"Energy", "energy", {"MeV", nullptr, nullptr}},
    {"Electronic stopping power", "electronic", {"MeV cm2/g", "MeV/cm", "keV/um"}},
    {"Nuclear stopping power", "nuclear", {"MeV cm2/g", "MeV/cm", "keV/um"}},
    {"Total stopping power", "total", {"MeV cm2/g", "MeV/cm", "keV/um"}},
    {"CSDA range", "csdaRange", {"g/cm2", "cm", "mm"}},
    {"Projected range", "projectedRange", {"g/cm2", "cm", "mm"}},
    {"Detour factor", "detourFactor", {"", nullptr, nullptr}},
    {"Ratio to liquid water", "ratioToWater", {"", nullptr, nullptr}},
}};

namespace {

void addNote(CalculatorResults &results, std::string note)
{
    if (std::find(results.notes.begin(), results.notes.end(), note) == results.notes.end())
        results.notes.push_back(std::move(note));
}

std::optional<std::string> formatted(std::optional<double> value, double scale = 1)
{
    if (!value)
        return std::nullopt;
    return formatScientific(*value * scale);
}

// Mass units, then the two linear units (the second `scale` times the first).
void setRow(CalculatorResults &results, Quantity q, std::optional<double> mass,
            std::optional<double> linear, double scale)
{
    auto &cells = results.values[static_cast<int>(q)];
    cells = {formatted(mass), formatted(linear), formatted(linear, scale)};
}

} // namespace

CalculatorResults describeResults(const MaterialTable &table, double density,
                                  const RowValues &row, const WaterReference &water)
{
    CalculatorResults results;
    std::optional<LinearValues> linear;
    auto converted = toLinear(row, density);
    if (auto *values = std::get_if<LinearValues>(&converted))
        linear = *values;
    else
        addNote(results, std::get<std::string>(converted));
    const auto part = [&linear](auto member) -> std::optional<double> {
        if (!linear)
            return std::nullopt;
        return std::optional<double>((*linear).*member);
    };

    setRow(results, Quantity::Energy, row.energy, std::nullopt, 1);
    setRow(results, Quantity::Electronic, row.electronic, part(&LinearValues::electronic),
           kKeVPerUmPerMeVPerCm);
    setRow(results, Quantity::Nuclear, row.nuclear, part(&LinearValues::nuclear),
           kKeVPerUmPerMeVPerCm);
    setRow(results, Quantity::Total, row.total, part(&LinearValues::total), kKeVPerUmPerMeVPerCm);
    setRow(results, Quantity::CsdaRange, row.csdaRange,
           linear ? linear->csdaRange : std::nullopt, kMmPerCm);
    setRow(results, Quantity::ProjectedRange, row.projectedRange,
           linear ? linear->projectedRange : std::nullopt, kMmPerCm);
    setRow(results, Quantity::DetourFactor, row.detourFactor, std::nullopt, 1);
    for (RangeColumn column : {RangeColumn::Csda, RangeColumn::Projected})
        if (auto problem = rangeColumnProblem(table, column))
            addNote(results, *problem);

    auto ratio = ratioToWater(row, density, water);
    if (auto *value = std::get_if<double>(&ratio))
        setRow(results, Quantity::RatioToWater, *value, std::nullopt, 1);
    else
        addNote(results, std::get<std::string>(ratio));
    return results;
}

std::string resultsAsTabSeparated(const std::string &materialName, double density,
                                  const CalculatorResults &results)
{
    std::string text = "Quantity\tValue\tUnit\n";
    std::string name = materialName;
    std::replace_if(name.begin(), name.end(), [](char c) { return c == '\t' || c == '\n' || c == '\r'; }, ' ');
    text += "Material\t" + name + "\t\n";
    text += "Density\t" + formatDensity(density) + "\tg/cm3\n";
    for (int q = 0; q < kQuantityCount; ++q) {
        const QuantityLayout &layout = kQuantityLayout[q];
        for (int column = 0; column < kUnitColumns; ++column) {
            if (!layout.units[column])
                continue;
            const auto &value = results.values[q][column];
            text += std::string(layout.name) + '\t' + (value ? *value : "n/a") + '\t' +
                    layout.units[column] + '\n';
        }
    }
    return text;
}

std::optional<double> shownRange(const RowValues &row, RangeColumn column, bool centimetres,
                                 double density)
{
    const std::optional<double> mass =
        column == RangeColumn::Csda ? row.csdaRange : row.projectedRange;
    if (!mass || !centimetres)
        return mass;
    if (linearUnitsProblem(density))
        return std::nullopt;
    return *mass / density;
}

} // namespace quenrow
