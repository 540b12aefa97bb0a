// SPDX-License-Identifier: MIT
#include <cmath>
#include <variant>

#include <gtest/gtest.h>

#include "data/plot_geometry.h"
#include "recording_surface.h"
#include "test_support.h"
#include "ui/plot/draw_plot.h"

namespace quenrow {
namespace {

using test::DrawCall;

class DrawPlotTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const auto file = materialPath(test::bundledDataDirectory(), "Water_liquid.psp");
        table = std::get<LoadedMaterial>(loadMaterial(file)).table;
        drawPlotImage(surface, table);
        calls = surface.calls;
    }

    // Advances through the calls, checking each kind in turn.
    const DrawCall &next(DrawCall::Kind kind)
    {
        EXPECT_LT(at, calls.size());
        const DrawCall &call = calls.at(at++);
        EXPECT_EQ(call.kind, kind) << "call " << at - 1;
        return call;
    }

    MaterialTable table;
    test::RecordingSurface surface;
    std::vector<DrawCall> calls;
    std::size_t at = 0;
};

TEST_F(DrawPlotTest, GridThenCurvesThenMasksFrameAndLegend)
{
    const double ln10 = std::log(10.0);
    next(DrawCall::Clear);
    EXPECT_EQ(next(DrawCall::PenWidth).value, 1);
    for (int i = 0; i <= 7; ++i)
        for (int j = 1; j <= 10; ++j) {
            const DrawCall &c = next(DrawCall::Line);
            const auto y = static_cast<float>(i * ln10 + std::log(j));
            EXPECT_EQ(c.colour, 8);
            EXPECT_EQ(c.x1, 0);
            EXPECT_EQ(c.x2, 16.1f);
            EXPECT_EQ(c.y1, y);
            EXPECT_EQ(c.y2, y);
        }
    for (int i = 0; i <= 6; ++i)
        for (int j = 1; j <= 10; ++j) {
            const DrawCall &c = next(DrawCall::Line);
            const auto x = static_cast<float>(i * ln10 + std::log(j));
            EXPECT_EQ(c.colour, 8);
            EXPECT_EQ(c.x1, x);
            EXPECT_EQ(c.x2, x);
            EXPECT_EQ(c.y1, 0);
            EXPECT_EQ(c.y2, 18.4f);
        }
    EXPECT_EQ(next(DrawCall::PenWidth).value, 2);
    const int curveColours[] = {12, 14, 15};
    for (int column = 1; column <= 3; ++column) {
        const DrawCall &start = next(DrawCall::Point);
        EXPECT_EQ(start.x1, 0);
        EXPECT_EQ(start.y1, static_cast<float>(PlotY(table.stoppingPower[column][1])));
        for (int k = 2; k <= kRowCount; ++k) {
            const DrawCall &c = next(DrawCall::LineTo);
            ASSERT_EQ(c.colour, curveColours[column - 1]);
            ASSERT_EQ(c.x2, static_cast<float>(PlotX(table.energy[k])));
            ASSERT_EQ(c.y2, static_cast<float>(PlotY(table.stoppingPower[column][k])));
        }
    }
    struct Box {
        DrawCall::Kind kind;
        float x1, y1, x2, y2;
        int colour;
    };
    const Box boxes[] = {
        {DrawCall::Filled, 0, 18.4f, 16.6f, 19.1f, 1}, // mask above the frame
        {DrawCall::Filled, 0, 0, 16.6f, -1.9f, 1},     // mask below it
        {DrawCall::Rectangle, 0, 0, 16.1f, 18.4f, 15}, // the frame, after the masks
        {DrawCall::Filled, 10, 14, 15.8f, 18.2f, 1},   // legend background
        {DrawCall::Line, 10.5f, 16.5f, 12, 16.5f, 12},
        {DrawCall::Line, 10.5f, 15.5f, 12, 15.5f, 14},
        {DrawCall::Line, 10.5f, 14.5f, 12, 14.5f, 15},
        {DrawCall::Rectangle, 10, 14, 15.8f, 18.2f, 15},
    };
    for (const Box &box : boxes) {
        const DrawCall &c = next(box.kind);
        EXPECT_EQ(c.x1, box.x1);
        EXPECT_EQ(c.y1, box.y1);
        EXPECT_EQ(c.x2, box.x2);
        EXPECT_EQ(c.y2, box.y2);
        EXPECT_EQ(c.colour, box.colour);
    }
    EXPECT_EQ(next(DrawCall::FontSize).value, 12.5);
}

