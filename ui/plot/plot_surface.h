// SPDX-License-Identifier: MIT
// Quenrow: the drawing operations the plot needs, in plot coordinates.
#pragma once

#include <string_view>

namespace quenrow {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb &) const = default;
};

// The standard 16-colour palette; the plot names its colours by index.
Rgb paletteColor(int index);

// Implemented on the plot window's image, and by a recorder in tests.
// Lines, points and rectangle edges use the current pen width in pixels.
class PlotSurface {
public:
    virtual ~PlotSurface() = default;
    virtual void clear() = 0;
    virtual void setPenWidth(int pixels) = 0;
    virtual void line(float x1, float y1, float x2, float y2, int colour) = 0;
    virtual void lineTo(float x, float y, int colour) = 0;
    virtual void point(float x, float y) = 0;
    virtual void rectangle(float x1, float y1, float x2, float y2, int colour) = 0;
    virtual void filledRectangle(float x1, float y1, float x2, float y2, int colour) = 0;
    virtual void setCurrentPosition(float x, float y) = 0;
    virtual void setFontSize(double points) = 0;
    // Text hangs from its top-left corner at the current position. Continuing
    // leaves the position right of the text; ending moves it to the next line.
    virtual void print(std::string_view text, bool endLine) = 0;
};

} // namespace quenrow
