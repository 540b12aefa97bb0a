// SPDX-License-Identifier: MIT
// Quenrow: a drawing as an SVG, PDF or PNG file, the one way both plots are
// written. Sizes are pixels at 96 dots an inch, so point sizes mean what they
// mean on screen.
#pragma once

#include <functional>

#include <QImage>
#include <QSize>
#include <QString>

class QIODevice;
class QPaintDevice;

namespace quenrow {

struct VectorPicture {
    QSize size;
    QString title; // outside text: written as it is
    QString description;
};

// Paints the drawing on `device`, scaled by `scale`; false when it could not.
using PaintSteps = std::function<bool(QPaintDevice &device, qreal scale)>;

bool writeSvg(QIODevice &out, const VectorPicture &picture, const PaintSteps &paint);
bool writePdf(QIODevice &out, const VectorPicture &picture, const PaintSteps &paint);

// `image` drawn at `ratio` device pixels a pixel, so that it prints at the
// window's size, sharper.
bool writePng(QIODevice &out, QImage image, qreal ratio);

} // namespace quenrow