// Every print: its text, where it starts (if positioned), its size, and
// whether it ends the line.
TEST_F(DrawPlotTest, LegendAndLabelsPrintAtTheirPlacesWithRaisedExponents)
{
    struct Printed {
        std::string text;
        float x, y; // NAN when the text continues the one before
        double size;
        bool endLine;
    };
    std::vector<Printed> printed;
    double size = 0;
    float x = NAN, y = NAN;
    for (const DrawCall &c : calls) {
        if (c.kind == DrawCall::FontSize)
            size = c.value;
        if (c.kind == DrawCall::Position) {
            x = c.x1;
            y = c.y1;
        }
        if (c.kind == DrawCall::Print) {
            printed.push_back({c.text, x, y, size, c.endLine});
            x = y = NAN;
        }
    }
    std::vector<Printed> expected = {
        {"Stopping Power", 11, 18.2f, 12.5, true}, {"Electronic", 12.5f, 17.3f, 12.5, true},
        {"(Collision)", 12.5f, 16.8f, 12.5, true}, {"Nuclear", 12.5f, 16, 12.5, true},
        {"Total", 12.5f, 15, 12.5, true},
    };
    const std::pair<const char *, float> xDecades[] = {{"-3", -0.4f}, {"-2", 1.9f}, {"-1", 4.2f},
                                                       {"0", 6.5f},   {"1", 8.8f},  {"2", 11.1f},
                                                       {"3", 13.4f},  {"4", 15.6f}};
    for (const auto &[exponent, at] : xDecades) {
        expected.push_back({"10", at, -0.1f, 14, false});
        expected.push_back({exponent, NAN, NAN, 8, true});
    }
    expected.push_back({"Proton kinetic energy,   MeV", 6, -0.8f, 14, true});
    const std::pair<const char *, float> yDecades[] = {{"-4", 0.4f}, {"-3", 2.6f}, {"-2", 4.9f},
                                                       {"-1", 7.2f}, {"0", 9.5f},  {"1", 11.8f},
                                                       {"2", 14.1f}, {"3", 16.4f}, {"4", 18.7f}};
    for (const auto &[exponent, at] : yDecades) {
        expected.push_back({"10", -1.1f, at, 14, false});
        expected.push_back({exponent, NAN, NAN, 8, true});
    }
    expected.push_back({"MeV", -1.5f, 17.8f, 14, true});
    expected.push_back({"cm", -1.5f, 17.2f, 14, false});
    expected.push_back({"2", NAN, NAN, 8, false});
    expected.push_back({"/g", NAN, NAN, 14, true});

    ASSERT_EQ(printed.size(), expected.size());
    for (std::size_t i = 0; i < printed.size(); ++i) {
        SCOPED_TRACE(expected[i].text + " #" + std::to_string(i));
        EXPECT_EQ(printed[i].text, expected[i].text);
        EXPECT_EQ(printed[i].size, expected[i].size);
        EXPECT_EQ(printed[i].endLine, expected[i].endLine);
        if (std::isnan(expected[i].x)) {
            EXPECT_TRUE(std::isnan(printed[i].x)) << "should continue the text before";
        } else {
            EXPECT_EQ(printed[i].x, expected[i].x);
            EXPECT_EQ(printed[i].y, expected[i].y);
        }
    }
    EXPECT_EQ(calls.back().kind, DrawCall::Print);
}

TEST(DrawPlot, CurvesStartAtZeroWhateverRowOneSays)
{
    MaterialTable table;
    for (int k = 1; k <= kRowCount; ++k) {
        table.energy[k] = 0.01 * k;
        for (int c = 1; c <= 3; ++c)
            table.stoppingPower[c][k] = c * 10.0;
    }
    test::RecordingSurface surface;
    drawPlotImage(surface, table);
    int points = 0;
    for (const DrawCall &call : surface.calls)
        if (call.kind == DrawCall::Point) {
            ++points;
            EXPECT_EQ(call.x1, 0);
        }
    EXPECT_EQ(points, 3);
}

} // namespace
} // namespace quenrow
