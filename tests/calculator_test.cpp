// SPDX-License-Identifier: MIT
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <limits>
#include <map>
#include <variant>

#include <gtest/gtest.h>

#include "data/calculator.h"
#include "data/calculator_results.h"
#include "data/number_format.h"
#include "test_support.h"

namespace quenrow {
namespace {

const Material &bundled(const std::string &fileName)
{
    static std::map<std::string, Material> cache;
    auto it = cache.find(fileName);
    if (it == cache.end()) {
        auto loaded = loadMaterial(materialPath(test::bundledDataDirectory(), fileName));
        it = cache.emplace(fileName, (*std::get<MaterialPtr>(loaded))).first;
    }
    return it->second;
}

const MaterialTable &table(const std::string &fileName)
{
    return bundled(fileName).table;
}

RowValues row(const MaterialTable &t, double energy)
{
    auto result = interpolateRow(test::prepared(t), energy);
    if (auto *error = std::get_if<LookupError>(&result))
        ADD_FAILURE() << energy << " MeV: " << error->message;
    return std::get<RowValues>(result);
}

std::vector<double> columns(const RowValues &r)
{
    return {r.electronic,
            r.nuclear,
            r.total,
            r.csdaRange.value_or(NAN),
            r.projectedRange.value_or(NAN),
            r.detourFactor.value_or(NAN)};
}

// Computed apart from the program (a short Python script over the same files).
TEST(InterpolateRow, MatchesIndependentlyComputedValues)
{
    struct Case {
        const char *file;
        double energy;
        std::vector<double> expected; // electronic, nuclear, total, CSDA, projected, detour
    };
    const Case cases[] = {
        {"Water_liquid.psp",
         62.5,
         {10.438189595775846, 0.004603649808963905, 10.443448702886378, 3.3286732603829119,
          3.3241876186618735, 0.9986}},
        {"Water_liquid.psp",
         0.0123,
         {462.74244356941352, 8.5863595846180285, 471.36339874553067, 4.107487469446802e-05,
          2.9984485475047827e-05, 0.729978584524008}},
        {"Polymethyl_methacrylate.psp",
         7777,
         {2.0199624073842237, 4.4564158892009734e-05, 2.0199624073842237, 3766.249480266446,
          3765.2478737358783, 0.9997}},
        {"082-Lead.ps",
         0.0123,
         {53.433301853070638, 0.70034526181977053, 54.126702178023905, 0.00042512808912922314,
          9.936344571987189e-05, 0.23362322142086528}},
    };
    for (const auto &c : cases) {
        const auto got = columns(row(table(c.file), c.energy));
        for (std::size_t i = 0; i < got.size(); ++i)
            EXPECT_NEAR(got[i], c.expected[i], std::fabs(c.expected[i]) * 1e-13)
                << c.file << " at " << c.energy << " MeV, column " << i;
    }
}

TEST(InterpolateRow, TableEnergiesGiveTheRowAndLogMidpointsTheGeometricMean)
{
    const MaterialTable &t = table("Water_liquid.psp");
    for (int k = 1; k <= kRowCount; ++k) {
        const RowValues r = row(t, t.energy[k]);
        const std::vector<double> expected = {t.stoppingPower[1][k], t.stoppingPower[2][k],
                                              t.stoppingPower[3][k], t.range[1][k], t.range[2][k]};
        for (std::size_t i = 0; i < expected.size(); ++i)
            ASSERT_EQ(columns(r)[i], expected[i]) << "row " << k << ", column " << i;
        if (k == 1)
            continue;
        const RowValues mid = row(t, std::sqrt(t.energy[k - 1] * t.energy[k]));
        for (int c = 1; c <= 3; ++c) {
            const double mean = std::sqrt(t.stoppingPower[c][k - 1] * t.stoppingPower[c][k]);
            ASSERT_NEAR(columns(mid)[c - 1], mean, mean * 1e-12) << "row " << k;
        }
        const double csda = std::sqrt(t.range[1][k - 1] * t.range[1][k]);
        ASSERT_NEAR(*mid.csdaRange, csda, csda * 1e-12) << "row " << k;
    }
}

TEST(InterpolateRow, TotalIsTheEnergyEntrysValue)
{
    for (const char *file : {"Water_liquid.psp", "082-Lead.ps", "001-Hydrogen.ps"})
        for (double e = kLowestEnergy; e <= kHighestEnergy; e *= 1.013)
            ASSERT_EQ(row(table(file), e).total, *interpolateTotal(test::prepared(table(file)), e))
                << e;
}

TEST(InterpolateRow, LimitsAreInclusiveAndNothingIsExtrapolated)
{
    const MaterialTable &water = table("Water_liquid.psp");
    MaterialTable narrow = water; // rows 0.002 .. 5000 MeV
    for (int k = 1; k <= kRowCount; ++k)
        narrow.energy[k] *= k == 1 ? 2 : k == kRowCount ? 0.5 : 1;
    struct Case {
        const MaterialTable *table;
        double energy;
        bool answered;
    };
    const Case cases[] = {
        {&water, 0.001, true},     {&water, 10000, true},       {&water, 0.000999, false},
        {&water, 10000.01, false}, {&water, NAN, false},        {&water, INFINITY, false},
        {&water, -1, false},       {&water, 1e308 * 10, false}, {&narrow, 0.002, true},
        {&narrow, 0.0019, false},  {&narrow, 5000, true},       {&narrow, 5001, false},
    };
    for (const auto &c : cases) {
        const auto result = interpolateRow(test::prepared(*c.table), c.energy);
        EXPECT_EQ(std::holds_alternative<RowValues>(result), c.answered) << c.energy;
        if (!c.answered) {
            EXPECT_EQ(std::get<LookupError>(result).cause, LookupFailure::OutOfRange);
        }
    }
}

TEST(EnergyForRange, InvertsInterpolateRowAcrossTheTable)
{
    for (const char *file : {"Water_liquid.psp", "Polymethyl_methacrylate.psp", "082-Lead.ps"}) {
        const MaterialTable &t = table(file);
        for (double e = kLowestEnergy; e <= kHighestEnergy; e *= 1.037) {
            const RowValues forward = row(t, e);
            for (auto column : {RangeColumn::Csda, RangeColumn::Projected}) {
                const double range =
                    *(column == RangeColumn::Csda ? forward.csdaRange : forward.projectedRange);
                const auto back =
                    std::get<RowValues>(energyForRange(test::prepared(t), column, range));
                ASSERT_NEAR(back.energy, e, e * 1e-12) << file << " " << rangeColumnName(column);
                ASSERT_NEAR(back.total, forward.total, forward.total * 1e-12);
            }
        }
    }
}

TEST(EnergyForRange, TableRowsLimitsAndTheKnownAnswers)
{
    const MaterialTable &water = table("Water_liquid.psp");
    for (int k = 1; k <= kRowCount; ++k)
        ASSERT_EQ(std::get<RowValues>(
                      energyForRange(test::prepared(water), RangeColumn::Csda, water.range[1][k]))
                      .energy,
                  water.energy[k]);
    // 2 cm of PMMA at 1.19 g/cm3; and liquid water's projected 10 g/cm2.
    const auto pmma = std::get<RowValues>(
        energyForRange(test::prepared(table("Polymethyl_methacrylate.psp")), RangeColumn::Csda,
                       std::get<double>(massRange(2, 1.19))));
    EXPECT_NEAR(pmma.energy, 51.12912033090504, 51.13 * 1e-13);
    EXPECT_EQ(pmma.csdaRange, 2 * 1.19);
    EXPECT_NEAR(
        std::get<RowValues>(energyForRange(test::prepared(water), RangeColumn::Projected, 10))
            .energy,
        115.85182320430286, 115.9 * 1e-13);
    for (double range : {water.range[1][1] * (1 - 1e-15), water.range[1][kRowCount] * (1 + 1e-15),
                         double(NAN), double(INFINITY), 0.0})
        EXPECT_EQ(
            std::get<LookupError>(energyForRange(test::prepared(water), RangeColumn::Csda, range))
                .cause,
            LookupFailure::OutOfRange)
            << range;
}

TEST(RangeColumns, ABadValueMakesTheColumnUnavailableAndAFallRefusesTheInverse)
{
    // Any row, far from the energy looked up, and any value that is not a
    // positive finite number.
    for (int k : {1, 2, 65, 130, 131, 132})
        for (double bad : {double(NAN), double(INFINITY), 0.0, -1.0}) {
            MaterialTable t = table("Water_liquid.psp");
            t.range[1][k] = bad;
            const double energy = k < 65 ? 5000 : 0.002;
            ASSERT_FALSE(row(t, energy).csdaRange) << k << " " << bad;
            ASSERT_TRUE(row(t, energy).projectedRange) << k << " " << bad;
            ASSERT_TRUE(rangeColumnProblem(test::prepared(t), RangeColumn::Csda))
                << k << " " << bad;
        }
    MaterialTable nan = table("Water_liquid.psp");
    nan.range[2][40] = std::numeric_limits<double>::quiet_NaN();
    EXPECT_TRUE(row(nan, 1).detourFactor.has_value()); // the file's own column
    EXPECT_EQ(rangeColumnProblem(test::prepared(nan), RangeColumn::Projected),
              "The projected range of row 40 is not a number.");
    const auto refused =
        std::get<LookupError>(energyForRange(test::prepared(nan), RangeColumn::Projected, 1));
    EXPECT_EQ(refused.cause, LookupFailure::ColumnUnavailable);
    EXPECT_NE(refused.message.find("row 40"), std::string::npos) << refused.message;
    EXPECT_FALSE(std::get<RowValues>(energyForRange(test::prepared(nan), RangeColumn::Csda, 1))
                     .projectedRange);

    for (int k : {2, 3, 64, 127, 128, 129, 130, 131, 132}) {
        MaterialTable flat = table("Water_liquid.psp");
        flat.range[1][k] = flat.range[1][k - 1];
        EXPECT_TRUE(row(flat, 100).csdaRange.has_value());
        const auto notRising =
            std::get<LookupError>(energyForRange(test::prepared(flat), RangeColumn::Csda, 1));
        EXPECT_EQ(notRising.cause, LookupFailure::NotRising) << k;
        EXPECT_EQ(notRising.message,
                  "The CSDA range does not rise from row " + std::to_string(k - 1) + " to row " +
                      std::to_string(k) +
                      ", so no energy can be found for a CSDA range in this file.");
    }
}

// The seventh field as the file writes it, read apart from the program's reader.
TEST(DetourFactor, IsTheFilesFieldAtEveryTableEnergyOfEveryBundledFile)
{
    int files = 0;
    for (const auto &entry : std::filesystem::directory_iterator(test::bundledDataDirectory())) {
        const std::string name = entry.path().filename().string();
        if (!name.ends_with(".ps") && !name.ends_with(".psp"))
            continue;
        ++files;
        std::istringstream lines(test::readBytes(entry.path()));
        std::string line;
        for (int i = 0; i < 6; ++i)
            std::getline(lines, line);
        const Material &m = bundled(name);
        ASSERT_FALSE(m.detourFactor) << name;
        for (int k = 1; k <= kRowCount; ++k) {
            std::getline(lines, line);
            std::istringstream fields(line);
            std::string field;
            for (int f = 0; f < 7; ++f)
                fields >> field;
            const double expected = std::strtod(field.c_str(), nullptr);
            ASSERT_EQ(row(m.table, m.table.energy[k]).detourFactor, expected)
                << name << " row " << k;
        }
    }
    EXPECT_GT(files, 70);
}

TEST(DetourFactor, AFieldThatIsNotANumberLeavesOnlyItsColumnOut)
{
    MaterialTable t = table("Water_liquid.psp");
    t.detourFactor[77] = std::numeric_limits<double>::quiet_NaN();
    const Material m = test::prepared(t);
    EXPECT_EQ(m.detourFactor, "The detour factor of row 77 is not a number.");
    const RowValues r = std::get<RowValues>(interpolateRow(m, 2));
    EXPECT_FALSE(r.detourFactor);
    EXPECT_TRUE(r.csdaRange && r.projectedRange);
    EXPECT_FALSE(std::get<RowValues>(energyForRange(m, RangeColumn::Csda, 1)).detourFactor);
}

struct Typed {
    const char *text;
    const char *unit; // the one the box shows
    std::optional<double> value;
};

TEST(ReadTypedNumber, AWholeNumberAndOnlyTheBoxsOwnUnit)
{
    const Typed cases[] = {
        {"150", "MeV", 150},        {" 150\t", "MeV", 150},
        {"150 MeV", "MeV", 150},    {"150MeV", "MeV", 150},
        {"1.5e2 MeV ", "MeV", 150}, {"2 g/cm2", "g/cm2", 2},
        {"2 cm", "cm", 2},          {"+.5", "cm", 0.5},
        {"1 5", "MeV", {}},         {"150abc", "MeV", {}},
        {"1,5", "MeV", {}},         {"nan", "g/cm2", {}},
        {"inf", "g/cm2", {}},       {"0x10", "g/cm2", {}},
        {"abc", "g/cm2", {}},       {"150 cm", "MeV", {}},
        {"2 MeV", "g/cm2", {}},     {"2 g/cm2", "cm", {}},
        {"MeV", "MeV", {}},         {"", "MeV", {}},
        {"150 MeV MeV", "MeV", {}}, {"+-5", "MeV", {}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(readTypedNumber(c.text, c.unit), c.value) << '"' << c.text << "\" " << c.unit;
    EXPECT_EQ(notANumber("1 5"), "\"1 5\" is not a number.");
}

TEST(LinearUnits, FromTheDensityOrAReason)
{
    const RowValues r = row(table("Polymethyl_methacrylate.psp"), 62.5);
    const auto linear = std::get<LinearValues>(toLinear(r, 1.19));
    EXPECT_NEAR(linear.total, 10.167518668201334 * 1.19, 1e-12);
    EXPECT_NEAR(linear.total * kKeVPerUmPerMeVPerCm, 1.2099347215159587, 1e-13);
    EXPECT_NEAR(*linear.csdaRange * kMmPerCm, 3.4180669546865246 / 1.19 * 10, 1e-12);
    for (double density : {0.0, -1.0, double(NAN), double(INFINITY)}) {
        EXPECT_TRUE(std::holds_alternative<std::string>(toLinear(r, density))) << density;
        EXPECT_TRUE(std::holds_alternative<std::string>(massRange(2, density))) << density;
    }
    EXPECT_EQ(
        *linearUnitsProblem(0),
        "The density 0 g/cm3 is not a positive finite number, so linear units are unavailable.");
}

TEST(RatioToWater, LinearTotalsOverLiquidWaters)
{
    const WaterReference water = loadWater(test::bundledDataDirectory());
    struct Case {
        const char *file;
        double energy;
        double expected;
    };
    const Case cases[] = {{"Polymethyl_methacrylate.psp", 150, 1.1583103764921945},
                          {"082-Lead.ps", 62.5, 5.372213840079447},
                          {"Water_liquid.psp", 3.3, 1}};
    for (const auto &c : cases) {
        const double ratio = std::get<double>(
            ratioToWater(row(table(c.file), c.energy), bundled(c.file).density, water));
        EXPECT_NEAR(ratio, c.expected, c.expected * 1e-13) << c.file;
    }
    test::TempDirectory empty;
    const auto missing =
        ratioToWater(row(table("082-Lead.ps"), 10), 11.35, loadWater(empty.path()));
    EXPECT_NE(std::get<std::string>(missing).find("no Water_liquid.psp"), std::string::npos);
}

} // namespace
} // namespace quenrow
