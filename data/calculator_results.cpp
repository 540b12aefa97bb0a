// SPDX-License-Identifier: MIT
#include "calculator_results.h"

#include <algorithm>

#include "number_format.h"
#include "number_reader.h"
#include "quantity.h"
#include "table_export.h"

namespace quenrow {

const std::array<ResultRowLayout, kResultRowCount> &resultRows()
{
    static const auto rows = [] {
        static constexpr const char *kKeys[] = {"energy",      "electronic", "nuclear",
                                                "total",       "csdaRange",  "projectedRange",
                                                "detourFactor"};
        std::array<ResultRowLayout, kResultRowCount> layout{};
        for (std::size_t q = 0; q < quantities().size(); ++q) {
            const QuantityInfo &info = quantities()[q];
            layout[q] = {info.name, kKeys[q], {info.unit, nullptr, nullptr}};
            if (info.linear)
                layout[q].units = {info.unit, (*info.linear)[0].unit, (*info.linear)[1].unit};
        }
        layout[kResultRowCount - 1] = {
            "Ratio to liquid water", "ratioToWater", {"", nullptr, nullptr}};
        return layout;
    }();
    return rows;
}

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
void setRow(CalculatorResults &results, ResultRow q, std::optional<double> mass,
            std::optional<double> linear, double scale)
{
    auto &cells = results.values[static_cast<int>(q)];
    cells = {formatted(mass), formatted(linear), formatted(linear, scale)};
}

} // namespace

CalculatorResults describeResults(const Material &material, const RowValues &row,
                                  const WaterReference &water)
{
    const double density = material.density;
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

    setRow(results, ResultRow::Energy, row.energy, std::nullopt, 1);
    setRow(results, ResultRow::Electronic, row.electronic, part(&LinearValues::electronic),
           kKeVPerUmPerMeVPerCm);
    setRow(results, ResultRow::Nuclear, row.nuclear, part(&LinearValues::nuclear),
           kKeVPerUmPerMeVPerCm);
    setRow(results, ResultRow::Total, row.total, part(&LinearValues::total), kKeVPerUmPerMeVPerCm);
    setRow(results, ResultRow::CsdaRange, row.csdaRange, linear ? linear->csdaRange : std::nullopt,
           kMmPerCm);
    setRow(results, ResultRow::ProjectedRange, row.projectedRange,
           linear ? linear->projectedRange : std::nullopt, kMmPerCm);
    setRow(results, ResultRow::DetourFactor, row.detourFactor, std::nullopt, 1);
    for (const ColumnProblem *problem :
         {&material.csdaRange, &material.projectedRange, &material.detourFactor})
        if (*problem)
            addNote(results, **problem);

    auto ratio = ratioToWater(row, density, water);
    if (auto *value = std::get_if<double>(&ratio))
        setRow(results, ResultRow::RatioToWater, *value, std::nullopt, 1);
    else
        addNote(results, std::get<std::string>(ratio));
    return results;
}

std::string resultsAsTabSeparated(const std::string &materialName, const std::string &density,
                                  const CalculatorResults &results)
{
    std::string text = "Quantity\tValue\tUnit\n";
    text += "Material\t";
    appendField(text, materialName, TableFileFormat::TabSeparated);
    text += "\t\n";
    text += "Density\t" + density + "\tg/cm3\n";
    for (int q = 0; q < kResultRowCount; ++q) {
        const ResultRowLayout &layout = resultRows()[q];
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

std::optional<double> readTypedNumber(std::string_view text, std::string_view unit)
{
    constexpr const char *kBlanks = " \t";
    const auto trim = [](std::string_view t) {
        const auto first = t.find_first_not_of(kBlanks);
        if (first == std::string_view::npos)
            return std::string_view();
        return t.substr(first, t.find_last_not_of(kBlanks) - first + 1);
    };
    text = trim(text);
    if (!unit.empty() && text.size() > unit.size() && text.ends_with(unit))
        if (auto number = readNumber(trim(text.substr(0, text.size() - unit.size()))))
            return number;
    return readNumber(text);
}

std::string notANumber(std::string_view text)
{
    std::string message(1, '"');
    message.append(text).append("\" is not a number.");
    return message;
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
