// SPDX-License-Identifier: MIT
#include "image_surface.h"

#include <QFontMetricsF>
#include <QPainterPath>
#include <QPaintEngine>

#include "data/plot_geometry.h"
#include "ui/look.h"

namespace quenrow {

namespace {

QColor colorOf(int index)
{
    const Rgb rgb = paletteColor(index);
    return QColor(rgb.red, rgb.green, rgb.blue);
}

const QColor kForeground(255, 255, 255);
const QColor kBackground(0, 0, 128);

} // namespace

ImageSurface::ImageSurface(QImage &image)
    : ownPainter_(std::in_place, &image), painter_(*ownPainter_)
{
    setUp();
}

ImageSurface::ImageSurface(QPainter &painter) : painter_(painter)
{
    setUp();
}

void ImageSurface::setUp()
{
    ratio_ = painter_.device()->devicePixelRatio();
    vector_ = painter_.paintEngine()->type() != QPaintEngine::Raster;
    painter_.setRenderHint(QPainter::Antialiasing, false);
    font_ = timesFont(12);
    font_.setPointSizeF(12);
}

ImageSurface::~ImageSurface()
{
    flushCurve();
}

// A curve is 131 short wide segments. Stroked one call each, Qt sets up a
// stroke and a fill per segment; one call for the whole curve fills the
// union of the same segment outlines, so the same pixels in a fraction of
// the time. A vector drawing (SVG, PDF) gets the curve as one path instead
// of 131 separate lines.
void ImageSurface::flushCurve()
{
    if (curve_.empty())
        return;
    usePen(curveColour_);
    if (!vector_) {
        painter_.drawLines(curve_.data(), static_cast<int>(curve_.size()));
    } else {
        QPainterPath path;
        for (const QLineF &segment : curve_) {
            if (path.isEmpty() || path.currentPosition() != segment.p1())
                path.moveTo(segment.p1());
            path.lineTo(segment.p2());
        }
        painter_.drawPath(path);
    }
    curve_.clear();
}

void ImageSurface::clear()
{
    flushCurve();
    painter_.fillRect(QRectF(0, 0, UserScale::pixels, UserScale::pixels), kBackground);
}

void ImageSurface::setPenWidth(int pixels)
{
    flushCurve();
    penWidth_ = pixels;
}

void ImageSurface::usePen(int colour)
{
    painter_.setPen(QPen(colorOf(colour), penWidth_, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void ImageSurface::line(float x1, float y1, float x2, float y2, int colour)
{
    flushCurve();
    usePen(colour);
    painter_.drawLine(pixel(x1, y1), pixel(x2, y2));
    x_ = x2;
    y_ = y2;
}

void ImageSurface::lineTo(float x, float y, int colour)
{
    if (!curve_.empty() && colour != curveColour_)
        flushCurve();
    curveColour_ = colour;
    curve_.emplace_back(pixel(x_, y_), pixel(x, y));
    x_ = x;
    y_ = y;
}

void ImageSurface::point(float x, float y)
{
    flushCurve();
    painter_.setPen(QPen(kForeground, penWidth_, Qt::SolidLine, Qt::RoundCap));
    painter_.drawPoint(pixel(x, y));
    x_ = x;
    y_ = y;
}

QPointF ImageSurface::pixel(double x, double y) const
{
    return {UserScale::toPixelX(x, ratio_), UserScale::toPixelY(y, ratio_)};
}

QRectF ImageSurface::rectOf(float x1, float y1, float x2, float y2) const
{
    return QRectF(pixel(x1, y1), pixel(x2, y2)).normalized();
}

void ImageSurface::rectangle(float x1, float y1, float x2, float y2, int colour)
{
    flushCurve();
    usePen(colour);
    painter_.drawRect(rectOf(x1, y1, x2, y2));
}

void ImageSurface::filledRectangle(float x1, float y1, float x2, float y2, int colour)
{
    flushCurve();
    usePen(colour);
    painter_.setBrush(colorOf(colour));
    painter_.drawRect(rectOf(x1, y1, x2, y2));
    painter_.setBrush(Qt::NoBrush);
}

void ImageSurface::setCurrentPosition(float x, float y)
{
    x_ = x;
    y_ = y;
}

void ImageSurface::setFontSize(double points)
{
    font_.setPointSizeF(points);
}

void ImageSurface::print(std::string_view text, bool endLine)
{
    flushCurve();
    const QString string = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    const QFontMetricsF metrics(font_, painter_.device());
    const QPointF topLeft = pixel(x_, y_);
    painter_.setFont(font_);
    painter_.setPen(kForeground);
    painter_.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), string);
    if (endLine) {
        x_ = UserScale::left;
        y_ += metrics.height() * UserScale::height / UserScale::pixels;
    } else {
        x_ += metrics.horizontalAdvance(string) * UserScale::width / UserScale::pixels;
    }
}

} // namespace quenrow
