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

bool insidePlotFrame(float x, float y)
{
    return x >= 0 && x <= static_cast<float>(kFrameRight) && y >= 0 &&
           y <= static_cast<float>(kFrameTop);
}

int nearestRow(const MaterialTable &table, float x)
{
    int i = 1;
    while (i <= kRowCount && static_cast<float>(MarkerX(table.energy[i])) <= x)
        ++i;
    if (i > kRowCount)
        return kRowCount;
    if (i >= 2 &&
        std::fabs(x - MarkerX(table.energy[i])) > std::fabs(x - MarkerX(table.energy[i - 1])))
        --i;
    return i;
}

} // namespace quenrow
