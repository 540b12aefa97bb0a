// SPDX-License-Identifier: MIT
// Quenrow: the plot surface painted with QPainter, in the plot's user coordinates.
#pragma once

#include <QFont>
#include <QPainter>

#include <optional>
#include <vector>

#include "plot_surface.h"

namespace quenrow {

class ImageSurface final : public PlotSurface {
public:
    // Paints on `image` while it lives; the image is complete once it is destroyed.
    explicit ImageSurface(QImage &image);
    // Paints through a painter already begun on any device (the window's
    // image, an SVG or PDF generator), 525 x 525 of its logical pixels.
    // Everything is painted once the surface is destroyed; the painter stays
    // active, for what the caller draws over the plot.
    explicit ImageSurface(QPainter &painter);
    ~ImageSurface() override;

    void clear() override;
    void setPenWidth(int pixels) override;
    void line(float x1, float y1, float x2, float y2, int colour) override;
    void lineTo(float x, float y, int colour) override;
    void point(float x, float y) override;
    void rectangle(float x1, float y1, float x2, float y2, int colour) override;
    void filledRectangle(float x1, float y1, float x2, float y2, int colour) override;
    void setCurrentPosition(float x, float y) override;
    void setFontSize(double points) override;
    void print(std::string_view text, bool endLine) override;

private:
    void setUp();
    void usePen(int colour);
    void flushCurve();
    QPointF pixel(double x, double y) const;
    QRectF rectOf(float x1, float y1, float x2, float y2) const;

    std::optional<QPainter> ownPainter_;
    QPainter &painter_;
    qreal ratio_ = 1;     // device pixels a pixel
    bool vector_ = false; // an SVG or PDF drawing, not pixels
    int penWidth_ = 1;
    double x_ = 0; // current position, user coordinates
    double y_ = 0;
    QFont font_;
    // Consecutive lineTo() segments of one colour, stroked together.
    std::vector<QLineF> curve_;
    int curveColour_ = 0;
};

} // namespace quenrow
