// SPDX-License-Identifier: MIT
// Quenrow tests: a plot surface that only records what it is asked to draw.
#pragma once

#include <string>
#include <vector>

#include "ui/plot/plot_surface.h"

namespace quenrow::test {

struct DrawCall {
    enum Kind {
        Clear,
        PenWidth,
        Line,
        LineTo,
        Point,
        Rectangle,
        Filled,
        Position,
        FontSize,
        Print
    };
    Kind kind = Clear;
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int colour = -1;
    double value = 0; // pen width or font size
    std::string text;
    bool endLine = false;
};

class RecordingSurface final : public PlotSurface {
public:
    std::vector<DrawCall> calls;

    void clear() override { add(DrawCall::Clear); }
    void setPenWidth(int pixels) override { add(DrawCall::PenWidth).value = pixels; }
    void line(float x1, float y1, float x2, float y2, int colour) override
    {
        add(DrawCall::Line, x1, y1, x2, y2).colour = colour;
    }
    void lineTo(float x, float y, int colour) override
    {
        add(DrawCall::LineTo, 0, 0, x, y).colour = colour;
    }
    void point(float x, float y) override { add(DrawCall::Point, x, y); }
    void rectangle(float x1, float y1, float x2, float y2, int colour) override
    {
        add(DrawCall::Rectangle, x1, y1, x2, y2).colour = colour;
    }
    void filledRectangle(float x1, float y1, float x2, float y2, int colour) override
    {
        add(DrawCall::Filled, x1, y1, x2, y2).colour = colour;
    }
    void setCurrentPosition(float x, float y) override { add(DrawCall::Position, x, y); }
    void setFontSize(double points) override { add(DrawCall::FontSize).value = points; }
    void print(std::string_view text, bool endLine) override
    {
        DrawCall &call = add(DrawCall::Print);
        call.text = text;
        call.endLine = endLine;
    }

private:
    DrawCall &add(DrawCall::Kind kind, float x1 = 0, float y1 = 0, float x2 = 0, float y2 = 0)
    {
        DrawCall call;
        call.kind = kind;
        call.x1 = x1;
        call.y1 = y1;
        call.x2 = x2;
        call.y2 = y2;
        calls.push_back(call);
        return calls.back();
    }
};

} // namespace quenrow::test
