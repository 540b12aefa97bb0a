// SPDX-License-Identifier: MIT
// Materials compared: ratios against figures computed independently from the
// bundled tables, and curves that are exactly the files' values.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "data/compare.h"
#include "test_support.h"

namespace quenrow {
namespace {

MaterialPtr bundled(const std::string &fileName)
{
    auto loaded = loadCompared(materialPath(test::bundledDataDirectory(), fileName));
    if (auto *reason = std::get_if<std::string>(&loaded))
        ADD_FAILURE() << *reason;
    return std::get<MaterialPtr>(loaded);
}

constexpr CompareChoice kMassTotal{Quantity::TotalStoppingPower, UnitSystem::Mass};
constexpr CompareChoice kLinearTotal{Quantity::TotalStoppingPower, UnitSystem::Linear};

// Dosimetry's water/air ratio and proton therapy's relative stopping power,
// each given to the digits quoted, so within half the last one.
struct RatioCase {
    const char *name;
    const char *material;
    const char *reference;
    CompareChoice choice;
    double energy;
    double expected;
    double halfLastDigit;
};

class KnownRatio : public testing::TestWithParam<RatioCase> {};

TEST_P(KnownRatio, MatchesTheIndependentFigure)
{
    const RatioCase &c = GetParam();
    const auto ratio = shownAt(bundled(c.material), bundled(c.reference), c.choice, c.energy);
    ASSERT_TRUE(ratio);
    EXPECT_NEAR(*ratio, c.expected, c.halfLastDigit);
}

INSTANTIATE_TEST_SUITE_P(
    Compare, KnownRatio,
    testing::Values(RatioCase{"WaterOverAirAt150MeV", "Water_liquid.psp", "Air_dry.psp", kMassTotal,
                              150, 1.1306, 5e-5},
                    RatioCase{"WaterOverAirAt10MeV", "Water_liquid.psp", "Air_dry.psp", kMassTotal,
                              10, 1.1400, 5e-5},
                    RatioCase{"PmmaRelativeStoppingPowerAt150MeV", "Polymethyl_methacrylate.psp",
                              "Water_liquid.psp", kLinearTotal, 150, 1.1583, 5e-5},
                    RatioCase{"AluminiumRelativeStoppingPowerAt1MeV", "013-Aluminum.ps",
                              "Water_liquid.psp", kLinearTotal, 1, 1.780, 5e-4},
                    RatioCase{"AluminiumRelativeStoppingPowerAt250MeV", "013-Aluminum.ps",
                              "Water_liquid.psp", kLinearTotal, 250, 2.123, 5e-4}),
    [](const auto &info) { return std::string(info.param.name); });

// At every table energy a curve is the two files' own values, never an
// interpolation that happens to come close.
TEST(Compare, RatioAtEachTableEnergyIsExactlyTheQuotientOfTheFilesValues)
{
    const auto aluminium = bundled("013-Aluminum.ps"), water = bundled("Water_liquid.psp");
    const double da = aluminium->density, dw = water->density;
    const auto linear = seriesOf(aluminium, water, kLinearTotal);
    const auto mass = seriesOf(aluminium, water, {Quantity::CsdaRange, UnitSystem::Mass});
    ASSERT_EQ(linear.value.size(), std::size_t(kRowCount));
    for (int k = 1; k <= kRowCount; ++k) {
        const auto &a = aluminium->table, &w = water->table;
        ASSERT_EQ(a.energy[k], w.energy[k]);
        EXPECT_EQ(linear.energy[k - 1], a.energy[k]);
        EXPECT_EQ(linear.value[k - 1], (a.stoppingPower[3][k] * da) / (w.stoppingPower[3][k] * dw))
            << "row " << k;
        EXPECT_EQ(mass.value[k - 1], a.range[1][k] / w.range[1][k]) << "row " << k;
    }
}

// Linear units: stopping power times the density, range over it; the
// detour factor has none.
TEST(Compare, LinearUnitsComeFromTheDensity)
{
    const auto air = bundled("Air_dry.psp");
    const double energy = 150;
    struct Case {
        Quantity quantity;
        double factor;
        const char *unit;
    };
    const Case cases[] = {{Quantity::ElectronicStoppingPower, air->density, "MeV/cm"},
                          {Quantity::TotalStoppingPower, air->density, "MeV/cm"},
                          {Quantity::CsdaRange, 1 / air->density, "cm"},
                          {Quantity::DetourFactor, 1, ""}};
    for (const Case &c : cases) {
        const auto mass = valueAt(air, {c.quantity, UnitSystem::Mass}, energy);
        const auto linear = valueAt(air, {c.quantity, UnitSystem::Linear}, energy);
        ASSERT_TRUE(mass && linear) << quantityInfo(c.quantity).name;
        EXPECT_DOUBLE_EQ(*linear, *mass * c.factor) << quantityInfo(c.quantity).name;
        EXPECT_EQ(unitText({c.quantity, UnitSystem::Linear}), c.unit);
    }
}

TEST(Compare, NeverExtrapolatesPastTheTable)
{
    const auto water = bundled("Water_liquid.psp");
    for (double energy : {0.0009, 10000.5, std::nan("")})
        EXPECT_FALSE(valueAt(water, kMassTotal, energy)) << energy;
    EXPECT_TRUE(valueAt(water, kMassTotal, 0.001));
    EXPECT_TRUE(valueAt(water, kMassTotal, 10000));
}

TEST(Compare, AnUnusableRangeColumnGivesAReasonAndAGapNotANumber)
{
    test::TempDirectory dir;
    std::string text =
        test::readBytes(materialPath(test::bundledDataDirectory(), "Water_liquid.psp"));
    // Row 1's CSDA range not a number: the file still loads.
    const auto at = text.find("6.319E-06");
    ASSERT_NE(at, std::string::npos);
    text.replace(at, 9, "-.-------");
    auto loaded = loadCompared(dir.write("broken.psp", text));
    ASSERT_TRUE(std::holds_alternative<MaterialPtr>(loaded)) << std::get<std::string>(loaded);
    const auto broken = std::get<MaterialPtr>(loaded);
    const CompareChoice csda{Quantity::CsdaRange, UnitSystem::Mass};
    const auto reason = unavailableReason(broken, csda);
    ASSERT_TRUE(reason);
    EXPECT_NE(reason->find("row 1"), std::string::npos) << *reason;
    EXPECT_TRUE(std::isnan(seriesOf(broken, nullptr, csda).value[60]));
    EXPECT_FALSE(unavailableReason(broken, kMassTotal));
}

TEST(Compare, CsvHasOneRowPerTableEnergyAndOneColumnPerMaterial)
{
    const auto water = bundled("Water_liquid.psp"), air = bundled("Air_dry.psp");
    const std::string csv = valuesAsCsv({water, air}, air, kMassTotal);
    std::istringstream lines(csv);
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(line, "# Total stopping power relative to AIR (dry, near sea level)");
    std::getline(lines, line);
    EXPECT_EQ(line, "Energy (MeV),\"WATER, LIQUID\",\"AIR (dry, near sea level)\"");
    int rows = 0;
    while (std::getline(lines, line)) {
        ++rows;
        std::istringstream fields(line);
        std::string energy, waterRatio, airRatio;
        std::getline(fields, energy, ',');
        std::getline(fields, waterRatio, ',');
        std::getline(fields, airRatio, ',');
        EXPECT_EQ(std::stod(energy), water->table.energy[rows]);
        EXPECT_EQ(std::stod(waterRatio),
                  *shownAt(water, air, kMassTotal, water->table.energy[rows]));
        EXPECT_EQ(airRatio, "1");
    }
    EXPECT_EQ(rows, kRowCount);
    EXPECT_EQ(valueHeading({Quantity::CsdaRange, UnitSystem::Linear}, nullptr), "CSDA range (cm)");
}

} // namespace
} // namespace quenrow
