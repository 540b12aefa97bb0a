// SPDX-License-Identifier: MIT
// The hostile corpus through the data layer: every file is refused with the
// stated cause and place, or loads the stated table, and whatever loads can be
// plotted and looked up.
#include <algorithm>
#include <cmath>
#include <fstream>
#include <set>
#include <sstream>
#include <variant>

#include <gtest/gtest.h>

#include "data/lookup.h"
#include "data/material.h"
#include "data/plot_geometry.h"
#include "hostile_cases.h"
#include "recording_surface.h"
#include "test_support.h"
#include "ui/plot/draw_plot.h"

namespace quenrow {
namespace {

namespace fs = std::filesystem;
using test::HostileCase;
using test::MadeCase;
using test::Refusal;
using test::TempDirectory;

const Material &baseMaterial()
{
    static const Material base = [] {
        auto result = loadMaterial(test::bundledDataDirectory() / test::kHostileBase);
        if (auto *error = std::get_if<ReadError>(&result)) {
            ADD_FAILURE() << describe(*error);
            return Material{};
        }
        return *std::get<MaterialPtr>(std::move(result));
    }();
    return base;
}

// Where two tables first differ, for a readable failure.
std::string firstDifference(const MaterialTable &a, const MaterialTable &b)
{
    std::ostringstream out;
    out.precision(17);
    if (a.name != b.name)
        return "name: \"" + a.name + "\" vs \"" + b.name + "\"";
    for (int k = 0; k <= kRowCount; ++k) {
        const double got[] = {a.energy[k],           a.stoppingPower[1][k], a.stoppingPower[2][k],
                              a.stoppingPower[3][k], a.range[1][k],         a.range[2][k]};
        const double want[] = {b.energy[k],           b.stoppingPower[1][k], b.stoppingPower[2][k],
                               b.stoppingPower[3][k], b.range[1][k],         b.range[2][k]};
        for (int f = 0; f < 6; ++f)
            if (!(got[f] == want[f])) {
                out << "row " << k << " field " << f + 1 << ": " << got[f] << " vs " << want[f];
                return out.str();
            }
        if (a.rowText[k] != b.rowText[k])
            return "row text " + std::to_string(k) + ": \"" + a.rowText[k] + "\" vs \"" +
                   b.rowText[k] + "\"";
    }
    return {};
}

void expectRefusal(const ReadError &error, const Refusal &expected, const fs::path &file)
{
    const std::string message = describe(error);
    SCOPED_TRACE(message);
    EXPECT_EQ(error.cause, expected.cause);
    EXPECT_EQ(error.line, expected.line);
    EXPECT_EQ(error.field, expected.field);
    if (expected.detail) {
        EXPECT_EQ(error.detail, *expected.detail);
    }
    EXPECT_EQ(error.path, file.string());

    // The warning names the file, the line and the cause, in printable text.
    EXPECT_NE(message.find(file.filename().string()), std::string::npos);
    EXPECT_NE(message.find(test::causeWords(expected.cause)), std::string::npos);
    if (expected.line > 0) {
        EXPECT_NE(message.find(", line " + std::to_string(expected.line) + ":"), std::string::npos);
    }
    // The order of energies is a matter of rows, not of one field.
    if (expected.field > 0 && expected.cause != ReadFailure::NotIncreasing) {
        EXPECT_NE(message.find("field " + std::to_string(expected.field) + " ("),
                  std::string::npos);
    }
    EXPECT_TRUE(std::none_of(message.begin(), message.end(),
                             [](char c) { return static_cast<unsigned char>(c) < 0x20; }));
    EXPECT_LT(message.size(), 400u);
}

void checkCase(const HostileCase &c, const fs::path &file)
{
    Material expected = baseMaterial();
    if (c.adjust)
        c.adjust(expected.table, expected.density);

    {
        SCOPED_TRACE("header");
        auto header = readMaterialHeader(file);
        if (c.header) {
            ASSERT_TRUE(std::holds_alternative<ReadError>(header)) << "the header reads";
            expectRefusal(std::get<ReadError>(header), *c.header, file);
        } else {
            ASSERT_TRUE(std::holds_alternative<MaterialHeader>(header))
                << describe(std::get<ReadError>(header));
            EXPECT_EQ(std::get<MaterialHeader>(header).name, expected.table.name);
            EXPECT_EQ(std::get<MaterialHeader>(header).density, expected.density);
        }
    }

    SCOPED_TRACE("load");
    auto result = loadMaterial(file);
    if (c.load) {
        ASSERT_TRUE(std::holds_alternative<ReadError>(result)) << "the file loads";
        expectRefusal(std::get<ReadError>(result), *c.load, file);
        return;
    }
    ASSERT_TRUE(std::holds_alternative<MaterialPtr>(result))
        << describe(std::get<ReadError>(result));
    const auto &loaded = (*std::get<MaterialPtr>(result));
    const Material stated = test::expectedLoad(c, baseMaterial(), file);
    EXPECT_TRUE(loaded.table == stated.table) << firstDifference(loaded.table, stated.table);
    EXPECT_EQ(loaded.density, stated.density);
    for (int col = 1; col <= 2; ++col)
        for (int k = 1; k <= kRowCount; ++k)
            EXPECT_EQ(std::signbit(loaded.table.range[col][k]),
                      std::signbit(stated.table.range[col][k]))
                << "range " << col << " row " << k;
}

std::string testName(const std::string &file)
{
    std::string name;
    for (char c : file)
        name += std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    return name;
}

class CommittedFile : public testing::TestWithParam<HostileCase> {};

TEST_P(CommittedFile, IsRefusedOrLoadsAsStated)
{
    const fs::path file = test::hostileDirectory() / GetParam().file;
    ASSERT_TRUE(fs::is_regular_file(file)) << file;
    checkCase(GetParam(), file);
}

INSTANTIATE_TEST_SUITE_P(Hostile, CommittedFile, testing::ValuesIn(test::committedHostileCases()),
                         [](const auto &info) { return testName(info.param.file); });

class MadeFile : public testing::TestWithParam<MadeCase> {};

TEST_P(MadeFile, IsRefusedOrLoadsAsStated)
{
    TempDirectory dir;
    GetParam().make(dir.path());
    checkCase(GetParam().expected, dir.path() / GetParam().expected.file);
}

INSTANTIATE_TEST_SUITE_P(Hostile, MadeFile, testing::ValuesIn(test::madeHostileCases()),
                         [](const auto &info) { return testName(info.param.expected.file); });

bool isValidUtf8(const std::string &text)
{
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        const std::size_t length = c < 0x80         ? 1
                                   : (c >> 5) == 6  ? 2
                                   : (c >> 4) == 14 ? 3
                                   : (c >> 3) == 30 ? 4
                                                    : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k)
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        i += length;
    }
    return true;
}

