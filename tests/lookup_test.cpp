// SPDX-License-Identifier: MIT
#include <cmath>
#include <variant>

#include <gtest/gtest.h>

#include "data/lookup.h"
#include "data/number_format.h"
#include "data/plot_geometry.h"
#include "test_support.h"

namespace quenrow {
namespace {

const MaterialTable &water()
{
    static const MaterialTable table = [] {
        const auto file = materialPath(test::bundledDataDirectory(), "Water_liquid.psp");
        return (*std::get<MaterialPtr>(loadMaterial(file))).table;
    }();
    return table;
}

// Rows at 1, 10, 100 ... MeV with S = 1000 / E, so log-log lines are exact.
MaterialTable decades(int rows, double first = 0.001)
{
    MaterialTable table;
    for (int k = 1; k <= kRowCount; ++k) {
        const int row = std::min(k, rows);
        table.energy[k] = first * std::pow(10.0, row - 1) * (k > rows ? 1 + (k - rows) : 1);
        table.stoppingPower[3][k] = 1000 / table.energy[k];
    }
    return table;
}

TEST(InterpolateTotal, RangeLimitsAreInclusive)
{
    struct Case {
        double energy;
        bool accepted;
    };
    const Case cases[] = {{0.001, true},     {10000, true}, {0.000999, false},
                          {10000.01, false}, {0, false},    {-5, false},
                          {INFINITY, false}, {NAN, false},  {1, true}};
    for (const auto &c : cases)
        EXPECT_EQ(interpolateTotal(test::prepared(water()), c.energy).has_value(), c.accepted)
            << c.energy;
}

TEST(InterpolateTotal, TableEnergyGivesExactlyThatRow)
{
    const MaterialTable &t = water();
    // exp(ln S) may differ from S in the last bit; what is shown may not.
    for (int k = 1; k <= kRowCount; ++k) {
        const double value = *interpolateTotal(test::prepared(t), t.energy[k]);
        ASSERT_DOUBLE_EQ(value, t.totalStoppingPower(k)) << "row " << k;
        ASSERT_EQ(formatScientific(value), formatScientific(t.totalStoppingPower(k)));
    }
}

TEST(InterpolateTotal, LogMidpointGivesGeometricMean)
{
    const MaterialTable &t = water();
    for (int k = 2; k <= kRowCount; ++k) {
        const double energy = std::sqrt(t.energy[k - 1] * t.energy[k]);
        const double expected = std::sqrt(t.totalStoppingPower(k - 1) * t.totalStoppingPower(k));
        ASSERT_NEAR(*interpolateTotal(test::prepared(t), energy), expected, expected * 1e-12)
            << "row " << k;
    }
}

TEST(InterpolateTotal, ExtendsRowsOneAndTwoBelowTheFirstRow)
{
    const MaterialTable table = decades(kRowCount, 0.01); // starts above 0.001 MeV
    EXPECT_EQ(bracketingRow(table, 0.002), 2);
    EXPECT_NEAR(*interpolateTotal(test::prepared(table), 0.002), 1000 / 0.002, 1e-6);
}

TEST(InterpolateTotal, AboveTheLastRowOfAShortTableIsOutOfRange)
{
    MaterialTable table = water();
    for (int k = 1; k <= kRowCount; ++k)
        table.energy[k] /= 10; // ends at 1000 MeV
    EXPECT_FALSE(bracketingRow(table, 5000).has_value());
    EXPECT_FALSE(interpolateTotal(test::prepared(table), 5000).has_value());
    EXPECT_TRUE(interpolateTotal(test::prepared(table), 1000).has_value());
}

TEST(InterpolateTotal, AnExtrapolationThatLeavesTheDoublesIsOutOfRange)
{
    // Row 1 at 9000 MeV: going down to 0.001 MeV along a steep line overflows.
    MaterialTable table = decades(kRowCount, 9000);
    table.stoppingPower[3][1] = 1e300;
    table.stoppingPower[3][2] = 1e-300;
    EXPECT_FALSE(interpolateTotal(test::prepared(table), 0.001).has_value());
    table.stoppingPower[3][1] = 1e-300;
    table.stoppingPower[3][2] = 1e300;
    EXPECT_FALSE(interpolateTotal(test::prepared(table), 0.001).has_value());
}

TEST(BracketingRow, StopsAtFirstRowNotBelowTheEnergy)
{
    const MaterialTable &t = water();
    EXPECT_EQ(bracketingRow(t, 0.001), 2); // row 1 itself pairs with row 2
    EXPECT_EQ(bracketingRow(t, 0.0015), 2);
    EXPECT_EQ(bracketingRow(t, 0.0016), 3);
    EXPECT_EQ(bracketingRow(t, 10000), kRowCount);
}

TEST(PlotCoordinates, DecadesAndOffsets)
{
    const double ln10 = std::log(10.0);
    EXPECT_NEAR(PlotX(0.001), 0, 1e-14);
    EXPECT_NEAR(PlotX(1e4), 7 * ln10, 1e-12);
    EXPECT_NEAR(PlotY(1e-4), 0, 1e-14);
    EXPECT_NEAR(PlotY(1e4), 8 * ln10, 1e-12);
    // The markers use their own rounded offsets, not 3 ln 10 and 4 ln 10.
    EXPECT_DOUBLE_EQ(MarkerX(1), 6.909);
    EXPECT_DOUBLE_EQ(MarkerY(1), 9.212);
    EXPECT_NEAR(MarkerX(0.001) - PlotX(0.001), 6.909 - 3 * ln10, 1e-12);
}

TEST(UserScale, MapsThePlotFrameOntoTheInnerArea)
{
    struct Case {
        double x, y, px, py;
    };
    const Case cases[] = {
        {-1.5, 19.1, 0, 0},          {16.6, -1.9, 525, 525},        {0, 0, 43.508, 477.5},
        {16.1, 18.4, 510.497, 17.5}, {5.67105, 6.62, 208.0, 312.0},
    };
    for (const auto &c : cases) {
        EXPECT_NEAR(UserScale::toPixelX(c.x), c.px, 1e-3) << c.x;
        EXPECT_NEAR(UserScale::toPixelY(c.y), c.py, 1e-3) << c.y;
        EXPECT_NEAR(UserScale::fromPixelX(c.px), c.x, 1e-4);
        EXPECT_NEAR(UserScale::fromPixelY(c.py), c.y, 1e-4);
    }
}

TEST(PlotFrame, EdgesCountAsInside)
{
    struct Case {
        float x, y;
        bool inside;
    };
    const Case cases[] = {
        {0, 0, true},         {16.1f, 18.4f, true}, {0, 18.4f, true},     {16.1f, 0, true},
        {8, 9, true},         {-0.0001f, 5, false}, {5, -0.0001f, false}, {16.1001f, 5, false},
        {5, 18.4001f, false}, {NAN, 5, false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(insidePlotFrame(c.x, c.y), c.inside) << c.x << ", " << c.y;
}

TEST(NearestRow, PicksTheRowWhoseMarkerIsNearest)
{
    const MaterialTable &t = water();
    auto x = [&](int row) { return MarkerX(t.energy[row]); };
    EXPECT_EQ(nearestRow(t, 0.0f), 1); // left of row 1's marker
    EXPECT_EQ(nearestRow(t, static_cast<float>(x(1))), 1);
    EXPECT_EQ(nearestRow(t, static_cast<float>(x(50))), 50);
    EXPECT_EQ(nearestRow(t, 16.1f), kRowCount);
    for (int k = 2; k <= kRowCount; ++k) {
        const double gap = x(k) - x(k - 1);
        ASSERT_EQ(nearestRow(t, static_cast<float>(x(k - 1) + 0.2 * gap)), k - 1) << k;
        ASSERT_EQ(nearestRow(t, static_cast<float>(x(k) - 0.2 * gap)), k) << k;
    }
}

TEST(NearestRow, ATieKeepsTheRowOfHigherEnergy)
{
    // Markers at whole numbers so the midpoint is exact in single precision.
    MaterialTable table;
    for (int k = 1; k <= kRowCount; ++k)
        table.energy[k] = std::exp(k - 6.909);
    EXPECT_EQ(nearestRow(table, 3.5f), 4);
    EXPECT_EQ(nearestRow(table, 3.4999f), 3);
}

TEST(NearestRow, NeverRunsPastTheLastRow)
{
    MaterialTable table = water();
    for (int k = 1; k <= kRowCount; ++k)
        table.energy[k] /= 100; // last marker far left of the frame's right edge
    EXPECT_EQ(nearestRow(table, 16.1f), kRowCount);
}

} // namespace
} // namespace quenrow
