// SPDX-License-Identifier: MIT
// Quenrow: painting kept as pixels and copied back, where that is exact.
#pragma once

#include <QColor>
#include <QImage>
#include <QRect>

#include <functional>
#include <optional>

class QPainter;
class QWidget;

namespace quenrow {

// An image painted at the painter device's density and drawn back at a whole
// pixel offset puts the same pixels on the device as painting there would:
// at densities 1 and 2 (where our copies were compared with direct painting),
// under a transform that only shifts by whole pixels.
bool copiesExactly(const QPainter &painter);
bool copiesExactlyAt(qreal ratio);

// `draw` paints what lies in `rect` (logical pixels) into a new image of that
// size at `ratio` device pixels per pixel, filled with `fill` first.
QImage paintedImage(const QRect &rect, qreal ratio, const QColor &fill,
                    const std::function<void(QPainter &)> &draw);

// When every pixel of `image` is opaque, makes it an RGB32 image of the same
// pixels and returns true. Drawn, such an image is copied rather than blended
// pixel by pixel, with the same result.
bool makeOpaque(QImage &image);

// The colour `widget` fills its background with, when that fill is one opaque
// colour: what lies under anything drawn on it, whatever is behind the widget.
std::optional<QRgb> opaqueFill(const QWidget &widget);

} // namespace quenrow
