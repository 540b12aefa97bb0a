// SPDX-License-Identifier: MIT
#include <cmath>
#include <map>
#include <random>
#include <variant>

#include <gtest/gtest.h>

#include "data/stack.h"
#include "test_support.h"

namespace quenrow {
namespace {

LayerMaterial bundled(const std::string &fileName)
{
    static std::map<std::string, LayerMaterial> cache;
    auto &material = cache[fileName];
    if (!material) {
        auto loaded = loadLayerMaterial(materialPath(test::bundledDataDirectory(), fileName));
        material = std::get<LayerMaterial>(loaded);
    }
    return material;
}

const StackWater &water()
{
    static const StackWater water{bundled("Water_liquid.psp")};
    return water;
}

Layer layer(const std::string &file, double value, ThicknessUnit unit,
            std::optional<double> density = {})
{
    const LayerMaterial material = bundled(file);
    return {material, file, {value, unit}, density.value_or(fileDensity(material))};
}

StackResult forward(const std::vector<Layer> &layers, double energy)
{
    auto result = throughStack(layers, water(), energy);
    if (auto *error = std::get_if<StackError>(&result))
        ADD_FAILURE() << energy << " MeV: " << error->message;
    return std::get<StackResult>(result);
}

constexpr auto cm = ThicknessUnit::Centimetre;

// Computed apart from the program, from the bundled tables.
TEST(ThroughStack, ReproducesIndependentFigures)
{
    struct Case {
        const char *name;
        Layer layer;
        double energyIn, energyOut, wet; // MeV, MeV, cm
        double wetTolerance;
    };
    const Case cases[] = {
        {"water 5 cm at 150", layer("Water_liquid.psp", 5, cm), 150, 120.69, 5, 1e-9},
        {"water 5 cm at 100", layer("Water_liquid.psp", 5, cm), 100, 55.85, 5, 1e-9},
        {"water 3 cm at 70", layer("Water_liquid.psp", 3, cm), 70, 33.49, 3, 1e-9},
        {"water 30 mm at 70", layer("Water_liquid.psp", 30, ThicknessUnit::Millimetre), 70, 33.49,
         3, 1e-9},
        {"water 3 g/cm2 at 70", layer("Water_liquid.psp", 3, ThicknessUnit::GramPerCm2), 70, 33.49,
         3, 1e-9},
        {"PMMA 1.19 1 cm at 150", layer("Polymethyl_methacrylate.psp", 1, cm, 1.19), 150, 143.61,
         1.158, 5e-4},
        {"aluminium 1 cm at 150", layer("013-Aluminum.ps", 1, cm), 150, 138.20, 2.109, 5e-4},
        {"aluminium 1e4 um at 150", layer("013-Aluminum.ps", 1e4, ThicknessUnit::Micrometre), 150,
         138.20, 2.109, 5e-4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const StackResult result = forward({c.layer}, c.energyIn);
        ASSERT_EQ(result.layers.size(), 1u);
        // Half a unit of the figures' last digit; "33.49" is 33.48498, rounded twice.
        EXPECT_NEAR(result.energyOut, c.energyOut, 0.0051);
        EXPECT_NEAR(result.layers[0].wet, c.wet, c.wetTolerance);
        EXPECT_FALSE(result.stoppedIn);
    }
}

TEST(ThroughStack, StopsInTheLayerItCannotCrossAndFeedsNothingBehind)
{
    // 100 MeV: 7.718 g/cm2 of water; the second layer takes the rest.
    const std::vector<Layer> layers = {layer("Water_liquid.psp", 5, cm),
                                       layer("Water_liquid.psp", 5, cm),
                                       layer("013-Aluminum.ps", 1, cm)};
    const StackResult result = forward(layers, 100);
    ASSERT_EQ(result.layers.size(), 2u);
    ASSERT_EQ(result.stoppedIn, 1u);
    const LayerResult &stop = result.layers[1];
    EXPECT_NEAR(*stop.stopDepth, 7.718 - 5, 0.001);
    EXPECT_EQ(stop.energyOut, 0);
    EXPECT_EQ(stop.energyLost, stop.energyIn);
    EXPECT_EQ(result.energyOut, 0);
    EXPECT_EQ(result.residualWaterRange, 0);
    EXPECT_NEAR(result.wet, 7.718, 0.001);
}

TEST(ThroughStack, RefusesWhatTheTablesCannotAnswer)
{
    struct Case {
        const char *name;
        std::vector<Layer> layers;
        double energy;
        std::optional<std::size_t> layer;
    };
    const Case cases[] = {
        {"energy above the table", {layer("Water_liquid.psp", 1, cm)}, 20000, std::nullopt},
        {"energy not a number", {layer("Water_liquid.psp", 1, cm)}, NAN, std::nullopt},
        {"zero thickness",
         {layer("Water_liquid.psp", 1, cm), layer("Water_liquid.psp", 0, cm)},
         100,
         1},
        {"negative density", {layer("Water_liquid.psp", 1, cm, -1)}, 100, 0},
        {"no material", {Layer{nullptr, "x", {1, cm}, 1}}, 100, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const auto result = throughStack(c.layers, water(), c.energy);
        ASSERT_TRUE(std::holds_alternative<StackError>(result));
        EXPECT_EQ(std::get<StackError>(result).layer, c.layer);
        EXPECT_FALSE(std::get<StackError>(result).message.empty());
    }
}

TEST(EnergyNeeded, RefusesAnEnergyBeyondTheTableAndReachesAWaterDepth)
{
    const auto tooMuch = energyNeededFor({layer("082-Lead.ps", 100, cm)}, 9000);
    ASSERT_TRUE(std::holds_alternative<StackError>(tooMuch));
    EXPECT_EQ(std::get<StackError>(tooMuch).layer, 0u);

    // 12 cm of water is a range of 12 g/cm2: about 127.3 MeV.
    const auto energy = energyForWaterDepth(water(), 12);
    ASSERT_TRUE(std::holds_alternative<double>(energy));
    const StackResult check = forward({}, std::get<double>(energy));
    EXPECT_NEAR(check.residualWaterRange, 12, 1e-9);
    EXPECT_TRUE(std::holds_alternative<StackError>(energyForWaterDepth(water(), 0)));
}

// Random stacks with a fixed seed: what must hold whatever the layers are.
TEST(ThroughStack, PropertiesOverRandomStacks)
{
    const char *files[] = {"Water_liquid.psp", "013-Aluminum.ps", "Polymethyl_methacrylate.psp",
                           "082-Lead.ps",      "029-Copper.ps",   "Air_dry.psp",
                           "006-Graphite.ps"};
    std::mt19937 random(20261208);
    auto uniform = [&](double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(random);
    };
    int crossed = 0, stopped = 0;
    for (int trial = 0; trial < 400; ++trial) {
        std::vector<Layer> layers;
        const int count = 1 + int(random() % 6);
        for (int i = 0; i < count; ++i) {
            const auto unit = kThicknessUnits[random() % 4];
            const double scale = unit == ThicknessUnit::Micrometre   ? 1e4
                                 : unit == ThicknessUnit::Millimetre ? 10
                                                                     : 1;
            layers.push_back(layer(files[random() % std::size(files)],
                                   scale * std::exp(uniform(std::log(1e-3), std::log(3.0))), unit));
        }
        const double energy = std::exp(uniform(std::log(1.0), std::log(3000.0)));
        SCOPED_TRACE(testing::Message() << "trial " << trial << " at " << energy << " MeV");
        const StackResult result = forward(layers, energy);

        double lost = 0, wet = 0;
        for (const LayerResult &row : result.layers) {
            lost += row.energyLost;
            wet += row.wet;
        }
        EXPECT_NEAR(lost + result.energyOut, energy, 1e-9 * energy);
        const double waterRange = forward({}, energy).residualWaterRange;
        EXPECT_NEAR(wet + result.residualWaterRange, waterRange, 1e-9 * waterRange);
        if (result.stoppedIn) {
            ++stopped;
            continue;
        }
        ++crossed;
        const auto back = energyNeededFor(layers, result.energyOut);
        ASSERT_TRUE(std::holds_alternative<double>(back)) << std::get<StackError>(back).message;
        EXPECT_NEAR(std::get<double>(back), energy, 1e-9 * energy);

        // The same material in two layers that add up to one.
        const std::size_t split = random() % layers.size();
        const double share = uniform(0.05, 0.95);
        std::vector<Layer> halves = layers;
        halves[split].thickness.value *= share;
        Layer rest = layers[split];
        rest.thickness.value *= 1 - share;
        halves.insert(halves.begin() + std::ptrdiff_t(split) + 1, rest);
        EXPECT_NEAR(forward(halves, energy).energyOut, result.energyOut, 1e-9 * result.energyOut);
    }
    // Both kinds of stack were tried.
    EXPECT_GT(crossed, 100);
    EXPECT_GT(stopped, 20);
}

TEST(StackFile, ReadsLayersAsWrittenByHand)
{
    struct Case {
        const char *line;
        WrittenLayer expected;
    };
    const Case cases[] = {
        {"013-Aluminum.ps 5 mm", {"013-Aluminum.ps", {5, ThicknessUnit::Millimetre}, {}}},
        {"  Water_liquid.psp\t10cm  # phantom", {"Water_liquid.psp", {10, cm}, {}}},
        {"Polymethyl_methacrylate.psp 2 cm 1.18", {"Polymethyl_methacrylate.psp", {2, cm}, 1.18}},
        {"water, liquid 1e3um 1.0", {"water, liquid", {1000, ThicknessUnit::Micrometre}, 1.0}},
        {"lead 0.5 g/cm2", {"lead", {0.5, ThicknessUnit::GramPerCm2}, {}}},
        {"film 50 \xC2\xB5m", {"film", {50, ThicknessUnit::Micrometre}, {}}},
        {"x +2mm\r", {"x", {2, ThicknessUnit::Millimetre}, {}}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const auto parsed = parseStack(c.line);
        ASSERT_TRUE(std::holds_alternative<std::vector<WrittenLayer>>(parsed))
            << std::get<StackFileError>(parsed).message;
        const auto &layers = std::get<std::vector<WrittenLayer>>(parsed);
        ASSERT_EQ(layers.size(), 1u);
        EXPECT_EQ(layers[0], c.expected);
    }
}

TEST(LayerOption, ReadsMaterialThicknessAndDensityFromTheRight)
{
    struct Case {
        const char *text;
        std::optional<WrittenLayer> expected;
    };
    const Case cases[] = {
        {"013-Aluminum.ps:5mm",
         WrittenLayer{"013-Aluminum.ps", {5, ThicknessUnit::Millimetre}, {}}},
        {"Polymethyl_methacrylate.psp:2cm:1.18",
         WrittenLayer{"Polymethyl_methacrylate.psp", {2, cm}, 1.18}},
        {"water, liquid:10 cm", WrittenLayer{"water, liquid", {10, cm}, {}}},
        {"dir:with:colons/x.psp:1g/cm2",
         WrittenLayer{"dir:with:colons/x.psp", {1, ThicknessUnit::GramPerCm2}, {}}},
        {"water:10", std::nullopt},
        {"water", std::nullopt},
        {":5mm", std::nullopt},
        {"water:5mm:dense", std::nullopt},
        {"water:5:1.2", std::nullopt},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(readLayerOption(c.text), c.expected);
    }
}

TEST(StackFile, RefusesALineItCannotReadWhole)
{
    const char *lines[] = {"water",        "water 5",       "5 cm",
                           "water 5 inch", "water five cm", "water 5 cm 1.2 3",
                           "water ++5 cm", "water nan cm",  "water 1e999 cm"};
    for (const char *line : lines) {
        SCOPED_TRACE(line);
        const auto parsed = parseStack(std::string("# head\n\nWater_liquid.psp 1 cm\n") + line);
        ASSERT_TRUE(std::holds_alternative<StackFileError>(parsed));
        EXPECT_EQ(std::get<StackFileError>(parsed).line, 4);
    }
}

TEST(StackFile, WhatIsWrittenReadsBackTheSame)
{
    const std::vector<WrittenLayer> layers = {
        {"013-Aluminum.ps", {5, ThicknessUnit::Millimetre}, {}},
        {"Polymethyl_methacrylate.psp", {2.125, cm}, 1.18},
        {"water, liquid", {0.1, ThicknessUnit::GramPerCm2}, {}},
        {"film", {37.5, ThicknessUnit::Micrometre}, 1e-3},
    };
    test::TempDirectory folder;
    const auto file = folder.write("stack.txt", stackText(layers));
    const auto read = readStackFile(file);
    ASSERT_TRUE(std::holds_alternative<std::vector<WrittenLayer>>(read));
    EXPECT_EQ(std::get<std::vector<WrittenLayer>>(read), layers);
    EXPECT_TRUE(std::holds_alternative<std::string>(readStackFile(folder.path() / "none")));
}

} // namespace
} // namespace quenrow