// However deep the folder, the warning keeps the file's own name, and cuts
// the path only between characters.
TEST(HostileCorpus, ALongPathStillNamesTheFile)
{
    const std::string name = "Muscle-equivalent_liquid_without_sucrose.psp";
    TempDirectory dir;
    // Shifts where the cut falls against the two-byte letters.
    for (std::size_t pad = 0; pad < 4; ++pad) {
        fs::path folder = dir.path();
        for (int i = 0; i < 6; ++i)
            folder /= "donn\u00e9es-\u00e9t\u00e9";
        const fs::path file = folder / (std::string(pad, 'p') + "\u00e9\u00e9\u00e9") / name;
        SCOPED_TRACE(file.string());
        auto result = loadMaterial(file);
        ASSERT_TRUE(std::holds_alternative<ReadError>(result));
        const std::string message = describe(std::get<ReadError>(result));
        EXPECT_NE(message.find("/" + name + "\""), std::string::npos) << message;
        EXPECT_TRUE(isValidUtf8(message)) << message;
        EXPECT_LT(message.size(), 200u);
    }
}

// The names of the README section `heading`, from its "- `name` — reason." lines.
std::set<std::string> readmeNames(const std::string &heading)
{
    std::ifstream in(test::hostileDirectory() / "README.md");
    std::set<std::string> names;
    bool inSection = false;
    for (std::string line; std::getline(in, line);) {
        if (line.rfind("## ", 0) == 0)
            inSection = line == "## " + heading;
        if (!inSection || line.rfind("- `", 0) != 0)
            continue;
        const std::size_t end = line.find('`', 3);
        const std::string reason = end == std::string::npos ? "" : line.substr(end + 1);
        EXPECT_TRUE(reason.rfind(" — ", 0) == 0 && reason.size() > 6 && reason.back() == '.')
            << "no reason: " << line;
        names.insert(line.substr(3, end - 3));
    }
    return names;
}

