// SPDX-License-Identifier: MIT
#include "plot_geometry.h"

#include <cmath>

namespace quenrow {

double PlotX(double energy)
{
    return std::log(10.0) * 3.0 + std::log(energy);
}
double PlotY(double stoppingPower)
{
    return std::log(10.0) * 4.0 + std::log(stoppingPower);
}

double MarkerX(double energy)
{
    return std::log(energy) + 6.909;
}
double MarkerY(double stoppingPower)
{
    return std::log(stoppingPower) + 9.212;
}

double UserScale::onDevice(double pixel, double ratio)
{
    // Single precision keeps a user coordinate within 2e-4 device pixels of
    // the place it came from; positions drawn from table values come this
    // near an edge far more rarely.
    constexpr double kHair = 1e-3;
    const double device = pixel * ratio;
    const double edge = std::round(device);
    return std::fabs(device - edge) < kHair ? edge / ratio : pixel;
}

bool insidePlotFrame(float x, float y)
{
    return x >= 0 && x <= static_cast<float>(kFrameRight) && y >= 0 &&
           y <= static_cast<float>(kFrameTop);
}

int nearestRow(const MaterialTable &table, float x)
{
    // First row whose marker lies right of x. Loaded energies ascend, so
    // their marker positions do, and halving finds it with a few logarithms
    // where a scan from the first row took up to 132 of them, each move.
    int low = 1, high = kRowCount + 1;
    while (low < high) {
        const int middle = low + (high - low) / 2;
        if (static_cast<float>(MarkerX(table.energy[middle])) <= x)
            low = middle + 1;
        else
            high = middle;
    }
    int i = low;
    if (i > kRowCount)
        return kRowCount;
    if (i >= 2 &&
        std::fabs(x - MarkerX(table.energy[i])) > std::fabs(x - MarkerX(table.energy[i - 1])))
        --i;
    return i;
}

} // namespace quenrow
