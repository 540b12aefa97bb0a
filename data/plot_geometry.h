// SPDX-License-Identifier: MIT
// Quenrow: plot coordinates, the plot surface's user scale, marker positions
// and the row under the pointer.
#pragma once

#include "material.h"

namespace quenrow {

// Drawing positions: 0.001 MeV and 1e-4 MeV cm2/g map to 0.
double PlotX(double energy);
double PlotY(double stoppingPower);

// Marker-line positions. Their offsets (6.909, 9.212) are deliberately not
// the 3 ln 10 and 4 ln 10 of PlotX/PlotY.
double MarkerX(double energy);
double MarkerY(double stoppingPower);

// The plot frame in plot coordinates.
inline constexpr double kFrameRight = 16.1;
inline constexpr double kFrameTop = 18.4;

// User scale of the 525 x 525 inner area of the plot surface.
struct UserScale {
    static constexpr double left = -1.5;
    static constexpr double top = 19.1;
    static constexpr double width = 18.1;
    static constexpr double height = -21.0;
    static constexpr double pixels = 525;

    static double toPixelX(double x) { return (x - left) * pixels / width; }
    static double toPixelY(double y) { return (y - top) * pixels / height; }
    static double fromPixelX(double px) { return left + px * width / pixels; }
    static double fromPixelY(double py) { return top + py * height / pixels; }

    // The same on a surface of `ratio` device pixels a pixel, where a place
    // within a hair of a device pixel's edge is taken as on that edge: a
    // pointer's place, turned into single-precision user coordinates and
    // back, then falls in the pointer's own pixel again, not the one before.
    static double toPixelX(double x, double ratio) { return onDevice(toPixelX(x), ratio); }
    static double toPixelY(double y, double ratio) { return onDevice(toPixelY(y), ratio); }
    static double onDevice(double pixel, double ratio);
};

// Edges count as inside; compared in single precision.
bool insidePlotFrame(float x, float y);

// Row (1..132) whose marker position lies nearest to x; a tie keeps the row
// of higher energy, and the search never runs past the last row.
int nearestRow(const MaterialTable &table, float x);

} // namespace quenrow
