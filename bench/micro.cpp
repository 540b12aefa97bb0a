// SPDX-License-Identifier: MIT
// Micro benchmarks of the steps behind GO, the energy entry and the cursor.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <variant>

#include "bench_support.h"
#include "data/calculator.h"
#include "data/lookup.h"
#include "data/material.h"
#include "data/plot_geometry.h"
#include "data/stack.h"
#include "ui/plot/draw_plot.h"
#include "ui/plot/image_surface.h"
#include "ui/plot/picture_box.h"

namespace {

using namespace quenrow;

const std::filesystem::path &waterFile()
{
    static const std::filesystem::path file =
        materialPath(bench::dataDirectory(), "Water_liquid.psp");
    return file;
}

const Material &waterMaterial()
{
    static const MaterialPtr material = [] {
        auto loaded = loadMaterial(waterFile());
        if (auto *error = std::get_if<ReadError>(&loaded)) {
            std::fprintf(stderr, "%s\n", describe(*error).c_str());
            std::exit(1);
        }
        return std::get<MaterialPtr>(loaded);
    }();
    return *material;
}

const MaterialTable &water()
{
    return waterMaterial().table;
}

// What GO reads: the file, read and checked.
void BM_LoadMaterial(benchmark::State &state)
{
    for (auto _ : state) {
        auto loaded = loadMaterial(waterFile());
        benchmark::DoNotOptimize(loaded);
    }
}
BENCHMARK(BM_LoadMaterial)->Unit(benchmark::kMicrosecond);

// The first plot of a session also loads the plot's fonts and finds the
// pixels of the grid lines; registered first so that it runs first.
void BM_DrawPlotFirstInProcess(benchmark::State &state)
{
    const MaterialTable &table = water();
    PictureBox box;
    for (auto _ : state) {
        ImageSurface surface(box.image());
        drawPlotImage(surface, table);
    }
}
BENCHMARK(BM_DrawPlotFirstInProcess)->Iterations(1)->Repetitions(1)->Unit(benchmark::kMillisecond);

// As GO draws it: over a copy of the background and grid the plot window
// keeps, into its own image, so size, format and density are the real ones.
void BM_DrawPlot(benchmark::State &state)
{
    PictureBox box;
    const MaterialTable &table = water();
    QImage grid = PictureBox::newImage(box.image().devicePixelRatio());
    {
        ImageSurface surface(grid);
        drawPlotGrid(surface);
    }
    for (auto _ : state) {
        box.image() = grid;
        ImageSurface surface(box.image());
        drawPlotMaterial(surface, table);
    }
    benchmark::DoNotOptimize(box.image().constBits());
}
BENCHMARK(BM_DrawPlot)->Unit(benchmark::kMicrosecond);

// The background and grid, drawn once by each plot window.
void BM_DrawPlotGrid(benchmark::State &state)
{
    QImage grid = PictureBox::newImage(PictureBox().image().devicePixelRatio());
    for (auto _ : state) {
        ImageSurface surface(grid);
        drawPlotGrid(surface);
    }
    benchmark::DoNotOptimize(grid.constBits());
}
BENCHMARK(BM_DrawPlotGrid)->Unit(benchmark::kMicrosecond);

// Typed energies spread over the whole accepted range, one call per iteration.
void BM_InterpolateTotal(benchmark::State &state)
{
    const Material &material = waterMaterial();
    constexpr int kCount = 64;
    double energies[kCount];
    for (int i = 0; i < kCount; ++i)
        energies[i] = kLowestEnergy * std::pow(kHighestEnergy / kLowestEnergy, i / (kCount - 1.0));
    int i = 0;
    for (auto _ : state) {
        auto total = interpolateTotal(material, energies[i]);
        benchmark::DoNotOptimize(total);
        i = (i + 1) % kCount;
    }
}
BENCHMARK(BM_InterpolateTotal)->Unit(benchmark::kNanosecond);

// Pointer positions across the whole frame width, one search per iteration.
void BM_NearestRow(benchmark::State &state)
{
    const MaterialTable &table = water();
    constexpr int kCount = 467; // one per pixel column of the frame
    float xs[kCount];
    for (int i = 0; i < kCount; ++i)
        xs[i] = static_cast<float>(kFrameRight * i / (kCount - 1.0));
    int i = 0;
    for (auto _ : state) {
        int row = nearestRow(table, xs[i]);
        benchmark::DoNotOptimize(row);
        i = (i + 1) % kCount;
    }
}
BENCHMARK(BM_NearestRow)->Unit(benchmark::kNanosecond);

// The calculator's lookups.
// Every column at energies spread over the table, one lookup per iteration.
void BM_InterpolateRow(benchmark::State &state)
{
    const Material &table = waterMaterial();
    constexpr int kCount = 64;
    double energies[kCount];
    for (int i = 0; i < kCount; ++i)
        energies[i] = kLowestEnergy * std::pow(kHighestEnergy / kLowestEnergy, i / (kCount - 1.0));
    for (double energy : energies)
        if (!std::holds_alternative<RowValues>(interpolateRow(table, energy)))
            return state.SkipWithError("a lookup failed; its error path is not what is timed");
    int i = 0;
    for (auto _ : state) {
        auto row = interpolateRow(table, energies[i]);
        benchmark::DoNotOptimize(row);
        i = (i + 1) % kCount;
    }
}
BENCHMARK(BM_InterpolateRow)->Unit(benchmark::kNanosecond);

// CSDA ranges spread over the table, one inverse lookup per iteration.
void BM_EnergyForRange(benchmark::State &state)
{
    const Material &table = waterMaterial();
    constexpr int kCount = 64;
    const double first = table.table.range[1][1], last = table.table.range[1][kRowCount];
    double ranges[kCount];
    for (int i = 0; i < kCount; ++i)
        ranges[i] = first * std::pow(last / first, i / (kCount - 1.0));
    for (double range : ranges)
        if (!std::holds_alternative<RowValues>(energyForRange(table, RangeColumn::Csda, range)))
            return state.SkipWithError("a lookup failed; its error path is not what is timed");
    int i = 0;
    for (auto _ : state) {
        auto row = energyForRange(table, RangeColumn::Csda, ranges[i]);
        benchmark::DoNotOptimize(row);
        i = (i + 1) % kCount;
    }
}
BENCHMARK(BM_EnergyForRange)->Unit(benchmark::kNanosecond);

// 150 MeV through 20 layers of four materials, each layer's energy out and WET.
void BM_ThroughStack20(benchmark::State &state)
{
    const char *files[] = {"013-Aluminum.ps", "Polymethyl_methacrylate.psp", "Water_liquid.psp",
                           "029-Copper.ps"};
    std::vector<Layer> layers;
    for (int i = 0; i < 20; ++i) {
        auto material = loadLayerMaterial(materialPath(bench::dataDirectory(), files[i % 4]));
        if (!std::holds_alternative<LayerMaterial>(material))
            return state.SkipWithError(std::get<std::string>(material).c_str());
        const LayerMaterial loaded = std::get<LayerMaterial>(material);
        layers.push_back(
            {loaded, files[i % 4], {1, ThicknessUnit::Millimetre}, fileDensity(loaded)});
    }
    const StackWater water{std::get<LayerMaterial>(loadLayerMaterial(waterFile()))};
    for (auto _ : state) {
        auto result = throughStack(layers, water, 150);
        if (!std::holds_alternative<StackResult>(result))
            return state.SkipWithError("the beam did not cross the stack");
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_ThroughStack20)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv)
{
    bench::defaultToOffscreen();
    QApplication app(argc, argv); // DrawPlot's text needs the font database
    bench::setUpApplication();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
