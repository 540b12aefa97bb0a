// SPDX-License-Identifier: MIT
// Quenrow: the log-log plot of one material.
#pragma once

#include "data/material.h"
#include "plot_surface.h"

namespace quenrow {

// Background and grid: the part of the plot that is the same for every material.
void drawPlotGrid(PlotSurface &surface);

// Three curves, masks, frame, legend and labels, over the grid.
// The table must have passed checkMaterial, so every logarithm exists.
void drawPlotMaterial(PlotSurface &surface, const MaterialTable &table);

// Both, on a cleared surface.
void drawPlotImage(PlotSurface &surface, const MaterialTable &table);

} // namespace quenrow
