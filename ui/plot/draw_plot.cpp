// SPDX-License-Identifier: MIT
#include "draw_plot.h"

#include <array>
#include <cmath>

#include "data/plot_geometry.h"

namespace quenrow {

namespace {

enum Colour { MaskBlue = 1, GridGrey = 8, Red = 12, Yellow = 14, White = 15 };

struct PlacedText {
    const char *text;
    float x;
    float y;
};

constexpr std::array<PlacedText, 5> kLegend{{
    {"Stopping Power", 11.0f, 18.2f},
    {"Electronic", 12.5f, 17.3f},
    {"(Collision)", 12.5f, 16.8f},
    {"Nuclear", 12.5f, 16.0f},
    {"Total", 12.5f, 15.0f},
}};

// Exponents of the decade labels and where each label starts. The places are
// hand-set offsets from the decade lines, not computed from them.
constexpr float kXLabelTop = -0.1f;
constexpr std::array<PlacedText, 8> kXDecades{{
    {"-3", -0.4f, kXLabelTop},
    {"-2", 1.9f, kXLabelTop},
    {"-1", 4.2f, kXLabelTop},
    {"0", 6.5f, kXLabelTop},
    {"1", 8.8f, kXLabelTop},
    {"2", 11.1f, kXLabelTop},
    {"3", 13.4f, kXLabelTop},
    {"4", 15.6f, kXLabelTop},
}};

constexpr float kYLabelLeft = -1.1f;
constexpr std::array<PlacedText, 9> kYDecades{{
    {"-4", kYLabelLeft, 0.4f},
    {"-3", kYLabelLeft, 2.6f},
    {"-2", kYLabelLeft, 4.9f},
    {"-1", kYLabelLeft, 7.2f},
    {"0", kYLabelLeft, 9.5f},
    {"1", kYLabelLeft, 11.8f},
    {"2", kYLabelLeft, 14.1f},
    {"3", kYLabelLeft, 16.4f},
    {"4", kYLabelLeft, 18.7f},
}};

constexpr double kBaseSize = 14;
constexpr double kExponentSize = 8;
constexpr double kLegendSize = 12.5;

void printDecade(PlotSurface &surface, const PlacedText &label)
{
    surface.setFontSize(kBaseSize);
    surface.setCurrentPosition(label.x, label.y);
    surface.print("10", false);
    surface.setFontSize(kExponentSize);
    surface.print(label.text, true);
}

void drawCurve(PlotSurface &surface, const MaterialTable &table, int column, int colour)
{
    // Starts at x = 0 (0.001 MeV) whatever row 1's energy says.
    surface.point(0, static_cast<float>(PlotY(table.stoppingPower[column][1])));
    for (int k = 2; k <= kRowCount; ++k)
        surface.lineTo(static_cast<float>(PlotX(table.energy[k])),
                       static_cast<float>(PlotY(table.stoppingPower[column][k])), colour);
}

} // namespace

Rgb paletteColor(int index)
{
    static constexpr std::array<Rgb, 16> palette{{
        {0, 0, 0},
        {0, 0, 128},
        {0, 128, 0},
        {0, 128, 128},
        {128, 0, 0},
        {128, 0, 128},
        {128, 128, 0},
        {192, 192, 192},
        {128, 128, 128},
        {0, 0, 255},
        {0, 255, 0},
        {0, 255, 255},
        {255, 0, 0},
        {255, 0, 255},
        {255, 255, 0},
        {255, 255, 255},
    }};
    return palette[static_cast<std::size_t>(index) & 15];
}

void drawPlotGrid(PlotSurface &surface)
{
    const double ln10 = std::log(10.0);
    surface.clear();
    surface.setPenWidth(1);

    // Whole-decade lines are drawn twice (j = 10 of one decade, j = 1 of the
    // next); the topmost and rightmost fall just outside the frame.
    for (int i = 0; i <= 7; ++i)
        for (int j = 1; j <= 10; ++j) {
            const auto y = static_cast<float>(i * ln10 + std::log(j));
            surface.line(0, y, static_cast<float>(kFrameRight), y, GridGrey);
        }
    for (int i = 0; i <= 6; ++i)
        for (int j = 1; j <= 10; ++j) {
            const auto x = static_cast<float>(i * ln10 + std::log(j));
            surface.line(x, 0, x, static_cast<float>(kFrameTop), GridGrey);
        }
}

void drawPlotMaterial(PlotSurface &surface, const MaterialTable &table)
{
    surface.setPenWidth(2);
    drawCurve(surface, table, 1, Red);
    drawCurve(surface, table, 2, Yellow);
    drawCurve(surface, table, 3, White);

    // Curves are not clipped: the bands hide what strays above or below the frame.
    surface.filledRectangle(0, static_cast<float>(kFrameTop), 16.6f, 19.1f, MaskBlue);
    surface.filledRectangle(0, 0, 16.6f, -1.9f, MaskBlue);
    surface.rectangle(0, 0, static_cast<float>(kFrameRight), static_cast<float>(kFrameTop), White);

    surface.filledRectangle(10, 14, 15.8f, 18.2f, MaskBlue);
    surface.line(10.5f, 16.5f, 12, 16.5f, Red);
    surface.line(10.5f, 15.5f, 12, 15.5f, Yellow);
    surface.line(10.5f, 14.5f, 12, 14.5f, White);
    surface.rectangle(10, 14, 15.8f, 18.2f, White);

    surface.setFontSize(kLegendSize);
    for (const auto &text : kLegend) {
        surface.setCurrentPosition(text.x, text.y);
        surface.print(text.text, true);
    }

    for (const auto &label : kXDecades)
        printDecade(surface, label);
    surface.setFontSize(kBaseSize);
    surface.setCurrentPosition(6, -0.8f);
    surface.print("Proton kinetic energy,   MeV", true);

    for (const auto &label : kYDecades)
        printDecade(surface, label);

    surface.setFontSize(kBaseSize);
    surface.setCurrentPosition(-1.5f, 17.8f);
    surface.print("MeV", true);
    surface.setCurrentPosition(-1.5f, 17.2f);
    surface.print("cm", false);
    surface.setFontSize(kExponentSize);
    surface.print("2", false);
    surface.setFontSize(kBaseSize);
    surface.print("/g", true);
}

void drawPlotImage(PlotSurface &surface, const MaterialTable &table)
{
    drawPlotGrid(surface);
    drawPlotMaterial(surface, table);
}

} // namespace quenrow
