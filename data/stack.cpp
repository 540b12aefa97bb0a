// SPDX-License-Identifier: MIT
#include "stack.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>

#include "calculator.h"
#include "lookup.h"
#include "number_format.h"
#include "number_reader.h"
#include "table_export.h"

namespace quenrow {

namespace {

// ---- The material tables: every lookup a stack makes goes through these. ----

double firstRange(const Material &material)
{
    return material.table.range[static_cast<int>(RangeColumn::Csda)][1];
}

const ColumnProblem &csdaProblem(const Material &material)
{
    return rangeColumnProblem(material, RangeColumn::Csda);
}

// The one column a stack needs, by interpolateRow's and energyForRange's own
// steps: they would interpolate every column at every layer, five times the
// work of a stack for nothing. Whatever they would refuse goes to them, so
// the refusal and its words stay theirs.
bool usableCsda(const Material &material)
{
    return !csdaProblem(material) && material.notRisingRow(RangeColumn::Csda) == 0;
}

double lowestEnergy(const MaterialTable &table)
{
    return std::max(kLowestEnergy, table.energy[1]);
}

double highestEnergy(const MaterialTable &table)
{
    return std::min(kHighestEnergy, table.energy[kRowCount]);
}

// CSDA range (g/cm2) at `energy`, or why there is none.
std::variant<double, std::string> csdaRange(const Material &material, double energy)
{
    const MaterialTable &table = material.table;
    if (usableCsda(material) && energy >= lowestEnergy(table) && energy <= highestEnergy(table))
        return interpolateColumn(
            bracketAt(table.energy, *bracketingRow(table.energy, energy), energy), table.range[1]);
    const auto row = interpolateRow(material, energy);
    if (const auto *error = std::get_if<LookupError>(&row))
        return error->message;
    const auto &values = std::get<RowValues>(row);
    if (!values.csdaRange)
        return csdaProblem(material).value_or("The CSDA range is unavailable.");
    return *values.csdaRange;
}

std::variant<double, std::string> energyOfRange(const Material &material, double range)
{
    const MaterialTable &table = material.table;
    const TableColumn &ranges = table.range[1];
    if (usableCsda(material) && range >= ranges[1] && range <= ranges[kRowCount]) {
        const int upper = *bracketingRow(ranges, range);
        const double energy =
            std::clamp(interpolateColumn(bracketAt(ranges, upper, range), table.energy),
                       table.energy[upper - 1], table.energy[upper]);
        if (energy >= lowestEnergy(table) && energy <= highestEnergy(table))
            return energy;
    }
    const auto row = energyForRange(material, RangeColumn::Csda, range);
    if (const auto *error = std::get_if<LookupError>(&row))
        return error->message;
    return std::get<RowValues>(row).energy;
}

// ---- end of the table lookups ----

bool positiveFinite(double x)
{
    return x > 0 && std::isfinite(x);
}

std::string_view trim(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

std::string layerLabel(const std::vector<Layer> &layers, std::size_t i)
{
    return "Layer " + std::to_string(i + 1) + " (" + layers[i].name + ")";
}

StackError layerError(const std::vector<Layer> &layers, std::size_t i, const std::string &why,
                      StackError::Input input = StackError::Input::Thickness)
{
    return {i, layerLabel(layers, i) + ": " + why, input};
}

std::optional<StackError> checkLayer(const std::vector<Layer> &layers, std::size_t i)
{
    const Layer &layer = layers[i];
    if (!layer.material)
        return layerError(layers, i, "no material.");
    if (!positiveFinite(layer.thickness.value))
        return layerError(layers, i,
                          "the thickness " + formatGeneral(layer.thickness.value) +
                              " is not a positive number.");
    if (!positiveFinite(layer.density))
        return layerError(layers, i,
                          "the density " + formatGeneral(layer.density) +
                              " g/cm3 is not a positive number.",
                          StackError::Input::Density);
    if (!positiveFinite(massThickness(layer)))
        return layerError(layers, i, "the thickness is too large.");
    if (auto problem = csdaProblem(*layer.material))
        return layerError(layers, i, *problem);
    return std::nullopt;
}

} // namespace

std::variant<LayerMaterial, std::string> loadLayerMaterial(const std::filesystem::path &file)
{
    auto loaded = loadMaterial(file);
    if (auto *error = std::get_if<ReadError>(&loaded))
        return describe(*error);
    return std::get<MaterialPtr>(std::move(loaded));
}

double fileDensity(const LayerMaterial &material)
{
    return material->density;
}

std::string stackResultsText(const StackResult &result, const std::vector<std::string> &layerNames,
                             TableFileFormat format)
{
    const char separator = format == TableFileFormat::TabSeparated ? '\t' : ',';
    std::string text = "layer";
    text += separator;
    text += "material";
    for (const LayerQuantityInfo &quantity : layerQuantities()) {
        text += separator;
        text += quantity.key;
    }
    text += '\n';
    for (std::size_t i = 0; i < result.layers.size(); ++i) {
        text += std::to_string(i + 1);
        text += separator;
        appendField(text, i < layerNames.size() ? layerNames[i] : std::string(), format);
        for (const LayerQuantityInfo &quantity : layerQuantities()) {
            text += separator;
            if (const auto value = valueOf(result.layers[i], quantity.quantity))
                text += formatGeneral(*value);
        }
        text += '\n';
    }
    return text;
}

std::optional<double> valueOf(const LayerResult &layer, LayerQuantity quantity)
{
    switch (quantity) {
    case LayerQuantity::EnergyIn:
        return layer.energyIn;
    case LayerQuantity::EnergyOut:
        return layer.energyOut;
    case LayerQuantity::EnergyLost:
        return layer.energyLost;
    case LayerQuantity::Wet:
        return layer.wet;
    case LayerQuantity::ResidualWaterRange:
        return layer.residualWaterRange;
    case LayerQuantity::StopDepth:
        return layer.stopDepth;
    }
    return std::nullopt;
}

const char *unitText(ThicknessUnit unit)
{
    switch (unit) {
    case ThicknessUnit::Micrometre:
        return "um";
    case ThicknessUnit::Millimetre:
        return "mm";
    case ThicknessUnit::Centimetre:
        return "cm";
    case ThicknessUnit::GramPerCm2:
        return "g/cm2";
    }
    return "cm";
}

std::optional<ThicknessUnit> unitNamed(std::string_view text)
{
    if (text == "\xC2\xB5m" || text == "\xCE\xBCm") // micro sign, Greek mu
        return ThicknessUnit::Micrometre;
    for (ThicknessUnit unit : kThicknessUnits)
        if (text == unitText(unit))
            return unit;
    return std::nullopt;
}

std::optional<double> readPlainNumber(std::string_view token)
{
    const NumberReading reading = scanNumber(token);
    if (reading.status == NumberStatus::NotANumber || reading.status == NumberStatus::Overflow)
        return std::nullopt;
    return reading.value;
}

std::optional<Thickness> readThickness(std::string_view text)
{
    text = trim(text);
    for (const char *name : {"um", "\xC2\xB5m", "\xCE\xBCm", "mm", "cm", "g/cm2"}) {
        const std::string_view unit = name;
        if (text.size() <= unit.size() || !text.ends_with(unit))
            continue;
        if (const auto value = readPlainNumber(trim(text.substr(0, text.size() - unit.size()))))
            return Thickness{*value, *unitNamed(unit)};
    }
    return std::nullopt;
}

std::string thicknessText(const Thickness &thickness)
{
    return formatGeneral(thickness.value) + " " + unitText(thickness.unit);
}

std::optional<WrittenLayer> readLayerOption(std::string_view text)
{
    // From the right, so a material may hold a colon.
    const auto last = text.rfind(':');
    if (last == std::string_view::npos || last == 0)
        return std::nullopt;
    if (auto thickness = readThickness(text.substr(last + 1)))
        return WrittenLayer{std::string(text.substr(0, last)), *thickness, std::nullopt};
    const auto density = readPlainNumber(text.substr(last + 1));
    const auto middle = text.rfind(':', last - 1);
    if (!density || middle == std::string_view::npos || middle == 0)
        return std::nullopt;
    auto thickness = readThickness(text.substr(middle + 1, last - middle - 1));
    if (!thickness)
        return std::nullopt;
    return WrittenLayer{std::string(text.substr(0, middle)), *thickness, density};
}

std::variant<std::vector<WrittenLayer>, StackFileError> parseStack(std::string_view text)
{
    std::vector<WrittenLayer> layers;
    int lineNumber = 0;
    while (!text.empty()) {
        const auto newline = text.find('\n');
        std::string_view line = text.substr(0, newline);
        text = newline == std::string_view::npos ? std::string_view{} : text.substr(newline + 1);
        ++lineNumber;
        line = trim(line.substr(0, line.find('#')));
        if (line.empty())
            continue;

        // Read from the right: [density], thickness (one token or two), and
        // the material is what remains, blanks and all.
        std::vector<std::string_view> tokens;
        for (std::size_t at = 0; at < line.size();) {
            const auto start = line.find_first_not_of(" \t", at);
            if (start == std::string_view::npos)
                break;
            const auto stop = std::min(line.find_first_of(" \t", start), line.size());
            tokens.push_back(line.substr(start, stop - start));
            at = stop;
        }
        auto thicknessEndingAt =
            [&](std::size_t last) -> std::pair<std::optional<Thickness>, std::size_t> {
            if (last >= 1)
                if (auto t = readThickness(tokens[last]))
                    return {t, 1};
            if (last >= 2 && unitNamed(tokens[last]) && readPlainNumber(tokens[last - 1]))
                return {readThickness(
                            std::string_view(tokens[last - 1].data(),
                                             std::size_t(tokens[last].data() + tokens[last].size() -
                                                         tokens[last - 1].data()))),
                        2};
            return {std::nullopt, 0};
        };
        WrittenLayer layer;
        std::size_t last = tokens.size() - 1;
        auto [thickness, used] = thicknessEndingAt(last);
        if (!thickness && last >= 2) {
            if (const auto density = readPlainNumber(tokens[last])) {
                std::tie(thickness, used) = thicknessEndingAt(last - 1);
                if (thickness) {
                    layer.density = density;
                    --last;
                }
            }
        }
        if (!thickness)
            return StackFileError{lineNumber,
                                  "Line " + std::to_string(lineNumber) + " \"" + std::string(line) +
                                      "\" is not: material, thickness with its unit (um, mm, cm or "
                                      "g/cm2), and optionally the density in g/cm3."};
        const std::string_view lastMaterialToken = tokens[last - used];
        layer.material = std::string(line.substr(
            0, std::size_t(lastMaterialToken.data() + lastMaterialToken.size() - line.data())));
        layer.thickness = *thickness;
        layers.push_back(std::move(layer));
    }
    return layers;
}

std::string stackText(const std::vector<WrittenLayer> &layers)
{
    std::string text = "# Quenrow stack, from the beam's side: material, thickness with its unit\n"
                       "# (um, mm, cm or g/cm2), and the density in g/cm3 when not the file's.\n";
    for (const WrittenLayer &layer : layers) {
        text += layer.material;
        text += ' ';
        text += thicknessText(layer.thickness);
        if (layer.density) {
            text += ' ';
            text += formatGeneral(*layer.density);
        }
        text += '\n';
    }
    return text;
}

std::variant<std::vector<WrittenLayer>, std::string>
readStackFile(const std::filesystem::path &file)
{
    constexpr std::size_t kMaxStackFile = 1 << 20;
    std::string name = file.string();
    name.insert(name.begin(), '"');
    name.push_back('"');
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return "Cannot open " + name + ": " + std::strerror(errno) + ".";
    std::string bytes(kMaxStackFile + 1, '\0');
    in.read(bytes.data(), std::streamsize(bytes.size()));
    if (in.bad())
        return "Cannot read " + name + ".";
    bytes.resize(std::size_t(in.gcount()));
    if (bytes.size() > kMaxStackFile)
        return name + " is larger than a stack file can be (1 MiB).";
    auto parsed = parseStack(bytes);
    if (auto *error = std::get_if<StackFileError>(&parsed))
        return name + ": " + error->message;
    return std::get<std::vector<WrittenLayer>>(std::move(parsed));
}

double massThickness(const Layer &layer)
{
    switch (layer.thickness.unit) {
    case ThicknessUnit::Micrometre:
        return layer.thickness.value * 1e-4 * layer.density;
    case ThicknessUnit::Millimetre:
        return layer.thickness.value * 0.1 * layer.density;
    case ThicknessUnit::Centimetre:
        return layer.thickness.value * layer.density;
    case ThicknessUnit::GramPerCm2:
        return layer.thickness.value;
    }
    return 0;
}

double thicknessCm(const Layer &layer)
{
    return massThickness(layer) / layer.density;
}

std::variant<StackResult, StackError> throughStack(const std::vector<Layer> &layers,
                                                   const StackWater &water, double energyIn)
{
    if (!water.material)
        return StackError{std::nullopt, "Liquid water's table is not loaded."};
    const double waterDensity = water.material->density;
    if (!positiveFinite(waterDensity))
        return StackError{std::nullopt, "Liquid water's density is not a positive number."};
    auto waterRange = csdaRange(*water.material, energyIn);
    if (auto *why = std::get_if<std::string>(&waterRange))
        return StackError{std::nullopt, "Liquid water: " + *why};

    StackResult result;
    result.energyIn = result.energyOut = energyIn;
    double energy = energyIn, rangeInWater = std::get<double>(waterRange);
    for (std::size_t i = 0; i < layers.size(); ++i) {
        if (auto problem = checkLayer(layers, i))
            return *problem;
        const Layer &layer = layers[i];
        const auto rangeIn = csdaRange(*layer.material, energy);
        if (auto *why = std::get_if<std::string>(&rangeIn))
            return layerError(layers, i, *why);
        const double residual = std::get<double>(rangeIn) - massThickness(layer);

        LayerResult row;
        row.energyIn = energy;
        if (residual < firstRange(*layer.material)) {
            row.energyLost = energy;
            row.wet = rangeInWater / waterDensity;
            row.stopDepth = std::get<double>(rangeIn) / layer.density;
            result.layers.push_back(row);
            result.stoppedIn = i;
            energy = rangeInWater = 0;
            break;
        }
        const auto out = energyOfRange(*layer.material, residual);
        if (auto *why = std::get_if<std::string>(&out))
            return layerError(layers, i, *why);
        const auto waterOut = csdaRange(*water.material, std::get<double>(out));
        if (auto *why = std::get_if<std::string>(&waterOut))
            return layerError(layers, i, "liquid water: " + *why);
        row.energyOut = std::get<double>(out);
        row.energyLost = energy - row.energyOut;
        row.wet = (rangeInWater - std::get<double>(waterOut)) / waterDensity;
        row.residualWaterRange = std::get<double>(waterOut) / waterDensity;
        result.layers.push_back(row);
        energy = row.energyOut;
        rangeInWater = std::get<double>(waterOut);
    }
    result.energyOut = energy;
    result.residualWaterRange = rangeInWater / waterDensity;
    for (const LayerResult &row : result.layers) {
        result.energyLost += row.energyLost;
        result.wet += row.wet;
    }
    return result;
}

std::variant<double, StackError> energyNeededFor(const std::vector<Layer> &layers, double energyOut)
{
    double energy = energyOut;
    for (std::size_t i = layers.size(); i-- > 0;) {
        if (auto problem = checkLayer(layers, i))
            return *problem;
        const Layer &layer = layers[i];
        const auto rangeOut = csdaRange(*layer.material, energy);
        if (auto *why = std::get_if<std::string>(&rangeOut))
            return layerError(layers, i, *why);
        const auto in =
            energyOfRange(*layer.material, std::get<double>(rangeOut) + massThickness(layer));
        if (auto *why = std::get_if<std::string>(&in))
            return layerError(layers, i, *why);
        energy = std::get<double>(in);
    }
    return energy;
}

std::variant<double, StackError> energyForWaterDepth(const StackWater &water, double depth)
{
    if (!water.material)
        return StackError{std::nullopt, "Liquid water's table is not loaded."};
    if (!positiveFinite(depth))
        return StackError{std::nullopt, "The water depth " + formatGeneral(depth) +
                                            " cm is not a positive number."};
    const auto energy = energyOfRange(*water.material, depth * water.material->density);
    if (auto *why = std::get_if<std::string>(&energy))
        return StackError{std::nullopt, "Liquid water: " + *why};
    return std::get<double>(energy);
}

} // namespace quenrow
