// SPDX-License-Identifier: MIT
// Quenrow: the log-log plot of one material.
#pragma once

#include "data/material_file.h"
#include "plot_surface.h"

namespace quenrow {

// Grid, three curves, masks, frame, legend and labels on a cleared surface.
// The table must have passed checkMaterial, so every logarithm exists.
void drawPlotImage(PlotSurface &surface, const MaterialTable &table);

} // namespace quenrow