TEST(HostileCorpus, FolderReadmeAndTableAgree)
{
    std::set<std::string> files;
    std::uintmax_t bytes = 0;
    for (const auto &entry : fs::directory_iterator(test::hostileDirectory())) {
        const auto extension = entry.path().extension();
        if (extension == ".ps" || extension == ".psp") {
            files.insert(entry.path().filename().string());
            bytes += entry.file_size();
        }
    }
    std::set<std::string> committed, made;
    for (const auto &c : test::committedHostileCases())
        EXPECT_TRUE(committed.insert(c.file).second) << c.file << " twice";
    for (const auto &c : test::madeHostileCases())
        EXPECT_TRUE(made.insert(c.expected.file).second) << c.expected.file << " twice";

    EXPECT_EQ(files, committed);
    EXPECT_EQ(readmeNames("Committed files"), committed);
    EXPECT_EQ(readmeNames("Made at test time"), made);
    EXPECT_GE(committed.size() + made.size(), 30u);
    // Large cases are made at test time, never committed.
    EXPECT_LT(bytes, 1u << 20);
}

// Every table that loads must be drawable and usable for lookups: these only
// assume what checkMaterial guarantees.
TEST(HostileCorpus, WhateverLoadsPlotsAndLooksUpFinitely)
{
    int loadedCount = 0;
    for (const auto &c : test::committedHostileCases()) {
        if (c.load)
            continue;
        SCOPED_TRACE(c.file);
        auto result = loadMaterial(test::hostileDirectory() / c.file);
        ASSERT_TRUE(std::holds_alternative<MaterialPtr>(result));
        const MaterialTable &table = (*std::get<MaterialPtr>(result)).table;
        ++loadedCount;

        test::RecordingSurface surface;
        drawPlotImage(surface, table);
        for (const auto &call : surface.calls)
            ASSERT_TRUE(std::isfinite(call.x1) && std::isfinite(call.y1) &&
                        std::isfinite(call.x2) && std::isfinite(call.y2))
                << "draw call " << call.kind;

        std::vector<double> energies;
        for (double energy = kLowestEnergy; energy <= kHighestEnergy; energy *= 1.07)
            energies.push_back(energy);
        for (int k = 1; k <= kRowCount; ++k)
            energies.push_back(table.energy[k]);
        for (double energy : energies) {
            const auto total = interpolateTotal(test::prepared(table), energy);
            if (!total)
                continue;
            ASSERT_FALSE(std::isnan(*total)) << energy << " MeV";
            // Within the table, between the totals of the rows around it;
            // below row 1 it extrapolates and may run to 0 or infinity.
            const int i = *bracketingRow(table, energy);
            if (energy >= table.energy[1]) {
                const double low =
                    std::min(table.totalStoppingPower(i - 1), table.totalStoppingPower(i));
                const double high =
                    std::max(table.totalStoppingPower(i - 1), table.totalStoppingPower(i));
                ASSERT_TRUE(*total >= low * (1 - 1e-9) && *total <= high * (1 + 1e-9))
                    << energy << " MeV: " << *total << " not in " << low << ".." << high;
            }
        }
        for (float x = -2; x <= 18; x += 0.25f) {
            const int row = nearestRow(table, x);
            ASSERT_TRUE(row >= 1 && row <= kRowCount) << x;
        }
    }
    EXPECT_GE(loadedCount, 10);
}

} // namespace
} // namespace quenrow
