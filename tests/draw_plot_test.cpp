// SPDX-License-Identifier: MIT
#include <cmath>
#include <string>
#include <variant>

#include <gtest/gtest.h>

#include "data/plot_geometry.h"
#include "recording_surface.h"
#include "test_support.h"
#include "ui/plot/draw_plot.h"

namespace quenrow {
namespace {

using test::DrawCall;

enum { MaskBlue = 1, GridGrey = 8, Red = 12, Yellow = 14, White = 15 };

MaterialTable water()
{
    const auto file = materialPath(test::bundledDataDirectory(), "Water_liquid.psp");
    return (*std::get<MaterialPtr>(loadMaterial(file))).table;
}

std::vector<DrawCall> plotted(const MaterialTable &table)
{
    test::RecordingSurface surface;
    drawPlotImage(surface, table);
    return surface.calls;
}

bool covers(const DrawCall &box, float x, float y)
{
    return x >= std::min(box.x1, box.x2) && x <= std::max(box.x1, box.x2) &&
           y >= std::min(box.y1, box.y2) && y <= std::max(box.y1, box.y2);
}

TEST(DrawPlot, EachCurvePassesThroughItsColumnInItsColour)
{
    const MaterialTable table = water();
    const std::vector<DrawCall> calls = plotted(table);
    const int colours[] = {Red, Yellow, White};
    for (int column = 1; column <= 3; ++column) {
        std::vector<std::pair<float, float>> points;
        for (const DrawCall &c : calls)
            if (c.kind == DrawCall::LineTo && c.colour == colours[column - 1])
                points.emplace_back(c.x2, c.y2);
        ASSERT_EQ(points.size(), std::size_t(kRowCount - 1)) << "column " << column;
        for (int k = 2; k <= kRowCount; ++k) {
            EXPECT_FLOAT_EQ(points[k - 2].first, PlotX(table.energy[k]));
            EXPECT_FLOAT_EQ(points[k - 2].second, PlotY(table.stoppingPower[column][k]));
        }
    }
}

TEST(DrawPlot, WhatLeavesTheFrameIsMaskedAndTheFrameStaysVisible)
{
    // Curves from 10^-6 to 10^6 MeV cm2/g cross both bands.
    MaterialTable table;
    for (int k = 1; k <= kRowCount; ++k) {
        table.energy[k] = 1e-3 * std::pow(1e7, (k - 1) / (kRowCount - 1.0));
        for (int c = 1; c <= 3; ++c)
            table.stoppingPower[c][k] = 1e-6 * std::pow(1e12, (k - 1) / (kRowCount - 1.0));
    }
    const std::vector<DrawCall> calls = plotted(table);
    int outside = 0;
    std::size_t frame = 0;
    for (std::size_t i = 0; i < calls.size(); ++i) {
        const DrawCall &c = calls[i];
        if (c.kind == DrawCall::Rectangle && c.colour == White && c.x1 == 0 && c.y1 == 0)
            frame = i;
        // Outside the frame but on the surface (its user scale ends at -1.9 and 19.1).
        if (c.kind != DrawCall::LineTo || (c.y2 >= 0 && c.y2 <= kFrameTop) || c.y2 < -1.9f ||
            c.y2 > 19.1f)
            continue;
        ++outside;
        bool masked = false;
        for (std::size_t j = i + 1; j < calls.size(); ++j)
            masked |= calls[j].kind == DrawCall::Filled && calls[j].colour == MaskBlue &&
                      covers(calls[j], c.x2, c.y2);
        EXPECT_TRUE(masked) << "point " << c.x2 << ", " << c.y2;
    }
    EXPECT_GT(outside, 20);
    ASSERT_GT(frame, 0u);
    EXPECT_FLOAT_EQ(calls[frame].x2, kFrameRight);
    EXPECT_FLOAT_EQ(calls[frame].y2, kFrameTop);
    for (std::size_t j = frame + 1; j < calls.size(); ++j) { // nothing paints over its edges
        if (calls[j].kind == DrawCall::Filled) {
            EXPECT_GT(std::min(calls[j].x1, calls[j].x2), 0) << "call " << j;
        }
    }
}

TEST(DrawPlot, LegendSamplesStandBesideTheirNamesInTheCurvesColours)
{
    const std::vector<DrawCall> calls = plotted(water());
    const DrawCall *box = nullptr;
    for (const DrawCall &c : calls)
        if (c.kind == DrawCall::Filled && covers(c, 11, 16))
            box = &c;
    ASSERT_TRUE(box);
    float textY = NAN;
    std::vector<std::pair<std::string, float>> names; // text and the top it hangs from
    for (const DrawCall &c : calls) {
        if (c.kind == DrawCall::Position)
            textY = covers(*box, c.x1, c.y1) ? c.y1 : NAN;
        if (c.kind == DrawCall::Print && !std::isnan(textY))
            names.emplace_back(c.text, textY);
    }
    const std::pair<int, const char *> samples[] = {
        {Red, "Electronic"}, {Yellow, "Nuclear"}, {White, "Total"}};
    for (const auto &[colour, name] : samples) {
        SCOPED_TRACE(name);
        const DrawCall *sample = nullptr;
        for (const DrawCall &c : calls)
            if (c.kind == DrawCall::Line && c.colour == colour && covers(*box, c.x1, c.y1))
                sample = &c;
        ASSERT_TRUE(sample);
        EXPECT_EQ(sample->y1, sample->y2);
        EXPECT_TRUE(covers(*box, sample->x2, sample->y2));
        const auto found = std::find_if(names.begin(), names.end(),
                                        [&](const auto &n) { return n.first == name; });
        ASSERT_NE(found, names.end());
        // Text hangs from its top: the line runs within a text's height below it.
        EXPECT_GT(found->second, sample->y1);
        EXPECT_LT(found->second - sample->y1, 1.0f);
    }
}

TEST(DrawPlot, DecadeLabelsStandAtTheirDecadesWithRaisedExponents)
{
    const std::vector<DrawCall> calls = plotted(water());
    float x = NAN, y = NAN;
    double size = 0, baseSize = 0;
    std::string base;
    int labels = 0;
    for (const DrawCall &c : calls) {
        if (c.kind == DrawCall::Position)
            x = c.x1, y = c.y1, base.clear();
        if (c.kind == DrawCall::FontSize)
            size = c.value;
        if (c.kind != DrawCall::Print)
            continue;
        if (c.text == "10" && !c.endLine) {
            base = c.text;
            baseSize = size;
            continue;
        }
        if (base.empty())
            continue;
        SCOPED_TRACE("10^" + c.text);
        ++labels;
        EXPECT_LT(size, baseSize);
        EXPECT_TRUE(c.endLine);
        const int exponent = std::stoi(c.text);
        if (y < 0) { // below the frame: left of the decade's vertical line
            EXPECT_NEAR(x, PlotX(std::pow(10.0, exponent)) - 0.45, 0.15);
        } else { // left of the frame: hanging just above the decade's horizontal line
            EXPECT_NEAR(y, PlotY(std::pow(10.0, exponent)) + 0.35, 0.1);
        }
        base.clear();
    }
    EXPECT_EQ(labels, 17);
}

TEST(DrawPlot, TheGridIsTheSameForEveryMaterial)
{
    // The plot window draws the grid once and each material over a copy.
    test::RecordingSurface grid, material;
    drawPlotGrid(grid);
    drawPlotMaterial(material, water());
    EXPECT_EQ(grid.calls.front().kind, DrawCall::Clear);
    for (const DrawCall &c : grid.calls)
        EXPECT_TRUE(c.kind == DrawCall::Clear || c.kind == DrawCall::PenWidth ||
                    (c.kind == DrawCall::Line && c.colour == GridGrey));
    for (const DrawCall &c : material.calls) {
        EXPECT_NE(c.kind, DrawCall::Clear);
        EXPECT_NE(c.colour, GridGrey);
    }
    EXPECT_EQ(grid.calls.size() + material.calls.size(), plotted(water()).size());
}

TEST(DrawPlot, CurvesStartAtZeroWhateverRowOneSays)
{
    MaterialTable table;
    for (int k = 1; k <= kRowCount; ++k) {
        table.energy[k] = 0.01 * k;
        for (int c = 1; c <= 3; ++c)
            table.stoppingPower[c][k] = c * 10.0;
    }
    int points = 0;
    for (const DrawCall &call : plotted(table))
        if (call.kind == DrawCall::Point) {
            ++points;
            EXPECT_EQ(call.x1, 0);
        }
    EXPECT_EQ(points, 3);
}

} // namespace
} // namespace quenrow
