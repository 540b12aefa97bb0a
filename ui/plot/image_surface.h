// SPDX-License-Identifier: MIT
// Quenrow: the plot surface on a QImage, in the plot's user coordinates.
#pragma once

#include <QFont>
#include <QPainter>

#include <vector>

#include "plot_surface.h"

namespace quenrow {

// Paints while it lives; the image is complete once it is destroyed.
class ImageSurface final : public PlotSurface {
public:
    explicit ImageSurface(QImage &image);
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
    void usePen(int colour);
    void flushCurve();
    QPointF pixel(double x, double y) const;
    QRectF rectOf(float x1, float y1, float x2, float y2) const;

    QImage &image_;
    QPainter painter_;
    int penWidth_ = 1;
    double x_ = 0; // current position, user coordinates
    double y_ = 0;
    QFont font_;
    // Consecutive lineTo() segments of one colour, stroked together.
    std::vector<QLineF> curve_;
    int curveColour_ = 0;
};

} // namespace quenrow
